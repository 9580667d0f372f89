#include "ScheduleItem.h"
#include <string.h>

IMPLEMENT_DYNAMIC(CScheduleItem, CObject)

CScheduleItem::CScheduleItem()
{
    memset(&m_record, 0, sizeof(m_record));
}

CScheduleItem::CScheduleItem(const ScheduleRecord& record) : m_record(record)
{
}

CScheduleItem::~CScheduleItem()
{
}

BOOL CScheduleItem::CopyFrom(CScheduleItem* pDest, const CScheduleItem* pSrc)
{
    if (!pDest || !pSrc)
        return FALSE;
    pDest->m_record = pSrc->m_record;
    return TRUE;
}
