#include "StreamState.h"

StreamState::Value StreamState::classify(const Facts& facts) {
    if (!facts.live) {
        return Value::NotLive;
    }
    if (!facts.socketOpen || !facts.arrivedSinceOpen) {
        return Value::WaitingForPhone;
    }
    // Silence first: the node notices it only when the next datagram comes.
    if (facts.secondsSinceLastDatagram > kSilentAfterSeconds) {
        return Value::Silent;
    }
    if (facts.awaitingDefinition) {
        return Value::WaitingForDefinition;
    }
    return facts.characterized ? Value::Streaming : Value::WaitingForBinding;
}

const char* StreamState::name(Value value) {
    switch (value) {
        case Value::NotLive:
            return "notLive";
        case Value::WaitingForPhone:
            return "waitingForPhone";
        case Value::WaitingForDefinition:
            return "waitingForDefinition";
        case Value::WaitingForBinding:
            return "waitingForBinding";
        case Value::Streaming:
            return "streaming";
        case Value::Silent:
            return "silent";
    }
    return "notLive";
}
