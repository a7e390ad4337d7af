#include "StreamWatch.h"

#include <algorithm>

void StreamWatch::observe(double takeSeconds, double secondsSinceLastDatagram,
                          std::uint64_t datagramsReceived) {
    mLastLook = takeSeconds;
    const bool anyYet = secondsSinceLastDatagram >= 0.0;
    if (mSilence && datagramsReceived > mSilence->datagramsAtStart) {
        // Datagrams again. The first of them came at most one look before the newest, so the
        // silence is measured to the newest; it cannot have ended before it began.
        const double resumed = std::max(takeSeconds - secondsSinceLastDatagram, mSilence->start);
        mStops.push_back({mSilence->start, resumed - mSilence->start, true});
        mSilence.reset();
    }
    if (mSilence) {
        return;
    }
    const double since = anyYet ? secondsSinceLastDatagram : takeSeconds;
    if (since > kSilenceSeconds) {
        mSilence = Silence{std::max(takeSeconds - since, 0.0), datagramsReceived};
    }
}

void StreamWatch::end(double takeSeconds) {
    mLastLook = takeSeconds;
    if (const std::optional<Stop> stop = current()) {
        mStops.push_back(*stop);
        mSilence.reset();
    }
}

std::optional<StreamWatch::Stop> StreamWatch::current() const {
    if (!mSilence) {
        return std::nullopt;
    }
    return Stop{mSilence->start, mLastLook - mSilence->start, false};
}
