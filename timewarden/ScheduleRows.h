// The texts of one row of Timewarden's schedule list, from a record.
#pragma once
#include "Afx.h"
#include "ScheduleRecord.h"

enum { SCHEDULE_ROW_COLUMNS = 8 };
// Column titles and widths of the list.
LPCSTR ScheduleColumnTitle(int nColumn);
int ScheduleColumnWidth(int nColumn);
// One cell; a value outside its table shows as its number.
CString ScheduleRowText(const ScheduleRecord& record, int nColumn);
// The key FindEntryByRow matches: the start as "%Y/%b/%d%H:%M:%S".
CString ScheduleRowKey(const ScheduleRecord& record);
