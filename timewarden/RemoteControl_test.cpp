#include <gtest/gtest.h>
#include <vector>
#include "RemoteControl.h"

namespace {

// Ticks until the number comes out; -1 when it does not within 30 ticks.
int TicksUntilNumber(CDigitEntry& entry, int* number, const std::vector<std::vector<int>>& keysPerTick = {})
{
    for (int tick = 0; tick < 30; tick++) {
        if (tick < (int)keysPerTick.size())
            for (int digit : keysPerTick[tick])
                entry.Press(digit);
        *number = entry.Tick();
        if (*number != CDigitEntry::kTyping)
            return tick + 1;
    }
    return -1;
}

}  // namespace

TEST(DigitEntry, DigitsWithinElevenTicksMakeOneNumberSentOnTheTwelfth)
{
    CDigitEntry entry;
    int number = -1;
    // Keys at 0, 300 and 600 ms; the first arrives before the first tick.
    entry.Press(1);
    EXPECT_EQ(12, TicksUntilNumber(entry, &number, {{}, {}, {2}, {}, {}, {3}}));
    EXPECT_EQ(123, number);
    EXPECT_FALSE(entry.IsActive());

    entry.Press(0);
    EXPECT_EQ(12, TicksUntilNumber(entry, &number));
    EXPECT_EQ(0, number) << "a lone 0";
}

TEST(DigitEntry, DigitsOfOneTickGoInAscendingOrder)
{
    CDigitEntry entry;
    int number = -1;
    entry.Press(5);
    TicksUntilNumber(entry, &number, {{}, {9, 2}});
    EXPECT_EQ(529, number);
}

TEST(DigitEntry, ANumberKeepsAtMostNineDigits)
{
    CDigitEntry entry;
    int number = -1;
    entry.Press(1);
    std::vector<std::vector<int>> keys = {{}};
    for (int d : {2, 3, 4, 5, 6, 7, 8, 9, 0, 1, 2})
        keys.push_back({d});
    EXPECT_EQ(12, TicksUntilNumber(entry, &number, keys));
    EXPECT_EQ(123456789, number);
}
