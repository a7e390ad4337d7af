#include "PendingBlock.h"

std::uint64_t PendingBlock::noteHandled(bool changedState) {
    ++mHandled;
    if (!changedState) {
        return 0;
    }
    const bool supersedes = mChangeWaiting;
    mChangeWaiting = true;
    return supersedes ? 1 : 0;
}

void PendingBlock::pushed() {
    mHandled = 0;
    mChangeWaiting = false;
}
