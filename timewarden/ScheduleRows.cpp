#include "ScheduleRows.h"
#include "AfxTime.h"

namespace {

const char* const kTitles[SCHEDULE_ROW_COLUMNS] = {"Date", "Start", "Duration", "Source", "Channel",
                                                   "Everyday", "Mode", "After Recording"};
const int kWidths[SCHEDULE_ROW_COLUMNS] = {90, 80, 80, 70, 70, 80, 80, 148};
const char* const kSources[] = {"TV", "Cable", "Composite", "S-Video"};
const char* const kRepeats[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT", "DAY", "ONCE"};
const char* const kModes[] = {"View", "REC"};
const char* const kAfter[] = {"Nothing to do", "ORVIX shut-down", "Entering the Stand-by mode", "PC shut-down"};

template <size_t N>
CString FromTable(const char* const (&table)[N], LONG value)
{
    if (value >= 0 && (size_t)value < N)
        return CString(table[value]);
    CString number;
    number.Format("%ld", (long)value);
    return number;
}

}  // namespace

LPCSTR ScheduleColumnTitle(int n) { return n >= 0 && n < SCHEDULE_ROW_COLUMNS ? kTitles[n] : ""; }
int ScheduleColumnWidth(int n) { return n >= 0 && n < SCHEDULE_ROW_COLUMNS ? kWidths[n] : 0; }

CString ScheduleRowKey(const ScheduleRecord& record)
{
    return CTime((time_t)record.tStart).Format("%Y/%b/%d%H:%M:%S");
}

CString ScheduleRowText(const ScheduleRecord& r, int nColumn)
{
    CString text;
    switch (nColumn) {
    case 0:
        return CTime((time_t)r.tStart).Format("%Y/%b/%d");
    case 1:
        return CTime((time_t)r.tStart).Format("%H:%M:%S");
    case 2:
        return CTimeSpan((time_t)r.nDuration).Format("%H:%M:%S");
    case 3:
        return FromTable(kSources, r.nSource);
    case 4:
        text.Format("%ld", (long)(r.nSource == SCHEDULE_SOURCE_TV ? r.nTvChannel
                                  : r.nSource == SCHEDULE_SOURCE_CABLE ? r.nCableChannel : 0));
        return text;
    case 5:
        return FromTable(kRepeats, r.nRepeat);
    case 6:
        return FromTable(kModes, r.nMode);
    case 7:
        return FromTable(kAfter, r.nAfterAction);
    }
    return text;
}
