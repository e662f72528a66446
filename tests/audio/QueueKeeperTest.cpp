#include "audio/QueueKeeper.h"

#include <gtest/gtest.h>

TEST(QueueKeeper, HoldsTheFirstLevelDroppingOrRepeatingOneSampleAtATime)
{
    CQueueKeeper keeper(100, 400);
    EXPECT_EQ(keeper.Correction(4000, 32), 0); // the level
    // Within the band: nothing, however long.
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(keeper.Correction(4000 + (i % 2 == 0 ? 100 : -100), 32), 0);
    // Above it: one sample dropped, then nothing until 400 more have been written.
    EXPECT_EQ(keeper.Correction(4101, 32), -1);
    int nDropped = 0;
    for (int i = 0; i < 24; ++i)
        nDropped += keeper.Correction(4101, 32) == -1;
    EXPECT_EQ(nDropped, 1); // once 400 more were written
    // Below it: repeated.
    for (int i = 0; i < 13; ++i)
        keeper.Correction(4000, 32);
    EXPECT_EQ(keeper.Correction(3899, 32), 1);
    EXPECT_EQ(keeper.Correction(3899, 0), 0);
}
