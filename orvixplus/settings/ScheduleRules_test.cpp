#include <gtest/gtest.h>
#include "ScheduleTestTime.h"

// 2007-01-31 was a Wednesday (3).
TEST(ScheduleDue, DailyEntryFromItsStartDateOn)
{
    ScheduleRecord daily = Entry(LocalTime(2007, 1, 31, 20, 0), 60, SCHEDULE_REPEAT_DAILY);
    EXPECT_TRUE(IsScheduleDue(daily, LocalTime(2007, 1, 31, 20, 0, 0)));
    EXPECT_TRUE(IsScheduleDue(daily, LocalTime(2007, 2, 1, 20, 0, 20)));
    EXPECT_TRUE(IsScheduleDue(daily, LocalTime(2008, 1, 15, 20, 0, 5)));
    EXPECT_FALSE(IsScheduleDue(daily, LocalTime(2007, 1, 30, 20, 0, 0)));
    EXPECT_FALSE(IsScheduleDue(daily, LocalTime(2006, 12, 31, 20, 0, 0)));
    EXPECT_FALSE(IsScheduleDue(daily, LocalTime(2007, 2, 1, 20, 0, 21)));
    EXPECT_FALSE(IsScheduleDue(daily, LocalTime(2007, 2, 1, 20, 1, 0)));
    EXPECT_FALSE(IsScheduleDue(daily, LocalTime(2007, 2, 1, 21, 0, 0)));
}

TEST(ScheduleDue, OnceOnlyOnItsMinuteAndWeekdayOnItsDay)
{
    ScheduleRecord once = Entry(LocalTime(2007, 1, 31, 20, 0), 60, SCHEDULE_REPEAT_ONCE);
    EXPECT_TRUE(IsScheduleDue(once, LocalTime(2007, 1, 31, 20, 0, 20)));
    EXPECT_FALSE(IsScheduleDue(once, LocalTime(2007, 1, 31, 20, 0, 21)));
    EXPECT_FALSE(IsScheduleDue(once, LocalTime(2007, 2, 1, 20, 0, 0)));
    EXPECT_FALSE(IsScheduleDue(once, LocalTime(2007, 1, 31, 19, 59, 59)));

    // The weekly window is shorter: seconds 0..10. The start date does not matter.
    ScheduleRecord wednesday = Entry(LocalTime(2007, 3, 1, 20, 0), 60, 3);
    EXPECT_TRUE(IsScheduleDue(wednesday, LocalTime(2007, 1, 31, 20, 0, 10)));
    EXPECT_FALSE(IsScheduleDue(wednesday, LocalTime(2007, 1, 31, 20, 0, 11)));
    EXPECT_TRUE(IsScheduleDue(wednesday, LocalTime(2007, 2, 7, 20, 0, 0)));
    EXPECT_FALSE(IsScheduleDue(wednesday, LocalTime(2007, 2, 1, 20, 0, 0)));
}

TEST(ScheduleFinished, OnlyMarkedOnceEntriesPastTheirWindow)
{
    time_t start = LocalTime(2007, 1, 31, 20, 0);
    EXPECT_TRUE(IsFinishedOnceEntry(Entry(start, 60, SCHEDULE_REPEAT_ONCE, 1), start + 21));
    EXPECT_FALSE(IsFinishedOnceEntry(Entry(start, 60, SCHEDULE_REPEAT_ONCE, 1), start + 20));
    EXPECT_FALSE(IsFinishedOnceEntry(Entry(start, 60, SCHEDULE_REPEAT_ONCE, 1), start + 60));
    EXPECT_FALSE(IsFinishedOnceEntry(Entry(start, 60, SCHEDULE_REPEAT_ONCE, 0), start + 30));
    EXPECT_FALSE(IsFinishedOnceEntry(Entry(start, 60, SCHEDULE_REPEAT_DAILY, 1), start + 30));
}

// Existing once-only entries on Wednesday 2007-01-31.
class ScheduleCollision : public testing::Test {
protected:
    static ScheduleRecord At(int day, int hour, int minute, LONG duration, LONG repeat, int second = 0)
    {
        return Entry(LocalTime(2007, 1, day, hour, minute, second), duration, repeat);
    }
};

TEST_F(ScheduleCollision, ExamplesAndContainment)
{
    ScheduleRecord eight = At(31, 8, 0, 3600, SCHEDULE_REPEAT_ONCE);
    EXPECT_TRUE(DoSchedulesCollide(At(31, 9, 0, 60, SCHEDULE_REPEAT_ONCE), eight));
    EXPECT_FALSE(DoSchedulesCollide(At(31, 9, 1, 60, SCHEDULE_REPEAT_ONCE), eight));
    // A new entry that holds the existing one wholly inside it.
    ScheduleRecord shortOne = At(31, 8, 0, 60, SCHEDULE_REPEAT_ONCE);
    EXPECT_TRUE(DoSchedulesCollide(At(31, 7, 0, 4 * 3600, SCHEDULE_REPEAT_ONCE), shortOne));
    EXPECT_TRUE(DoSchedulesCollide(At(31, 7, 0, 4 * 3600, SCHEDULE_REPEAT_DAILY),
                                   At(31, 8, 0, 60, SCHEDULE_REPEAT_DAILY)));
    // The reverse: the new one inside the existing one.
    EXPECT_TRUE(DoSchedulesCollide(shortOne, At(31, 7, 0, 4 * 3600, SCHEDULE_REPEAT_ONCE)));
}

