// Blocks made ahead by one thread and taken by another.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "ChunkedSequence.h"
#include "SpareBlocks.h"

namespace {

struct Sample {
    double values[11];
};

TEST(SpareBlocksTest, NothingIsMadeUntilWantedThenOneZeroedBlockACallUntilEverySlotHasOne) {
    SpareBlocks<Sample, 64, 3> spares;
    spares.fill();
    EXPECT_FALSE(spares.ready(0));  // a node that never records costs nothing

    spares.want();
    for (std::size_t filled = 1; filled <= 3; ++filled) {
        spares.fill();
        for (std::size_t slot = 0; slot < 3; ++slot) {
            EXPECT_EQ(spares.ready(slot), slot < filled) << "after fill " << filled;
        }
    }
    spares.fill();  // all full: nothing more is made or replaced
    for (std::size_t slot = 0; slot < 3; ++slot) {
        EXPECT_TRUE(spares.ready(slot));
    }
    const std::unique_ptr<Sample[]> ready = spares.take(1);
    for (std::size_t i = 0; i < 64; ++i) {
        for (const double value : ready[i].values) {
            ASSERT_EQ(value, 0.0);
        }
    }
    // Only the slot taken from is empty, until the next fill.
    EXPECT_FALSE(spares.ready(1));
    EXPECT_TRUE(spares.ready(0));
    EXPECT_NE(spares.take(1), nullptr);  // none ready: a block made there and then
    spares.fill();
    EXPECT_TRUE(spares.ready(1));

    // Paused, as between takes: what is ready stays, nothing more is made.
    spares.pause();
    spares.take(2);
    spares.fill();
    EXPECT_FALSE(spares.ready(2));
    EXPECT_TRUE(spares.ready(1));
}

// A sequence grows into the blocks while another thread keeps them coming; run under the
// sanitizers, a block handed over twice, lost or read before it was made shows up.
TEST(SpareBlocksTest, ASequenceGrowsIntoBlocksMadeOnAnotherThread) {
    constexpr std::size_t kBlock = 16;
    SpareBlocks<Sample, kBlock, 2> spares;
    spares.want();
    std::atomic<bool> done{false};
    std::thread filler([&] {
        while (!done.load()) {
            spares.fill();
            std::this_thread::yield();
        }
    });
    std::vector<ChunkedSequence<Sample, kBlock>> sequences(2);
    for (int n = 0; n < 20000; ++n) {
        for (std::size_t s = 0; s < sequences.size(); ++s) {
            if (sequences[s].full()) {
                sequences[s].addBlock(spares.take(s));
            }
            Sample sample{};
            sample.values[0] = n;
            sequences[s].push_back(sample);
        }
    }
    done.store(true);
    filler.join();
    for (const ChunkedSequence<Sample, kBlock>& sequence : sequences) {
        ASSERT_EQ(sequence.size(), 20000U);
        for (std::size_t n = 0; n < sequence.size(); ++n) {
            ASSERT_EQ(sequence[n].values[0], static_cast<double>(n));
        }
    }
}

}  // namespace
