#include "SceneUnits.h"

#include <cstddef>

namespace mayahost {

namespace {

struct UnitName {
    const char* shortName;
    const char* fullName;
    double factor;  // centimetres, or radians, per unit
};

constexpr UnitName kLinear[] = {{"mm", "millimeter", 0.1}, {"cm", "centimeter", 1.0},
                                {"m", "meter", 100.0},     {"km", "kilometer", 100000.0},
                                {"in", "inch", 2.54},      {"ft", "foot", 30.48},
                                {"yd", "yard", 91.44},     {"mi", "mile", 160934.4}};

constexpr UnitName kAngle[] = {{"deg", "degree", 3.14159265358979323846 / 180.0},
                               {"rad", "radian", 1.0}};

template <std::size_t N>
int find(const UnitName (&table)[N], const std::string& name) {
    for (std::size_t i = 0; i < N; ++i) {
        if (name == table[i].shortName || name == table[i].fullName) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

bool SceneUnits::setLinear(const std::string& name) {
    const int found = find(kLinear, name);
    if (found < 0) {
        return false;
    }
    linear_ = found;
    return true;
}

bool SceneUnits::setAngle(const std::string& name) {
    const int found = find(kAngle, name);
    if (found < 0) {
        return false;
    }
    angle_ = found;
    return true;
}

std::string SceneUnits::linear(bool fullName) const {
    return fullName ? kLinear[linear_].fullName : kLinear[linear_].shortName;
}

std::string SceneUnits::angle(bool fullName) const {
    return fullName ? kAngle[angle_].fullName : kAngle[angle_].shortName;
}

double SceneUnits::centimetresPerUnit() const {
    return kLinear[linear_].factor;
}

double SceneUnits::radiansPerUnit() const {
    return kAngle[angle_].factor;
}

void SceneUnits::reset() {
    linear_ = 1;
    angle_ = 0;
}

}  // namespace mayahost
