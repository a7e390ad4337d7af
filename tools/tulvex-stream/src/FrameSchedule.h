#pragma once

#include <cstdint>

// Frame numbers and timestamps of a stream. The plug-in tells the rate from the fractional
// parts of consecutive timestamps, so they are exact multiples of 1/fps from a whole second,
// and send-time jitter or dropped frames never move them.
class FrameSchedule {
public:
    FrameSchedule(int fps, std::int64_t startSecond, std::int32_t firstFrameNumber = 0);

    static bool isSupportedRate(int fps) { return fps == 30 || fps == 50 || fps == 60; }

    int fps() const { return fps_; }
    std::int32_t frameNumber(std::int64_t index) const;
    double timestamp(std::int64_t index) const;
    // Seconds from the first frame to this one, when it is due to be sent.
    double offsetSeconds(std::int64_t index) const;
    // Frames in a stream of this length: those due strictly before its end.
    std::int64_t frameCount(double durationSeconds) const;

private:
    int fps_;
    std::int64_t startSecond_;
    std::int32_t firstFrameNumber_;
};
