// The texts of a schedule row as both programs' lists show them: date,
// start, duration, source, channel, repeat, mode and the action after the run.
#pragma once
#include "Afx.h"
#include "ScheduleRecord.h"

enum { SCHEDULE_ROW_COLUMNS = 8 };

// One cell of the record's row; a value outside its column's table shows as
// its number when bNumberOutsideTable, else as empty text.
CString ScheduleCellText(const ScheduleRecord& record, int nColumn, BOOL bNumberOutsideTable);
// The key a row is found again by: its date and start columns joined.
CString ScheduleRowKey(time_t start);
