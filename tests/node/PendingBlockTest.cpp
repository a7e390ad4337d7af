#include "PendingBlock.h"

#include <cstdint>

#include <gtest/gtest.h>

namespace {

TEST(PendingBlock, NothingHandledOwesNothing) {
    PendingBlock pending;
    EXPECT_FALSE(pending.owed());
}

TEST(PendingBlock, OneChangeGetsItsOwnBlock) {
    PendingBlock pending;
    EXPECT_EQ(pending.noteHandled(true), 0U);
    EXPECT_TRUE(pending.owed());
    pending.pushed();
    EXPECT_FALSE(pending.owed());
    EXPECT_EQ(pending.noteHandled(true), 0U) << "the pushed change is not superseded";
}

TEST(PendingBlock, AllChangesOfAPassButTheLastAreSuperseded) {
    PendingBlock pending;
    std::uint64_t superseded = 0;
    for (int i = 0; i < 10; ++i) {
        superseded += pending.noteHandled(true);
    }
    EXPECT_EQ(superseded, 9U);
    pending.pushed();
    // A fresh count for the next pass.
    EXPECT_EQ(pending.noteHandled(true), 0U);
    EXPECT_EQ(pending.noteHandled(true), 1U);
}

TEST(PendingBlock, IgnoredDatagramsAreOwedABlockButSupersedeNothing) {
    PendingBlock pending;
    EXPECT_EQ(pending.noteHandled(false), 0U);
    EXPECT_EQ(pending.noteHandled(false), 0U);
    EXPECT_TRUE(pending.owed()) << "the node still refreshes for them";
    pending.pushed();

    EXPECT_EQ(pending.noteHandled(true), 0U);
    EXPECT_EQ(pending.noteHandled(false), 0U);
    EXPECT_EQ(pending.noteHandled(false), 0U) << "the one change is what the block carries";
}

TEST(PendingBlock, ChangesWaitingForAFreeBufferAreCountedAsTheyAreReplaced) {
    PendingBlock pending;
    // Three passes find the pool full: nothing is pushed, yet each replaced change counts at
    // once, so a push long after (a stalled consumer) does not move the loss to its time.
    std::uint64_t superseded = 0;
    for (int pass = 0; pass < 3; ++pass) {
        superseded += pending.noteHandled(true);
        superseded += pending.noteHandled(true);
        EXPECT_TRUE(pending.owed());
        EXPECT_EQ(superseded, static_cast<std::uint64_t>(2 * pass + 1)) << "pass " << pass;
    }
    pending.pushed();
    EXPECT_FALSE(pending.owed());
    EXPECT_EQ(pending.noteHandled(true), 0U);
}

}  // namespace
