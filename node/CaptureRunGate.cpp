#include "CaptureRunGate.h"

bool CaptureRunGate::current(unsigned run) const {
    return mStopped.load() < run;
}

void CaptureRunGate::stopOne() {
    // The host shuts each start down once; starts whose threads have not begun yet are stopped
    // in turn as they begin, whichever thread begins first.
    mStopped.store(mStopped.load() + 1);
}
