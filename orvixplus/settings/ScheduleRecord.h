// One timed recording or viewing, exactly as OrvixPlus and Timewarden keep it in
// memory and in schedulefile.she: nine little-endian 32-bit integers, no gaps.
// The layout is shared with files already on users' disks; never reorder it.
#pragma once
#include <windows.h>
#include <stddef.h>

enum ScheduleRepeat {
    SCHEDULE_REPEAT_SUNDAY = 0,     // 0..6: weekly, C run-time day-of-week numbering
    SCHEDULE_REPEAT_SATURDAY = 6,
    SCHEDULE_REPEAT_DAILY = 7,
    SCHEDULE_REPEAT_ONCE = 8
};

enum ScheduleSource {
    SCHEDULE_SOURCE_TV = 0,
    SCHEDULE_SOURCE_CABLE = 1,
    SCHEDULE_SOURCE_COMPOSITE = 2,
    SCHEDULE_SOURCE_SVIDEO = 3
};

enum ScheduleMode {
    SCHEDULE_MODE_VIEW = 0,
    SCHEDULE_MODE_RECORD = 1
};

enum ScheduleAfterAction {
    SCHEDULE_AFTER_NOTHING = 0,
    SCHEDULE_AFTER_CLOSE = 1,       // OrvixPlus closes itself
    SCHEDULE_AFTER_STANDBY = 2,
    SCHEDULE_AFTER_SHUTDOWN = 3
};

// Channel numbers offered for both channel lists.
enum {
    SCHEDULE_FIRST_TV_CHANNEL = 1,
    SCHEDULE_LAST_TV_CHANNEL = 125,
    SCHEDULE_FIRST_CABLE_CHANNEL = 1,
    SCHEDULE_LAST_CABLE_CHANNEL = 125
};

struct ScheduleRecord {
    LONG tStart;            // seconds since 1970, built from a local date and time with second 0
    LONG nDuration;         // seconds, at least 3
    LONG nRepeat;           // ScheduleRepeat
    LONG nTvChannel;        // antenna list
    LONG nCableChannel;     // cable list; the source decides which channel is used
    LONG nSource;           // ScheduleSource
    LONG nMode;             // ScheduleMode
    LONG nAfterAction;      // ScheduleAfterAction
    LONG bDeleteAfterRun;   // only once-only entries are ever dropped after their run
};

static_assert(sizeof(LONG) == 4, "schedule fields are 32-bit");
static_assert(sizeof(ScheduleRecord) == 36, "schedulefile.she records are 36 bytes");
static_assert(offsetof(ScheduleRecord, tStart) == 0, "file layout");
static_assert(offsetof(ScheduleRecord, nDuration) == 4, "file layout");
static_assert(offsetof(ScheduleRecord, nRepeat) == 8, "file layout");
static_assert(offsetof(ScheduleRecord, nTvChannel) == 12, "file layout");
static_assert(offsetof(ScheduleRecord, nCableChannel) == 16, "file layout");
static_assert(offsetof(ScheduleRecord, nSource) == 20, "file layout");
static_assert(offsetof(ScheduleRecord, nMode) == 24, "file layout");
static_assert(offsetof(ScheduleRecord, nAfterAction) == 28, "file layout");
static_assert(offsetof(ScheduleRecord, bDeleteAfterRun) == 32, "file layout");
