#include <gtest/gtest.h>

#include "StreamState.h"

namespace {

using Value = StreamState::Value;

StreamState::Facts streaming() {
    StreamState::Facts facts;
    facts.live = true;
    facts.socketOpen = true;
    facts.arrivedSinceOpen = true;
    facts.secondsSinceLastDatagram = 0.02;
    facts.awaitingDefinition = false;
    facts.characterized = true;
    return facts;
}

TEST(StreamState, EachStepOfTheHandShakeHasItsState) {
    StreamState::Facts facts = streaming();
    EXPECT_EQ(StreamState::classify(facts), Value::Streaming);
    facts.characterized = false;
    EXPECT_EQ(StreamState::classify(facts), Value::WaitingForBinding);
    facts.awaitingDefinition = true;
    EXPECT_EQ(StreamState::classify(facts), Value::WaitingForDefinition);
    facts.arrivedSinceOpen = false;
    EXPECT_EQ(StreamState::classify(facts), Value::WaitingForPhone);
    facts.arrivedSinceOpen = true;
    facts.socketOpen = false;
    EXPECT_EQ(StreamState::classify(facts), Value::WaitingForPhone);
    facts.live = false;
    EXPECT_EQ(StreamState::classify(facts), Value::NotLive);
}

TEST(StreamState, SilenceBeyondASecondWinsOverWhatTheNodeLastKnew) {
    StreamState::Facts facts = streaming();
    facts.secondsSinceLastDatagram = 1.0;
    EXPECT_EQ(StreamState::classify(facts), Value::Streaming) << "a second is not yet silence";
    facts.secondsSinceLastDatagram = 1.001;
    EXPECT_EQ(StreamState::classify(facts), Value::Silent);
    facts.awaitingDefinition = true;
    EXPECT_EQ(StreamState::classify(facts), Value::Silent);
    facts.live = false;
    EXPECT_EQ(StreamState::classify(facts), Value::NotLive);
}

TEST(StreamState, NamesAreTheOnesTheStatusCommandReports) {
    EXPECT_STREQ(StreamState::name(Value::NotLive), "notLive");
    EXPECT_STREQ(StreamState::name(Value::WaitingForPhone), "waitingForPhone");
    EXPECT_STREQ(StreamState::name(Value::WaitingForDefinition), "waitingForDefinition");
    EXPECT_STREQ(StreamState::name(Value::WaitingForBinding), "waitingForBinding");
    EXPECT_STREQ(StreamState::name(Value::Streaming), "streaming");
    EXPECT_STREQ(StreamState::name(Value::Silent), "silent");
}

}  // namespace
