#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// Notices when a node's stream stops during a take. Looked at now and then (a tenth of a
// second apart is plenty), it is told how many datagrams the node has received and how long
// ago the last one arrived; a silence longer than the node's own (a second, after which it
// waits for a skeleton definition again) is a stop, and it ends when the count moves again.
// Pure: times are seconds into the take.
class StreamWatch {
public:
    static constexpr double kSilenceSeconds = 1.0;

    struct Stop {
        double at;      // seconds into the take of the last datagram before it; 0 or more
        double length;  // seconds without a datagram, to the resumption or the take's end
        bool resumed;
    };

    // `secondsSinceLastDatagram` negative: the node never received one.
    void observe(double takeSeconds, double secondsSinceLastDatagram,
                 std::uint64_t datagramsReceived);
    // The take ended at `takeSeconds`: a silence still going on then counts up to there.
    void end(double takeSeconds);

    const std::vector<Stop>& stops() const { return mStops; }
    // The stop going on at the last look, if any.
    std::optional<Stop> current() const;

private:
    struct Silence {
        double start;  // seconds into the take; 0 when it began before the take
        std::uint64_t datagramsAtStart;
    };

    std::optional<Silence> mSilence;
    double mLastLook = 0.0;
    std::vector<Stop> mStops;
};