TEST_F(ScheduleCollision, BoundsAreInclusive)
{
    ScheduleRecord e = At(31, 10, 0, 60, SCHEDULE_REPEAT_ONCE);   // window 10:00:00..10:01:10
    EXPECT_TRUE(DoSchedulesCollide(At(31, 10, 1, 60, SCHEDULE_REPEAT_ONCE, 10), e));
    EXPECT_FALSE(DoSchedulesCollide(At(31, 10, 1, 60, SCHEDULE_REPEAT_ONCE, 11), e));
    EXPECT_TRUE(DoSchedulesCollide(At(31, 9, 59, 60, SCHEDULE_REPEAT_ONCE), e));      // ends at 10:00
    EXPECT_FALSE(DoSchedulesCollide(At(31, 9, 58, 60, SCHEDULE_REPEAT_ONCE, 59), e)); // ends 09:59:59
    // Time-of-day rule, same bounds.
    ScheduleRecord daily = At(31, 10, 0, 60, SCHEDULE_REPEAT_DAILY);
    EXPECT_TRUE(DoSchedulesCollide(At(20, 10, 1, 60, SCHEDULE_REPEAT_DAILY, 10), daily));
    EXPECT_FALSE(DoSchedulesCollide(At(20, 10, 1, 60, SCHEDULE_REPEAT_DAILY, 11), daily));
}

TEST_F(ScheduleCollision, RepeatPairs)
{
    const LONG once = SCHEDULE_REPEAT_ONCE, daily = SCHEDULE_REPEAT_DAILY, wed = 3, thu = 4;
    // Once against once: absolute time, so another day never collides.
    EXPECT_FALSE(DoSchedulesCollide(At(30, 10, 0, 60, once), At(31, 10, 0, 60, once)));
    // Once against daily: time of day, whatever the dates.
    EXPECT_TRUE(DoSchedulesCollide(At(2, 10, 0, 60, once), At(31, 10, 0, 60, daily)));
    // Once against weekly: only on that weekday (the 31st is a Wednesday).
    EXPECT_TRUE(DoSchedulesCollide(At(31, 10, 0, 60, once), At(1, 10, 0, 60, wed)));
    EXPECT_FALSE(DoSchedulesCollide(At(31, 10, 0, 60, once), At(1, 10, 0, 60, thu)));
    // Daily against once: only once-only entries on or after the daily one's first day.
    EXPECT_TRUE(DoSchedulesCollide(At(30, 10, 0, 60, daily), At(31, 10, 0, 60, once)));
    EXPECT_TRUE(DoSchedulesCollide(At(31, 10, 0, 60, daily), At(31, 10, 0, 60, once)));
    EXPECT_FALSE(DoSchedulesCollide(At(31, 10, 0, 60, daily), At(30, 10, 0, 60, once)));
    // Daily against daily and weekly: time of day.
    EXPECT_TRUE(DoSchedulesCollide(At(1, 10, 0, 60, daily), At(31, 10, 0, 60, daily)));
    EXPECT_TRUE(DoSchedulesCollide(At(1, 10, 0, 60, daily), At(31, 10, 0, 60, thu)));
    EXPECT_FALSE(DoSchedulesCollide(At(1, 12, 0, 60, daily), At(31, 10, 0, 60, thu)));
    // Weekly against once: only when the once-only entry falls on that weekday.
    EXPECT_TRUE(DoSchedulesCollide(At(1, 10, 0, 60, wed), At(31, 10, 0, 60, once)));
    EXPECT_FALSE(DoSchedulesCollide(At(1, 10, 0, 60, thu), At(31, 10, 0, 60, once)));
    // Weekly against daily: time of day; against weekly: the same weekday only.
    EXPECT_TRUE(DoSchedulesCollide(At(1, 10, 0, 60, thu), At(31, 10, 0, 60, daily)));
    EXPECT_TRUE(DoSchedulesCollide(At(1, 10, 0, 60, thu), At(2, 10, 0, 60, thu)));
    EXPECT_FALSE(DoSchedulesCollide(At(1, 10, 0, 60, thu), At(2, 10, 0, 60, wed)));
}

TEST_F(ScheduleCollision, NoWrapAtMidnight)
{
    // 23:50 for an hour ends at 24:50 by time of day: it never reaches 00:10.
    ScheduleRecord early = At(31, 0, 10, 60, SCHEDULE_REPEAT_DAILY);
    EXPECT_FALSE(DoSchedulesCollide(At(30, 23, 50, 3600, SCHEDULE_REPEAT_DAILY), early));
    EXPECT_FALSE(DoSchedulesCollide(early, At(30, 23, 50, 3600, SCHEDULE_REPEAT_DAILY)));
    // With absolute times the same two once-only entries do meet.
    EXPECT_TRUE(DoSchedulesCollide(At(30, 23, 50, 3600, SCHEDULE_REPEAT_ONCE),
                                   At(31, 0, 10, 60, SCHEDULE_REPEAT_ONCE)));
}

TEST(ScheduleRepeatText, ParsesExactNames)
{
    EXPECT_EQ(0, ParseRepeatType("SUN"));
    EXPECT_EQ(6, ParseRepeatType("SAT"));
    EXPECT_EQ(7, ParseRepeatType("DAY"));
    EXPECT_EQ(8, ParseRepeatType("ONCE"));
    EXPECT_EQ(8, ParseRepeatType("sun"));
    EXPECT_EQ(8, ParseRepeatType("SUNDAY"));
    EXPECT_EQ(8, ParseRepeatType(NULL));
}
