#pragma once

#include <chrono>
#include <optional>
#include <string>

// When a node looks its local addresses up and when it sends them to its panel. Listing the
// interfaces costs tens of microseconds, far more than the rest of a not-live evaluation, so
// it is done at most once a second; the panel is sent a list only when it differs from the
// one it was sent last, or when the panel asked for it. Pure bookkeeping; the caller guards it.
class AddressListCache {
public:
    using Time = std::chrono::steady_clock::time_point;

    static constexpr std::chrono::seconds kLookUpInterval{1};

    // True before the first look-up, once the last one is a second old, and when the clock
    // reads earlier than the last look-up (a clock that was set back).
    bool lookUpDue(Time now) const;
    // Takes the result of a look-up made at `now`. True when it must be sent: it differs from
    // the last list sent, none was sent yet, or `asked`. A list to be sent counts as sent.
    bool offer(const std::string& list, Time now, bool asked);

private:
    std::optional<Time> mLastLookUp;
    std::optional<std::string> mLastSent;
};
