// The texts of one row of Timewarden's schedule list, from a record.
#pragma once
#include "Afx.h"
#include "ScheduleRecord.h"
#include "ScheduleRowTexts.h"

// Column titles and widths of the list.
LPCSTR ScheduleColumnTitle(int nColumn);
int ScheduleColumnWidth(int nColumn);
// One cell; a value outside its table shows as its number.
inline CString ScheduleRowText(const ScheduleRecord& record, int nColumn)
{
    return ScheduleCellText(record, nColumn, TRUE);
}
// The key FindEntryByRow matches: the start as "%Y/%b/%d%H:%M:%S".
inline CString ScheduleRowKey(const ScheduleRecord& record)
{
    return ScheduleRowKey((time_t)record.tStart);
}
