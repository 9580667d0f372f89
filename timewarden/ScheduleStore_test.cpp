// Timewarden's due check and next start, against a clock the test sets. The
// executable runs in the zone Europe/Berlin (see CMakeLists.txt).
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include "ScheduleStore.h"
#include "ScheduleTestTime.h"
#include "TestSupport.h"

namespace {

// Wine copies the Unix TZ into the Windows environment, where the C run-time
// cannot read a zone name; without it both follow the zone Wine started in.
const bool g_zoneFromWine = [] {
    _putenv("TZ=");
    SetEnvironmentVariableA("TZ", NULL);
    _tzset();
    return true;
}();

std::string Utc(const LARGE_INTEGER& due)
{
    FILETIME ft = {due.LowPart, (DWORD)due.HighPart};
    SYSTEMTIME st = {};
    FileTimeToSystemTime(&ft, &st);
    char text[32];
    snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay,
             st.wHour, st.wMinute, st.wSecond);
    return text;
}

class Store : public testing::Test {
protected:
    void SetUp() override { g_pScheduleList = &list_; }
    void TearDown() override { g_pScheduleList = NULL; }
    void Add(const ScheduleRecord& r) { AddScheduleEntry(r); }
    // Whether the due check that runs at `now` reports an entry.
    bool DueWhenChecked(time_t now)
    {
        FixedClock clock(now);
        return FindDueSchedule() != NULL;
    }
    time_t NextAt(time_t now)
    {
        FixedClock clock(now);
        return FindNextScheduleTime();
    }
    CScheduleList list_;
};

}  // namespace

TEST(Zone, TheTestRunsInCentralEuropeanTime)
{
    // 12:00 in summer is 10:00 UTC in Berlin.
    ASSERT_EQ(1719828000, (long long)LocalTime(2024, 7, 1, 12, 0)) << "TZ did not reach the process";
}

TEST_F(Store, AOnceEntryIsDueOnEveryCheckWhoseLookAheadFallsInItsMinute)
{
    Add(Entry(LocalTime(2024, 5, 6, 10, 0), 60, SCHEDULE_REPEAT_ONCE));
    EXPECT_FALSE(DueWhenChecked(LocalTime(2024, 5, 6, 9, 59, 19)));
    EXPECT_TRUE(DueWhenChecked(LocalTime(2024, 5, 6, 9, 59, 20)));
    EXPECT_TRUE(DueWhenChecked(LocalTime(2024, 5, 6, 9, 59, 59)));
    EXPECT_FALSE(DueWhenChecked(LocalTime(2024, 5, 6, 10, 0, 20)));
    EXPECT_FALSE(DueWhenChecked(LocalTime(2024, 5, 7, 9, 59, 30))) << "another day";
}

TEST_F(Store, AnEveryDayEntryIsDueFromItsStartDateInTheFirst21SecondsOfItsMinute)
{
    Add(Entry(LocalTime(2024, 2, 25, 10, 0), 60, SCHEDULE_REPEAT_DAILY));
    EXPECT_TRUE(DueWhenChecked(LocalTime(2024, 3, 3, 9, 59, 20)));
    EXPECT_TRUE(DueWhenChecked(LocalTime(2024, 3, 3, 9, 59, 40)));
    EXPECT_FALSE(DueWhenChecked(LocalTime(2024, 3, 3, 9, 59, 41)));
    EXPECT_FALSE(DueWhenChecked(LocalTime(2024, 2, 24, 9, 59, 30))) << "before its start date";
}

TEST_F(Store, AWeekdayEntryIsDueOnItsWeekdayLikeAnEveryDayEntry)
{
    // 6 May 2024 is a Monday.
    Add(Entry(LocalTime(2024, 4, 1, 10, 0), 60, 1));
    EXPECT_TRUE(DueWhenChecked(LocalTime(2024, 5, 6, 9, 59, 20)));
    EXPECT_TRUE(DueWhenChecked(LocalTime(2024, 5, 6, 9, 59, 40)));
    EXPECT_FALSE(DueWhenChecked(LocalTime(2024, 5, 6, 9, 59, 41)));
    EXPECT_FALSE(DueWhenChecked(LocalTime(2024, 5, 7, 9, 59, 30))) << "a Tuesday";
}

TEST_F(Store, EveryPhaseOfTheTwentySecondTicksMeetsAWeekdayEntry)
{
    Add(Entry(LocalTime(2024, 4, 1, 10, 0), 60, 1));
    time_t base = LocalTime(2024, 5, 6, 9, 58, 0);
    for (int phase = 0; phase < 20; phase++) {
        int hits = 0;
        for (time_t now = base + phase; now < base + 180; now += 20)
            hits += DueWhenChecked(now) ? 1 : 0;
        EXPECT_GE(hits, 1) << "phase " << phase;
        EXPECT_LE(hits, 2) << "phase " << phase;
    }
}

