#pragma once

#include <cstdint>

// What the capture thread owes the pool: one block with the newest state once it has handled
// datagrams since its last block. A pass may handle many datagrams but pushes one block, so
// every state change before the last one pushed is superseded; when no buffer is free the
// debt carries over to the next pass. Pure bookkeeping, capture thread only.
class PendingBlock {
public:
    // A datagram was handled; `changedState` when it changed the records a block carries (an
    // applied frame or an accepted skeleton definition), not when it was ignored or rejected.
    void noteHandled(bool changedState);
    // True while handled datagrams wait for a block.
    bool owed() const { return mHandled != 0; }
    // A block with the newest state was pushed. Returns how many state changes it superseded:
    // all that waited but the last.
    std::uint64_t pushed();

private:
    std::uint64_t mHandled = 0;
    std::uint64_t mChanges = 0;
};
