#include "AfxObject.h"

const CRuntimeClass CObject::classCObject = { "CObject", (int)sizeof(CObject), NULL };

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const
{
    for (const CRuntimeClass* p = this; p != NULL; p = p->m_pBaseClass) {
        if (p == pBaseClass)
            return TRUE;
    }
    return FALSE;
}

CRuntimeClass* CObject::GetRuntimeClass() const
{
    return RUNTIME_CLASS(CObject);
}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return pClass != NULL && GetRuntimeClass()->IsDerivedFrom(pClass);
}
