#include "TimeUnits.h"

#include <cmath>

namespace mayahost {

namespace {

struct Rate {
    double framesPerSecond;  // per second, per minute or per hour for the clock units
    const char* name;
};

// Indexed by MTime::Unit from kHours to k90FPS. The NTSC-derived rates are n * 1000 / 1001.
constexpr Rate kRates[] = {
    {1.0 / 3600.0, "hours"},
    {1.0 / 60.0, "minutes"},
    {1.0, "seconds"},
    {1000.0, "milliseconds"},
    {15.0, "game"},
    {24.0, "film"},
    {25.0, "pal"},
    {30.0, "ntsc"},
    {48.0, "show"},
    {50.0, "palf"},
    {60.0, "ntscf"},
    {2.0, "2fps"},
    {3.0, "3fps"},
    {4.0, "4fps"},
    {5.0, "5fps"},
    {6.0, "6fps"},
    {8.0, "8fps"},
    {10.0, "10fps"},
    {12.0, "12fps"},
    {16.0, "16fps"},
    {20.0, "20fps"},
    {40.0, "40fps"},
    {75.0, "75fps"},
    {80.0, "80fps"},
    {100.0, "100fps"},
    {120.0, "120fps"},
    {125.0, "125fps"},
    {150.0, "150fps"},
    {200.0, "200fps"},
    {240.0, "240fps"},
    {250.0, "250fps"},
    {300.0, "300fps"},
    {375.0, "375fps"},
    {400.0, "400fps"},
    {500.0, "500fps"},
    {600.0, "600fps"},
    {750.0, "750fps"},
    {1200.0, "1200fps"},
    {1500.0, "1500fps"},
    {2000.0, "2000fps"},
    {3000.0, "3000fps"},
    {6000.0, "6000fps"},
    {24000.0 / 1001.0, "23.976fps"},
    {30000.0 / 1001.0, "29.97fps"},
    {30000.0 / 1001.0, "29.97df"},
    {48000.0 / 1001.0, "47.952fps"},
    {60000.0 / 1001.0, "59.94fps"},
    {44100.0, "44100fps"},
    {48000.0, "48000fps"},
    {90.0, "90fps"},
};

constexpr int kFirst = MTime::kHours;
constexpr int kCount = static_cast<int>(sizeof(kRates) / sizeof(kRates[0]));
static_assert(kFirst + kCount == MTime::kUserDef, "one rate per fixed unit");

}  // namespace

double TimeUnits::ticksPerUnit(MTime::Unit unit) {
    const int index = static_cast<int>(unit) - kFirst;
    if (index < 0 || index >= kCount) {
        return 0.0;
    }
    // Rounded, since every rate divides the tick rate exactly; 1/1001 rates would otherwise
    // carry the error of their own division.
    return std::round(kTicksPerSecond / kRates[index].framesPerSecond);
}

double TimeUnits::convert(double value, MTime::Unit from, MTime::Unit to) {
    if (from == to && valid(from)) {
        return value;
    }
    const double fromTicks = ticksPerUnit(from);
    const double toTicks = ticksPerUnit(to);
    if (fromTicks == 0.0 || toTicks == 0.0) {
        return 0.0;
    }
    return value * fromTicks / toTicks;
}

double TimeUnits::dgUnitsPerUnit(MTime::Unit unit) {
    return ticksPerUnit(unit) / (kTicksPerSecond / kDgUnitsPerSecond);
}

double TimeUnits::ticks(double value, MTime::Unit unit) {
    return std::nearbyint(value * ticksPerUnit(unit));
}

MTime::Unit TimeUnits::fromName(const std::string& name) {
    for (int index = 0; index < kCount; ++index) {
        if (name == kRates[index].name) {
            return static_cast<MTime::Unit>(kFirst + index);
        }
    }
    return MTime::kInvalid;
}

const char* TimeUnits::name(MTime::Unit unit) {
    const int index = static_cast<int>(unit) - kFirst;
    return index >= 0 && index < kCount ? kRates[index].name : "invalid";
}

}  // namespace mayahost
