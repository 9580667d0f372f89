#include <gtest/gtest.h>
#include "ScheduleTestTime.h"
#include "TimedShutdown.h"

TEST(TimedShutdownRules, ATargetBeforeTheCurrentMinuteIsRefusedWhateverTheYear)
{
    time_t now = LocalTime(2024, 12, 15, 10, 5, 30);
    EXPECT_TRUE(IsShutdownTargetAccepted({12, 15, 10, 5}, now));
    EXPECT_TRUE(IsShutdownTargetAccepted({12, 15, 11, 0}, now));
    EXPECT_FALSE(IsShutdownTargetAccepted({12, 15, 10, 4}, now));
    EXPECT_FALSE(IsShutdownTargetAccepted({1, 2, 0, 0}, now)) << "January in December";
}

TEST(TimedShutdownRules, EachTargetMinuteIsReachedOnceEvenByALateTick)
{
    ShutdownTarget target = {3, 7, 10, 5};
    long previous = ShutdownMinuteKeyAt(LocalTime(2024, 3, 7, 10, 3, 30));
    time_t tick = LocalTime(2024, 3, 7, 10, 4, 30);
    EXPECT_FALSE(IsShutdownTargetReached(target, previous, tick));
    previous = ShutdownMinuteKeyAt(tick);
    tick = LocalTime(2024, 3, 7, 10, 6, 31);  // the 10:05 tick came late
    EXPECT_TRUE(IsShutdownTargetReached(target, previous, tick));
    previous = ShutdownMinuteKeyAt(tick);
    EXPECT_FALSE(IsShutdownTargetReached(target, previous, LocalTime(2024, 3, 7, 10, 7, 31)));
}
