// The scheduled run's rules without a window: the choice of the due entry
// and its memory per due window, which entries leave the list, the tick
// count, and the clock offset the tests of the program rely on.
#include <gtest/gtest.h>
#include <stdlib.h>
#include "ScheduleClockSeam.h"
#include "ScheduleList.h"
#include "ScheduleTestTime.h"
#include "ScheduledRun.h"

namespace {

void AddEntry(CScheduleList& list, const ScheduleRecord& record)
{
    CScheduleItem item(record);
    ASSERT_TRUE(list.Add(&item));
}

}  // namespace

TEST(ScheduledRun, ADueEntryIsTakenOncePerDueWindowAsACopy)
{
    time_t start = LocalTime(2026, 3, 4, 20, 0);
    FixedClock clock(start + 2);
    CScheduleList list;
    AddEntry(list, Entry(start, 5, SCHEDULE_REPEAT_DAILY));
    AddEntry(list, Entry(start, 60, SCHEDULE_REPEAT_ONCE, 1));

    CScheduleItem first, second, none;
    ASSERT_TRUE(list.TakeDueItem(&first));
    EXPECT_EQ(5, first.m_record.nDuration);
    // The next checks of the same window get the other due entry, then none:
    // a 5-second entry that ran, or one that was refused, is not taken again.
    clock.Set(start + 7);
    ASSERT_TRUE(list.TakeDueItem(&second));
    EXPECT_EQ(60, second.m_record.nDuration);
    clock.Set(start + 12);
    EXPECT_FALSE(list.TakeDueItem(&none));
    clock.Set(start + 17);
    EXPECT_FALSE(list.TakeDueItem(&none));

    // The copy outlives the list's own entry.
    EXPECT_TRUE(list.RemoveRunEntry(&second));
    EXPECT_EQ(1, list.GetCount());
    EXPECT_EQ(60, second.m_record.nDuration);

    // The daily entry's next day is a new window.
    clock.Set(start + 86400 + 3);
    ASSERT_TRUE(list.TakeDueItem(&first));
    EXPECT_EQ(5, first.m_record.nDuration);
    EXPECT_FALSE(list.TakeDueItem(NULL));
}

TEST(ScheduledRun, OnlyOnceEntriesMarkedForDeletionLeaveTheList)
{
    time_t start = LocalTime(2026, 3, 4, 8, 0);
    CScheduleList list;
    AddEntry(list, Entry(start, 60, SCHEDULE_REPEAT_DAILY, 1));
    AddEntry(list, Entry(start, 61, 3, 1));
    AddEntry(list, Entry(start, 62, SCHEDULE_REPEAT_ONCE, 0));
    AddEntry(list, Entry(start, 63, SCHEDULE_REPEAT_ONCE, 1));
    for (int i = 0; i < 4; i++) {
        CScheduleItem copy(*list.GetAt(i));
        // Looked for by copy: an entry already gone is no second removal.
        EXPECT_EQ(i == 3, list.RemoveRunEntry(&copy)) << i;
        EXPECT_FALSE(list.RemoveRunEntry(&copy));
        if (i < 3) {
            EXPECT_EQ(4, list.GetCount());
        }
    }
    EXPECT_EQ(3, list.GetCount());
    EXPECT_FALSE(list.RemoveRunEntry(NULL));
}

TEST(ScheduledRun, TheRunEndsOnTheTickAfterItsDurationCountedModuloADay)
{
    int elapsed = 0, ticks = 0;
    while (!ScheduledRunTick(elapsed, 5, &elapsed))
        ticks++;
    EXPECT_EQ(5, ticks);                 // the sixth tick ends a 5-second run
    EXPECT_EQ(5, elapsed);
    EXPECT_TRUE(ScheduledRunTick(0, 86400, &elapsed));
    elapsed = 0;
    EXPECT_FALSE(ScheduledRunTick(0, 86401, &elapsed));
    EXPECT_EQ(1, elapsed);
    EXPECT_TRUE(ScheduledRunTick(1, 86401, &elapsed));
}

TEST(ScheduledRun, SourcesTextsListsAndModes)
{
    ScheduleRecord r = Entry(0, 10, SCHEDULE_REPEAT_ONCE);
    int channel = -1;
    r.nSource = SCHEDULE_SOURCE_TV;
    EXPECT_EQ(16, ScheduledSource(r, &channel));
    EXPECT_EQ(5, channel);
    r.nSource = SCHEDULE_SOURCE_CABLE;
    EXPECT_EQ(17, ScheduledSource(r, &channel));
    EXPECT_EQ(7, channel);
    r.nSource = SCHEDULE_SOURCE_SVIDEO;
    EXPECT_EQ(19, ScheduledSource(r, &channel));
    EXPECT_EQ(0, channel);
    r.nSource = 9;
    EXPECT_EQ(0, ScheduledSource(r, &channel));
    EXPECT_STREQ("Cable Viewing", ScheduledViewingText(SCHEDULE_SOURCE_CABLE));
    EXPECT_STREQ("Composite Viewing", ScheduledViewingText(SCHEDULE_SOURCE_COMPOSITE));
    EXPECT_STREQ("", ScheduledViewingText(-1));
    EXPECT_EQ(1, SavedChannelList(1));
    EXPECT_EQ(2, SavedChannelList(3));
    for (int mode = 1; mode <= 12; mode++) {
        bool drops = mode == 2 || mode == 9 || mode == 11 || (mode >= 4 && mode <= 7);
        bool starts = mode == 1 || mode == 3 || mode == 8 || mode == 10;
        EXPECT_EQ(drops, !!ModeDropsDueEntry(mode)) << mode;
        EXPECT_EQ(starts, !!ModeStartsScheduledRun(mode)) << mode;
    }
}

TEST(ScheduledRun, TheRecordingOriginReadsNoneUntilSetAndAfterClearing)
{
    CScheduleList list;
    EXPECT_EQ(RECORDING_ORIGIN_NONE, list.GetRecordingOrigin());
    list.SetRecordingOrigin(RECORDING_ORIGIN_SCHEDULE);
    list.m_nElapsedSeconds = 9;
    EXPECT_EQ(RECORDING_ORIGIN_SCHEDULE, list.GetRecordingOrigin());
    list.ClearAuxFlags();
    EXPECT_EQ(RECORDING_ORIGIN_NONE, list.GetRecordingOrigin());
    EXPECT_EQ(0, list.m_nElapsedSeconds);
}

TEST(ScheduledRun, TheClockOffsetComesFromTheEnvironment)
{
    ScheduleClock previous = SetScheduleClock(NULL);
    SetEnvironmentVariableA(SCHEDULE_CLOCK_OFFSET_VARIABLE, "12x");
    EXPECT_FALSE(InstallScheduleClockOffset());
    SetEnvironmentVariableA(SCHEDULE_CLOCK_OFFSET_VARIABLE, NULL);
    EXPECT_FALSE(InstallScheduleClockOffset());
    EXPECT_LE(labs((long)(ScheduleNow() - time(NULL))), 1L);

    SetEnvironmentVariableA(SCHEDULE_CLOCK_OFFSET_VARIABLE, "-90000");
    ASSERT_TRUE(InstallScheduleClockOffset());
    EXPECT_EQ(-90000, ScheduleClockOffset());
    EXPECT_LE(labs((long)(ScheduleNow() - (time(NULL) - 90000))), 1L);
    SetEnvironmentVariableA(SCHEDULE_CLOCK_OFFSET_VARIABLE, NULL);
    SetScheduleClock(previous);
}
