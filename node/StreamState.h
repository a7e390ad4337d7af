#pragma once

// Where a node's stream stands, in the words a panel shows it in. Pure, so each state is
// tested without a host.
class StreamState {
public:
    enum class Value {
        NotLive,               // "Not live"
        WaitingForPhone,       // live, nothing arrived since the port was opened
        WaitingForDefinition,  // datagrams arrive, but the skeleton definition has not
        WaitingForBinding,     // a definition arrived; Bind to Character is pressed next
        Streaming,
        Silent  // nothing for more than the silence threshold
    };

    struct Facts {
        bool live = false;
        bool socketOpen = false;
        bool arrivedSinceOpen = false;
        double secondsSinceLastDatagram = -1.0;  // negative before the first
        bool awaitingDefinition = true;
        bool characterized = false;
    };

    // Beyond this a stream that was flowing counts as silent: the same second after which
    // the node waits for a skeleton definition again.
    static constexpr double kSilentAfterSeconds = 1.0;

    static Value classify(const Facts& facts);
    // The name the status command reports: "notLive", "waitingForPhone", ...
    static const char* name(Value value);

    StreamState() = delete;
};
