#include "platform/sync.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// Two threads take turns through one mutex and condition: each waits for
// its turn and hands the next one over. A lost wake-up hangs the test; a
// lock that doesn't exclude garbles the count.
void takeTurns(bool slim)
{
    CMutex mutex(slim);
    CCondition changed(slim);
    int turn = 0;
    long count = 0;
    const int kRounds = 2000;
    auto player = [&](int me) {
        for (int i = 0; i < kRounds; ++i) {
            std::unique_lock<CMutex> lock(mutex);
            changed.wait(lock, [&] { return turn == me; });
            ++count;
            turn = 1 - me;
            changed.notify_all();
        }
    };
    std::thread other(player, 1);
    player(0);
    other.join();
    EXPECT_EQ(count, 2 * kRounds);
}

} // namespace

TEST(Sync, SlimAndStandardLocksTakeTurns)
{
    EXPECT_TRUE(SlimLocksAvailable());   // every Windows since Vista, and Wine
    takeTurns(true);
    takeTurns(false);
}
