#pragma once

#include <cstdint>
#include <string>

// The arithmetic of baking a take, free of any host: the rule for filled translation keys,
// quaternion interpolation, how many keys fill a gap, and the skeleton's scene name.
class TakeInterpolation {
public:
    struct Quaternion {
        double w;
        double x;
        double y;
        double z;
    };

    // From a to b with parameter t. Across zero it is the plain blend; otherwise the result is
    // kept on b's side of the straight line, so an extrapolating t never overshoots b.
    static double lerp(double a, double b, double t);

    // Spherical interpolation along the shorter arc, without normalization. Nearly equal
    // rotations (sine of the angle below 0.001) give the component average.
    static Quaternion slerp(Quaternion from, Quaternion to, double t);

    // Keys that fill the gap between a key at `previous` and a sample at `next`, one per whole
    // unit; none when there is no previous key (previous <= -1), when the gap is under two
    // units, and when it is wider than `maxGap`: a jump that long is no dropout, and filling
    // it could exhaust memory.
    static std::int32_t filledKeyCount(double previous, double next, double maxGap);

    // The template with its first "{index}" replaced by the device id read as unsigned 32-bit.
    static std::string skeletonName(const std::string& nameTemplate, int deviceId);

    TakeInterpolation() = delete;
};
