#include <gtest/gtest.h>
#include "AfxCore.h"

TEST(AfxTime, SpanFormatShowsHoursOfTheDayPart)
{
    CTimeSpan span(0, 25, 2, 3);
    EXPECT_EQ(1, span.GetDays());
    EXPECT_EQ(1, span.GetHours());
    EXPECT_EQ(25, span.GetTotalHours());
    EXPECT_EQ(25 * 60 + 2, span.GetTotalMinutes());
    EXPECT_EQ(2, span.GetMinutes());
    EXPECT_EQ(3, span.GetSeconds());
    EXPECT_EQ(CString("1 01:02:03 100%"), span.Format("%D %H:%M:%S 100%%"));
    EXPECT_EQ(CString("%x 01"), span.Format("%x %H"));
    EXPECT_EQ(CString("12 00:00:00"), CTimeSpan(12, 0, 0, 0).Format("%D %H:%M:%S"));

    CTimeSpan sum = span + CTimeSpan(0, 0, 57, 57);
    EXPECT_EQ(CTimeSpan(1, 2, 0, 0), sum);
    EXPECT_TRUE(span < sum);
    EXPECT_EQ(-(26 * 3600), (-sum).GetTotalSeconds());
}

TEST(AfxTime, PartsFormatAndArithmeticInLocalTime)
{
    CTime leap(2024, 2, 29, 13, 5, 9);
    EXPECT_EQ(2024, leap.GetYear());
    EXPECT_EQ(2, leap.GetMonth());
    EXPECT_EQ(29, leap.GetDay());
    EXPECT_EQ(13, leap.GetHour());
    EXPECT_EQ(5, leap.GetMinute());
    EXPECT_EQ(9, leap.GetSecond());
    EXPECT_EQ(5, leap.GetDayOfWeek());  // Thursday
    EXPECT_EQ(CString("2024-02-29 13:05:09 Thu"), leap.Format("%Y-%m-%d %H:%M:%S %a"));

    CTime next = leap + CTimeSpan(1, 0, 0, 0);
    EXPECT_EQ(CString("03/01"), next.Format("%m/%d"));
    EXPECT_EQ(CTimeSpan(1, 0, 0, 0), next - leap);
    EXPECT_TRUE(leap < next);

    CTime again(leap.GetTime());
    EXPECT_EQ(leap, again);
    EXPECT_EQ(CTime(2024, 3, 1, 0, 0, 0), CTime(2024, 2, 30, 0, 0, 0));  // mktime normalises

    CTime before = CTime::GetCurrentTime();
    EXPECT_GT(before.GetYear(), 2000);
}
