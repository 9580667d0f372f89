// The root of the framework's polymorphic classes and the run-time class
// information behind IsKindOf: each class that says DECLARE_DYNAMIC in its
// body and IMPLEMENT_DYNAMIC in one source file gets a static CRuntimeClass
// that names it and links to its base's.
#pragma once
#include <windows.h>

class CObject;

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    const CRuntimeClass* m_pBaseClass;

    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

#define RUNTIME_CLASS(class_name) \
    (const_cast<CRuntimeClass*>(&class_name::class##class_name))

class CObject {
public:
    virtual ~CObject() {}

    virtual CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* pClass) const;

    static const CRuntimeClass classCObject;

protected:
    CObject() {}
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

#define DECLARE_DYNAMIC(class_name) \
public: \
    static const CRuntimeClass class##class_name; \
    CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    const CRuntimeClass class_name::class##class_name = { \
        #class_name, (int)sizeof(class_name), \
        &base_class_name::class##base_class_name }; \
    CRuntimeClass* class_name::GetRuntimeClass() const \
    { return RUNTIME_CLASS(class_name); }
