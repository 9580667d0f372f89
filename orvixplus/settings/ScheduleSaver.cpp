// Saves the schedule again and again through the programs' own list, for the
// tests that run two savers at once and kill them in the middle of a save.
// Usage: schedule_saver <schedule file> <saver id> [saves, 0 for no end]
// Each save writes generation g of this saver: 1 + g % 40 records, every
// field a function of the saver, the generation and the record's place, so
// that a reader can tell a whole file from a mixed or cut one.
#include <stdio.h>
#include <stdlib.h>
#include "ScheduleList.h"
#include "ScheduleSaverRecords.h"

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const char* path = argv[1];
    int saver = atoi(argv[2]);
    long saves = argc > 3 ? atol(argv[3]) : 0;
    int failed = 0;
    for (long g = 1; saves == 0 || g <= saves; g++) {
        CScheduleList list;
        int count = SaverRecordCount(g);
        for (int i = 0; i < count; i++) {
            CScheduleItem item(SaverRecord(saver, g, i));
            list.Add(&item);
        }
        if (!list.Save(path))
            failed++;
    }
    printf("%d saves failed\n", failed);
    return 0;
}