TEST_F(Store, TheNextStartLooksThirtyDaysAheadAndSkipsWhatHasPassed)
{
    time_t now = LocalTime(2024, 5, 6, 21, 0);  // a Monday
    EXPECT_EQ(0, NextAt(now)) << "empty list";
    Add(Entry(LocalTime(2024, 5, 6, 20, 0), 60, SCHEDULE_REPEAT_ONCE));
    EXPECT_EQ(0, NextAt(now)) << "a once entry in the past";
    Add(Entry(LocalTime(2024, 6, 10, 20, 0), 60, SCHEDULE_REPEAT_ONCE));
    EXPECT_EQ(0, NextAt(now)) << "beyond 30 days";
    // A weekly entry that ran today comes back next week, not never.
    Add(Entry(LocalTime(2024, 4, 1, 20, 0), 60, 1));
    EXPECT_EQ(LocalTime(2024, 5, 13, 20, 0), NextAt(now));
    Add(Entry(LocalTime(2024, 4, 4, 8, 30), 60, 4));
    EXPECT_EQ(LocalTime(2024, 5, 9, 8, 30), NextAt(now)) << "Thursday";
    Add(Entry(LocalTime(2024, 1, 1, 6, 15), 60, SCHEDULE_REPEAT_DAILY));
    EXPECT_EQ(LocalTime(2024, 5, 7, 6, 15), NextAt(now)) << "every day, tomorrow";
    Add(Entry(LocalTime(2024, 5, 6, 22, 30), 60, SCHEDULE_REPEAT_ONCE));
    EXPECT_EQ(LocalTime(2024, 5, 6, 22, 30), NextAt(now));
}

TEST_F(Store, TheWakeTimeKeepsTheLocalTimeAcrossADaylightSavingChange)
{
    Add(Entry(LocalTime(2024, 1, 1, 22, 0), 60, SCHEDULE_REPEAT_DAILY));
    EXPECT_EQ("2024-03-31 19:58:00", Utc(WakeDueTime(NextAt(LocalTime(2024, 3, 30, 23, 0)))));
    EXPECT_EQ("2024-10-27 20:58:00", Utc(WakeDueTime(NextAt(LocalTime(2024, 10, 26, 23, 0)))));
    // Without a change: 22:30 local in summer is 20:30 UTC.
    EXPECT_EQ("2024-07-01 20:28:00", Utc(WakeDueTime(LocalTime(2024, 7, 1, 22, 30))));
}

TEST_F(Store, ConflictsUseTheSharedPairingRules)
{
    Add(Entry(LocalTime(2024, 5, 6, 10, 0), 60, SCHEDULE_REPEAT_ONCE));
    EXPECT_TRUE(HasScheduleConflict(Entry(LocalTime(2024, 5, 6, 10, 1, 5), 60, SCHEDULE_REPEAT_ONCE)));
    EXPECT_FALSE(HasScheduleConflict(Entry(LocalTime(2024, 5, 6, 10, 1, 11), 60, SCHEDULE_REPEAT_ONCE)));
    // A new range that holds the old one wholly inside it collides too.
    EXPECT_TRUE(HasScheduleConflict(Entry(LocalTime(2024, 5, 6, 9, 0), 7200, SCHEDULE_REPEAT_ONCE)));
}

TEST_F(Store, TheFileIsReadInWholeRecordsAndAMissingFileKeepsTheList)
{
    std::string dir = ts::FreshTempDir("timewarden-store");
    g_strScheduleFile = (dir + "schedulefile.she").c_str();
    ScheduleRecord records[3] = {Entry(1000000000, 60, 8), Entry(1000003600, 120, 7), Entry(1000007200, 30, 2)};
    FILE* f = fopen(g_strScheduleFile, "wb");
    ASSERT_TRUE(f != NULL);
    fwrite(records, sizeof(records[0]), 3, f);
    fwrite(records, 1, 20, f);
    fclose(f);
    LoadScheduleFile();
    ASSERT_EQ(3, list_.GetCount());
    EXPECT_EQ(120, list_.GetAt(1)->m_record.nDuration);

    ScheduleRecord other = records[1];
    other.nTvChannel = 99;  // not part of what tells entries apart
    RemoveScheduleEntry(other);
    ASSERT_EQ(2, list_.GetCount());
    EXPECT_EQ(30, list_.GetAt(1)->m_record.nDuration);

    DeleteFileA(g_strScheduleFile);
    LoadScheduleFile();
    EXPECT_EQ(2, list_.GetCount());
}
