#include "FrameSchedule.h"

#include <cmath>
#include <stdexcept>
#include <string>

FrameSchedule::FrameSchedule(int fps, std::int64_t startSecond, std::int32_t firstFrameNumber)
    : fps_(fps), startSecond_(startSecond), firstFrameNumber_(firstFrameNumber) {
    if (!isSupportedRate(fps)) {
        throw std::invalid_argument("unsupported frame rate " + std::to_string(fps));
    }
}

std::int32_t FrameSchedule::frameNumber(std::int64_t index) const {
    // A long stream wraps like the phone's 32-bit counter instead of overflowing.
    const auto number = static_cast<std::uint32_t>(firstFrameNumber_) +
                        static_cast<std::uint32_t>(static_cast<std::uint64_t>(index));
    return static_cast<std::int32_t>(number);
}

double FrameSchedule::timestamp(std::int64_t index) const {
    // Whole seconds and the remainder apart: the fraction is then one correctly rounded
    // division, not the residue of a large sum.
    const std::int64_t whole = startSecond_ + index / fps_;
    const std::int64_t remainder = index % fps_;
    return static_cast<double>(whole) + static_cast<double>(remainder) / fps_;
}

double FrameSchedule::offsetSeconds(std::int64_t index) const {
    return static_cast<double>(index) / fps_;
}

std::int64_t FrameSchedule::frameCount(double durationSeconds) const {
    if (!(durationSeconds > 0)) {
        return 0;
    }
    return static_cast<std::int64_t>(std::ceil(durationSeconds * fps_ - 1e-9));
}
