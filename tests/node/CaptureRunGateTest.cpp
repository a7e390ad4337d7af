// Which capture run goes on, whatever order the host's shutdowns and the runs' beginnings and
// endings come in. `done` stands for the host's shared flag.
#include <gtest/gtest.h>

#include <functional>

#include "CaptureRunGate.h"

namespace {

struct DoneFlag {
    bool value = false;
    void operator()(bool done) { value = done; }
};

TEST(CaptureRunGate, AShutdownBeforeTheRunBeginsStillStopsIt) {
    CaptureRunGate gate;
    bool done = false;
    const auto setDone = [&done](bool value) { done = value; };
    gate.stop(setDone);  // asked to stop before its thread got going
    const unsigned first = gate.begin(setDone);
    EXPECT_FALSE(done) << "the run clears the shared flag as it begins";
    EXPECT_FALSE(gate.current(first)) << "but the stop meant for it holds";
    gate.end(first, setDone);
    EXPECT_TRUE(done);

    const unsigned second = gate.begin(setDone);
    EXPECT_TRUE(gate.current(second)) << "the restart that follows runs";
}

TEST(CaptureRunGate, AnOldRunLeavingLateNeitherStopsNorJoinsTheNewOne) {
    CaptureRunGate gate;
    bool done = false;
    const auto setDone = [&done](bool value) { done = value; };
    const unsigned old = gate.begin(setDone);
    gate.stop(setDone);
    const unsigned fresh = gate.begin(setDone);  // started before the old run left
    EXPECT_FALSE(gate.current(old)) << "two runs never go on together";
    EXPECT_TRUE(gate.current(fresh));
    gate.end(old, setDone);
    EXPECT_FALSE(done) << "the old run's leaving does not stop the new one";
    EXPECT_TRUE(gate.current(fresh));
}

TEST(CaptureRunGate, OfTwoRunsBegunAfterOneShutdownExactlyOneGoesOn) {
    CaptureRunGate gate;
    DoneFlag done;
    gate.stop(std::ref(done));  // the first start's thread had not begun
    const unsigned a = gate.begin(std::ref(done));
    const unsigned b = gate.begin(std::ref(done));
    EXPECT_NE(gate.current(a), gate.current(b));
}

TEST(CaptureRunGate, QuickRestartsBeforeAnyThreadBeginsLeaveOnlyTheLastStartGoing) {
    CaptureRunGate gate;
    DoneFlag done;
    // Three starts, the first two shut down, before any of their threads began.
    gate.stop(std::ref(done));
    gate.stop(std::ref(done));
    const unsigned a = gate.begin(std::ref(done));
    const unsigned b = gate.begin(std::ref(done));
    const unsigned c = gate.begin(std::ref(done));
    EXPECT_EQ(gate.current(a) + gate.current(b) + gate.current(c), 1);
    EXPECT_TRUE(gate.current(c));
    gate.end(a, std::ref(done));
    gate.end(b, std::ref(done));
    EXPECT_FALSE(done.value);
    gate.stop(std::ref(done));  // deletion stops the one left
    EXPECT_FALSE(gate.current(c));
    EXPECT_TRUE(done.value);
}

}  // namespace
