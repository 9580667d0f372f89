// The size a recording will take and whether a drive has room for it.
#pragma once
#include <windows.h>

// Megabytes (of 1,000,000 bytes) of a recording of that length in the
// settings' record format (0-8) and quality (1-3); 0 for another preset.
double EstimateRecordingMB(int format, int quality, int seconds);

// A schedule entry's duration as the scheduled run counts it: a whole day is
// no time at all.
int ScheduledSeconds(LONG nDuration);

// At least 100 MB free and at least the recording's estimate.
BOOL RoomForRecording(ULONGLONG freeMB, double neededMB);
