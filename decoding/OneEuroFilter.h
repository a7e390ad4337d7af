#pragma once

// The One Euro filter: a low-pass filter whose cutoff rises with the signal's speed, so a
// still performer's sensor jitter is smoothed away while fast motion keeps little lag. The
// clock is the caller's (the stream's frame times), so arrival jitter changes nothing.
// No allocation, no lock: one instance per filtered value, owned by one thread.
class OneEuroFilter {
public:
    // Cutoff of the speed estimate, Hz, as the filter's authors recommend.
    static constexpr double kSpeedCutoff = 1.0;

    // Share of a new value that a first-order low-pass with this cutoff takes after `dt` s.
    static double smoothingFactor(double cutoffHz, double dt);

    // The filtered value of `value` at `time` (s). The same time again gives the last result;
    // the first value, a time that goes back (the stream restarted) and a reset pass through
    // unchanged and restart the filter.
    double filter(double value, double time, double minCutoff, double beta);
    void reset() { mStarted = false; }

private:
    bool mStarted = false;
    double mValue = 0.0;
    double mSpeed = 0.0;
    double mTime = 0.0;
};
