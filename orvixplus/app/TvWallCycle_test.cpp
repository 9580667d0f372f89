// The wall's cycle without windows: settings, cells per step, next channel.
#include <gtest/gtest.h>
#include "ChannelStore.h"
#include "TvWallCycle.h"
#include <vector>

namespace {

TEST(TvWallSettings, OutOfRangeValuesTakeTheDefaults)
{
    EXPECT_EQ(2, TvWallGridSize(1));
    EXPECT_EQ(5, TvWallGridSize(4));
    EXPECT_EQ(3, TvWallGridSize(0));
    EXPECT_EQ(3, TvWallGridSize(5));
    EXPECT_EQ(3, TvWallGridSize(-1));
    EXPECT_EQ(3000u, TvWallDwellMs(1));
    EXPECT_EQ(7000u, TvWallDwellMs(3));
    EXPECT_EQ(3000u, TvWallDwellMs(0));
    EXPECT_EQ(3000u, TvWallDwellMs(4));
}

TEST(TvWallCycle, ThreeByThreeWithTwelveChannelsWrapsToCellZero)
{
    // Channel k is live at counter k; the cell it leaves keeps its picture.
    std::vector<int> live, left;
    for (int counter = 1; counter <= 12; counter++) {
        TvWallStepCells c = TvWallCellsForStep(counter, 3);
        live.push_back(c.nLive);
        left.push_back(c.nLeft);
    }
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 2}), live);
    // Channel 10 goes live in cell 0 while cell 8 keeps channel 9.
    EXPECT_EQ((std::vector<int>{8, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1}), left);
    TvWallStepCells none = TvWallCellsForStep(5, 0);
    EXPECT_EQ(0, none.nLive);
}

TEST(TvWallCycle, NextChannelStepsOverGapsAndEndsAfterTheHighest)
{
    CChannelStore store;
    for (int n : {1, 2, 3, 5, 6, 8}) {
        ChannelRecord* rec = new ChannelRecord;
        MakeChannelRecord(rec, n, 49750000 + n * 8000000, 0);
        ASSERT_TRUE(store.Add(2, rec));
    }
    std::vector<int> order;
    for (int n = NextWallChannel(store, 2, 0); n > 0; n = NextWallChannel(store, 2, n))
        order.push_back(n);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 5, 6, 8}), order);
    EXPECT_EQ(-1, NextWallChannel(store, 2, 8));
    EXPECT_EQ(-1, NextWallChannel(store, 1, 0));  // an empty list
    EXPECT_EQ(-1, NextWallChannel(store, 7, 0));  // no such list
}

}  // namespace
