#include <gtest/gtest.h>
#include <set>
#include "FileSweep.h"

namespace {

// The indexes of the cases one share runs.
std::vector<size_t> IndexesRun(const char* share, size_t sampleEvery)
{
    SetEnvironmentVariableA("ORVIX_SWEEP_SHARD", share);
    ts::FileSweep sweep("0123456789abc", 7);
    sweep.Truncations().RandomBytes(20);
    sweep.Sample(sampleEvery);
    std::vector<size_t> seen;
    sweep.Run([&](const ts::SweepCase& c) {
        seen.push_back(c.index);
        return std::string();
    });
    SetEnvironmentVariableA("ORVIX_SWEEP_SHARD", NULL);
    return seen;
}

}  // namespace

TEST(FileSweep, SharesTogetherRunEveryChosenCaseOnce)
{
    SetEnvironmentVariableA("ORVIX_SWEEP_FULL", NULL);
    for (size_t every : {1u, 3u}) {
        std::vector<size_t> all = IndexesRun(NULL, every);
        ASSERT_EQ((33 + every - 1) / every, all.size());
        std::multiset<size_t> shared;
        for (const char* share : {"0/4", "1/4", "2/4", "3/4"}) {
            std::vector<size_t> part = IndexesRun(share, every);
            EXPECT_FALSE(part.empty()) << share;
            shared.insert(part.begin(), part.end());
        }
        EXPECT_EQ(std::multiset<size_t>(all.begin(), all.end()), shared) << "sampling every " << every;
    }
}

TEST(FileSweep, AMistypedShareRunsEverythingHere)
{
    for (const char* text : {"", "2", "4/4", "1/0", "x/2", "1/2x", "-1/2"}) {
        ts::FileSweep::Shard s = ts::FileSweep::ShardOf(text);
        EXPECT_EQ(1u, s.parts) << text;
        EXPECT_EQ(0u, s.part) << text;
    }
    ts::FileSweep::Shard s = ts::FileSweep::ShardOf("2/5");
    EXPECT_EQ(2u, s.part);
    EXPECT_EQ(5u, s.parts);
}
