// The rules of the main window's scheduled run that need no window: where an
// entry's source leads, what the picture label says meanwhile, when the run
// is over, which entries leave the list, and the memory that keeps an entry
// from being taken twice in one due window.
#pragma once
#include <time.h>
#include <vector>
#include "ScheduleRecord.h"

// The program's source (16 antenna, 17 cable, 18 Composite, 19 S-Video) for
// an entry's source, and the channel to tune there (0 for the video inputs).
int ScheduledSource(const ScheduleRecord& record, int* pChannel);

// "TV Viewing", "Cable Viewing", "Composite Viewing" or "SVideo Viewing";
// an empty text for a source outside the table.
const char* ScheduledViewingText(LONG nSource);

// The tick after nElapsed seconds: TRUE when the run is over, otherwise
// *pElapsed takes the new count. A duration counts modulo a day, so a run of
// d seconds ends on the tick at which d + 1 seconds have passed.
BOOL ScheduledRunTick(int nElapsed, LONG nDuration, int* pElapsed);

// Daily and weekday entries come again and stay; a once-only entry leaves
// when its delete flag says so.
BOOL LeavesListAfterRun(const ScheduleRecord& record);

// The channel list to come back to: the settings' input source when it names
// a list (1 antenna, 2 cable), the cable list otherwise.
int SavedChannelList(int nInputSource);

// The modes in which a due entry cannot run and is dropped: recording, TV
// wall, scan and number entry.
BOOL ModeDropsDueEntry(int nMode);
// The modes a run can start from: viewing and file playback.
BOOL ModeStartsScheduledRun(int nMode);

// Entries already taken (run, dropped or refused) in their due window. The
// due windows last less than a minute, so an entry is known by its identity
// and the minute it fell due in.
class CScheduleWindowMemory {
public:
    BOOL IsTaken(const ScheduleRecord& record, time_t now) const;
    // Also forgets the entries of earlier minutes.
    void Take(const ScheduleRecord& record, time_t now);

private:
    struct Taken {
        LONG tStart, nDuration, nRepeat;
        long long nMinute;
    };
    std::vector<Taken> m_taken;
};
