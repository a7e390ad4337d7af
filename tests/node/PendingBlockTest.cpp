#include "PendingBlock.h"

#include <gtest/gtest.h>

namespace {

TEST(PendingBlock, NothingHandledOwesNothing) {
    PendingBlock pending;
    EXPECT_FALSE(pending.owed());
}

TEST(PendingBlock, OneChangeGetsItsOwnBlock) {
    PendingBlock pending;
    pending.noteHandled(true);
    EXPECT_TRUE(pending.owed());
    EXPECT_EQ(pending.pushed(), 0U);
    EXPECT_FALSE(pending.owed());
}

TEST(PendingBlock, AllChangesOfAPassButTheLastAreSuperseded) {
    PendingBlock pending;
    for (int i = 0; i < 10; ++i) {
        pending.noteHandled(true);
    }
    EXPECT_EQ(pending.pushed(), 9U);
    // A fresh count for the next pass.
    pending.noteHandled(true);
    pending.noteHandled(true);
    EXPECT_EQ(pending.pushed(), 1U);
}

TEST(PendingBlock, IgnoredDatagramsAreOwedABlockButSupersedeNothing) {
    PendingBlock pending;
    pending.noteHandled(false);
    pending.noteHandled(false);
    EXPECT_TRUE(pending.owed()) << "the node still refreshes for them";
    EXPECT_EQ(pending.pushed(), 0U);

    pending.noteHandled(true);
    pending.noteHandled(false);
    pending.noteHandled(false);
    EXPECT_EQ(pending.pushed(), 0U) << "the one change is what the block carries";
}

TEST(PendingBlock, ChangesWaitingForAFreeBufferAddUpAcrossPasses) {
    PendingBlock pending;
    // Three passes find the pool full: nothing is pushed, the debt grows.
    for (int pass = 0; pass < 3; ++pass) {
        pending.noteHandled(true);
        pending.noteHandled(true);
        EXPECT_TRUE(pending.owed());
    }
    EXPECT_EQ(pending.pushed(), 5U);
}

}  // namespace
