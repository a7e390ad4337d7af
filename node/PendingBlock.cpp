#include "PendingBlock.h"

void PendingBlock::noteHandled(bool changedState) {
    ++mHandled;
    if (changedState) {
        ++mChanges;
    }
}

std::uint64_t PendingBlock::pushed() {
    const std::uint64_t superseded = mChanges > 0 ? mChanges - 1 : 0;
    mHandled = 0;
    mChanges = 0;
    return superseded;
}
