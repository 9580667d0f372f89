#include "KeptRemoteMessages.h"
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

typedef std::vector<std::pair<WPARAM, LPARAM>> Handled;

TEST(KeptRemoteMessages, KeptOnesAreHandledInTheirOrderAndLaterOnesQueueBehindThem)
{
    CKeptRemoteMessages kept;
    EXPECT_FALSE(kept.Keep(0, 13)) << "kept before the start";
    kept.Hold();
    EXPECT_TRUE(kept.Keep(1, 3));
    EXPECT_TRUE(kept.Keep(0, 14));
    EXPECT_TRUE(kept.Keep(1, 5));
    Handled handled;
    kept.Release([&](WPARAM w, LPARAM l) {
        handled.push_back({w, l});
        // Comes in while the first is handled (a tune's wait answers it).
        if (handled.size() == 1) {
            EXPECT_TRUE(kept.Keep(1, 7));
        }
    });
    EXPECT_EQ((Handled{{1, 3}, {0, 14}, {1, 5}, {1, 7}}), handled);
    EXPECT_FALSE(kept.IsHolding());
    EXPECT_FALSE(kept.Keep(0, 13)) << "kept once the start was through";
    handled.clear();
    kept.Release([&](WPARAM w, LPARAM l) { handled.push_back({w, l}); });
    EXPECT_TRUE(handled.empty()) << "handled twice";
}

TEST(KeptRemoteMessages, AFailedStartDropsWhatItKept)
{
    CKeptRemoteMessages kept;
    kept.Hold();
    kept.Keep(0, 18);
    kept.Keep(1, 4);
    kept.Drop();
    EXPECT_FALSE(kept.IsHolding());
    EXPECT_FALSE(kept.Keep(0, 13));
    Handled handled;
    kept.Release([&](WPARAM w, LPARAM l) { handled.push_back({w, l}); });
    EXPECT_TRUE(handled.empty());

    // A new start keeps afresh, nothing of the last one's.
    kept.Hold();
    kept.Keep(0, 13);
    kept.Release([&](WPARAM w, LPARAM l) { handled.push_back({w, l}); });
    EXPECT_EQ((Handled{{0, 13}}), handled);
}

}  // namespace
