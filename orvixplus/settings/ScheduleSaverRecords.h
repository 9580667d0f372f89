// The records schedule_saver writes, and the test of a file it may have left.
#pragma once
#include <string.h>
#include <string>
#include "ScheduleRecord.h"

inline int SaverRecordCount(long generation)
{
    return 1 + (int)(generation % 40);
}

inline ScheduleRecord SaverRecord(int saver, long generation, int index)
{
    ScheduleRecord r = {};
    r.tStart = 1200000000 + saver * 100000000 + (LONG)(generation % 100000000);
    r.nDuration = 3 + index;
    r.nRepeat = SCHEDULE_REPEAT_ONCE;
    r.nTvChannel = 1 + saver;
    r.nCableChannel = SaverRecordCount(generation);
    r.nSource = index % 4;
    r.nMode = (LONG)(generation & 1);
    r.nAfterAction = index % 4;
    r.bDeleteAfterRun = index & 1;
    return r;
}

// Empty when bytes are one whole file of one saver's one generation, else
// what is wrong with them.
inline std::string CheckSaverFile(const std::string& bytes)
{
    if (bytes.empty() || bytes.size() % sizeof(ScheduleRecord) != 0)
        return "size " + std::to_string(bytes.size()) + " is no whole number of records";
    ScheduleRecord first;
    memcpy(&first, bytes.data(), sizeof(first));
    int saver = first.nTvChannel - 1;
    long generation = first.tStart - 1200000000 - saver * 100000000;
    size_t count = bytes.size() / sizeof(ScheduleRecord);
    if ((size_t)SaverRecordCount(generation) != count)
        return "generation " + std::to_string(generation) + " of saver " + std::to_string(saver) +
               " cut to " + std::to_string(count) + " records";
    for (size_t i = 0; i < count; i++) {
        ScheduleRecord want = SaverRecord(saver, generation, (int)i);
        if (memcmp(&want, bytes.data() + i * sizeof(want), sizeof(want)) != 0)
            return "record " + std::to_string(i) + " belongs to no whole save";
    }
    return "";
}
