#pragma once

#include <maya/MTime.h>

#include <string>

namespace mayahost {

// Fixed rates of the time units. Every unit is a whole number of ticks (141,120,000 a
// second, as in Maya), so two times compare equal when they round to the same tick.
class TimeUnits {
public:
    static constexpr double kTicksPerSecond = 141120000.0;
    // Maya's DG time unit, 1/6000 s, in which time outputs go through a conversion.
    static constexpr double kDgUnitsPerSecond = 6000.0;

    // Ticks in one unit; 0 for kInvalid, kUserDef and anything out of range.
    static double ticksPerUnit(MTime::Unit unit);
    static bool valid(MTime::Unit unit) { return ticksPerUnit(unit) > 0.0; }
    // `value` in `from` expressed in `to`; 0 when either unit is not valid.
    static double convert(double value, MTime::Unit from, MTime::Unit to);
    // DG time units in one `unit`: exact for every whole-number rate that divides 6000, so a
    // whole frame stays a whole frame on its way through time1 and a conversion.
    static double dgUnitsPerUnit(MTime::Unit unit);
    // Nearest whole tick of `value` in `unit`, kept as a double so huge times cannot overflow.
    static double ticks(double value, MTime::Unit unit);
    static const char* name(MTime::Unit unit);
    // The unit a `currentUnit -time` name stands for ("film", "ntsc", "60fps", ...), kInvalid
    // for any other text.
    static MTime::Unit fromName(const std::string& name);
};

}  // namespace mayahost
