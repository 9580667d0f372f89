// One entry of a schedule list: a ScheduleRecord and nothing else.
#pragma once
#include "AfxCore.h"
#include "ScheduleRecord.h"

class CScheduleItem : public CObject {
    DECLARE_DYNAMIC(CScheduleItem)
public:
    CScheduleItem();
    explicit CScheduleItem(const ScheduleRecord& record);
    ~CScheduleItem() override;

    // Copies the whole record; FALSE when either item is missing.
    static BOOL CopyFrom(CScheduleItem* pDest, const CScheduleItem* pSrc);

    ScheduleRecord m_record;
};
