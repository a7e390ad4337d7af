#pragma once

#include <cstdint>

// What the capture thread owes the pool: one block with the newest state once it has handled
// datagrams since its last block. A pass may handle many datagrams but pushes one block, so
// a state change handled while an earlier one still waits for its block supersedes it; when
// no buffer is free the debt carries over to the next pass. Pure bookkeeping, capture thread
// only.
class PendingBlock {
public:
    // A datagram was handled; `changedState` when it changed the records a block carries (an
    // applied frame or an accepted skeleton definition), not when it was ignored or rejected.
    // Returns how many waiting changes it superseded (0 or 1), counted now rather than at the
    // push: while the pool stays full a push may come long after the frames it replaced.
    std::uint64_t noteHandled(bool changedState);
    // True while handled datagrams wait for a block.
    bool owed() const { return mHandled != 0; }
    // A block with the newest state was pushed.
    void pushed();

private:
    std::uint64_t mHandled = 0;
    bool mChangeWaiting = false;
};
