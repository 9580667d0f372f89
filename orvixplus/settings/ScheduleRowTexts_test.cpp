#include <gtest/gtest.h>
#include <string>
#include "ScheduleRowTexts.h"
#include "ScheduleTestTime.h"

// OrvixPlus's window leaves an unknown value empty, Timewarden's list shows
// the number; the other columns read the same in both.
TEST(ScheduleRowTexts, ValuesOutsideTheirTablesAreEmptyOrTheirNumber)
{
    ScheduleRecord r = Entry(LocalTime(2030, 5, 6, 7, 8), 90, 12);
    r.nSource = 9;
    r.nMode = -1;
    r.nAfterAction = 4;
    for (int column : {3, 5, 6, 7})
        EXPECT_EQ("", std::string(ScheduleCellText(r, column, FALSE))) << column;
    EXPECT_EQ("9", std::string(ScheduleCellText(r, 3, TRUE)));
    EXPECT_EQ("-1", std::string(ScheduleCellText(r, 6, TRUE)));
    for (BOOL numbers : {FALSE, TRUE}) {
        EXPECT_EQ("0", std::string(ScheduleCellText(r, 4, numbers)));
        EXPECT_EQ("00:01:30", std::string(ScheduleCellText(r, 2, numbers)));
        EXPECT_EQ("", std::string(ScheduleCellText(r, SCHEDULE_ROW_COLUMNS, numbers)));
    }
    EXPECT_EQ(std::string(ScheduleCellText(r, 0, FALSE)) + (const char*)ScheduleCellText(r, 1, FALSE),
              std::string(ScheduleRowKey((time_t)r.tStart)));
}
