#include "ScheduleRowTexts.h"
#include "AfxTime.h"

namespace {

const char* const kSources[] = {"TV", "Cable", "Composite", "S-Video"};
const char* const kRepeats[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT", "DAY", "ONCE"};
const char* const kModes[] = {"View", "REC"};
const char* const kAfterActions[] = {"Nothing to do", "ORVIX shut-down", "Entering the Stand-by mode",
                                     "PC shut-down"};

template <size_t N>
CString TableText(const char* const (&table)[N], LONG value, BOOL bNumberOutside)
{
    if (value >= 0 && (size_t)value < N)
        return CString(table[value]);
    CString number;
    if (bNumberOutside)
        number.Format("%ld", (long)value);
    return number;
}

}  // namespace

CString ScheduleCellText(const ScheduleRecord& r, int nColumn, BOOL bNumberOutsideTable)
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
        return TableText(kSources, r.nSource, bNumberOutsideTable);
    case 4:
        text.Format("%ld", (long)(r.nSource == SCHEDULE_SOURCE_TV ? r.nTvChannel
                                  : r.nSource == SCHEDULE_SOURCE_CABLE ? r.nCableChannel : 0));
        return text;
    case 5:
        return TableText(kRepeats, r.nRepeat, bNumberOutsideTable);
    case 6:
        return TableText(kModes, r.nMode, bNumberOutsideTable);
    case 7:
        return TableText(kAfterActions, r.nAfterAction, bNumberOutsideTable);
    }
    return text;
}

CString ScheduleRowKey(time_t start)
{
    return CTime(start).Format("%Y/%b/%d%H:%M:%S");
}
