#include "RecordEstimate.h"
#include "Filters.h"

double EstimateRecordingMB(int format, int quality, int seconds)
{
    // The encoder's own preset table and formula, without a filter behind it.
    CMpegEncoder encoder(NULL);
    if (!encoder.SetPreset(format, quality))
        return 0.0;
    return encoder.EstimateSizeMB(seconds);
}

int ScheduledSeconds(LONG nDuration)
{
    LONG seconds = nDuration % 86400;
    return seconds < 0 ? 0 : (int)seconds;
}

BOOL RoomForRecording(ULONGLONG freeMB, double neededMB)
{
    return freeMB >= 100 && (double)freeMB >= neededMB;
}
