#include "TakeInterpolation.h"

#include <algorithm>
#include <cmath>
#include <limits>

double TakeInterpolation::lerp(double a, double b, double t) {
    if ((a <= 0.0 && b >= 0.0) || (a >= 0.0 && b <= 0.0)) {
        return t * b + (1.0 - t) * a;
    }
    if (t == 1.0) {
        return b;
    }
    const double x = a + t * (b - a);
    return ((t > 1.0) == (b > a)) ? std::max(b, x) : std::min(b, x);
}

TakeInterpolation::Quaternion TakeInterpolation::slerp(Quaternion from, Quaternion to, double t) {
    double cosine = from.w * to.w + from.x * to.x + from.y * to.y + from.z * to.z;
    if (std::fabs(cosine) >= 1.0) {
        return from;
    }
    // q and -q are the same rotation: turning the short way keeps filled keys on the path
    // the performer took, and keeps q with -q from averaging to the zero quaternion.
    if (cosine < 0.0) {
        to = {-to.w, -to.x, -to.y, -to.z};
        cosine = -cosine;
    }
    const double sine = std::sqrt(1.0 - cosine * cosine);
    if (std::fabs(sine) < 0.001) {
        return {0.5 * from.w + 0.5 * to.w, 0.5 * from.x + 0.5 * to.x, 0.5 * from.y + 0.5 * to.y,
                0.5 * from.z + 0.5 * to.z};
    }
    const double angle = std::acos(cosine);
    const double weightFrom = std::sin((1.0 - t) * angle) / sine;
    const double weightTo = std::sin(t * angle) / sine;
    return {from.w * weightFrom + to.w * weightTo, from.x * weightFrom + to.x * weightTo,
            from.y * weightFrom + to.y * weightTo, from.z * weightFrom + to.z * weightTo};
}

std::int32_t TakeInterpolation::filledKeyCount(double previous, double next, double maxGap) {
    if (!(previous > -1.0) || !(next > previous + 1.0) || !(next - previous <= maxGap)) {
        return 0;
    }
    const double count = std::trunc(next - previous - 1.0);
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::min(count, kMax));
}

std::string TakeInterpolation::skeletonName(const std::string& nameTemplate, int deviceId) {
    static constexpr char kPlaceholder[] = "{index}";
    std::string name = nameTemplate;
    const std::size_t at = name.find(kPlaceholder);
    if (at != std::string::npos) {
        name.replace(at, sizeof(kPlaceholder) - 1,
                     std::to_string(static_cast<std::uint32_t>(deviceId)));
    }
    return name;
}
