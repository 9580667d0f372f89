#include "ScheduledRun.h"
#include <algorithm>

namespace {

long long MinuteOf(time_t now)
{
    long long t = (long long)now;
    return t >= 0 ? t / 60 : (t - 59) / 60;
}

}  // namespace

int ScheduledSource(const ScheduleRecord& record, int* pChannel)
{
    int channel = 0, source = 0;
    switch (record.nSource) {
    case SCHEDULE_SOURCE_TV: source = 16; channel = record.nTvChannel; break;
    case SCHEDULE_SOURCE_CABLE: source = 17; channel = record.nCableChannel; break;
    case SCHEDULE_SOURCE_COMPOSITE: source = 18; break;
    case SCHEDULE_SOURCE_SVIDEO: source = 19; break;
    }
    if (pChannel)
        *pChannel = channel;
    return source;
}

const char* ScheduledViewingText(LONG nSource)
{
    switch (nSource) {
    case SCHEDULE_SOURCE_TV: return "TV Viewing";
    case SCHEDULE_SOURCE_CABLE: return "Cable Viewing";
    case SCHEDULE_SOURCE_COMPOSITE: return "Composite Viewing";
    case SCHEDULE_SOURCE_SVIDEO: return "SVideo Viewing";
    }
    return "";
}

BOOL ScheduledRunTick(int nElapsed, LONG nDuration, int* pElapsed)
{
    int next = nElapsed + 1;
    if (nDuration % 86400 < next)
        return TRUE;
    if (pElapsed)
        *pElapsed = next;
    return FALSE;
}

BOOL LeavesListAfterRun(const ScheduleRecord& record)
{
    return record.nRepeat == SCHEDULE_REPEAT_ONCE && record.bDeleteAfterRun == 1;
}

int SavedChannelList(int nInputSource)
{
    return nInputSource == 1 || nInputSource == 2 ? nInputSource : 2;
}

BOOL ModeDropsDueEntry(int nMode)
{
    switch (nMode) {
    case 2: case 9: case 11: case 5: case 4: case 6: case 7:
        return TRUE;
    }
    return FALSE;
}

BOOL ModeStartsScheduledRun(int nMode)
{
    return nMode == 1 || nMode == 8 || nMode == 10 || nMode == 3;
}

BOOL CScheduleWindowMemory::IsTaken(const ScheduleRecord& record, time_t now) const
{
    long long minute = MinuteOf(now);
    return std::any_of(m_taken.begin(), m_taken.end(), [&](const Taken& t) {
        return t.nMinute == minute && t.tStart == record.tStart &&
               t.nDuration == record.nDuration && t.nRepeat == record.nRepeat;
    });
}

void CScheduleWindowMemory::Take(const ScheduleRecord& record, time_t now)
{
    long long minute = MinuteOf(now);
    m_taken.erase(std::remove_if(m_taken.begin(), m_taken.end(),
                                 [&](const Taken& t) { return t.nMinute != minute; }),
                  m_taken.end());
    if (!IsTaken(record, now))
        m_taken.push_back({record.tStart, record.nDuration, record.nRepeat, minute});
}
