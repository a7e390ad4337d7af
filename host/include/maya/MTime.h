#pragma once

#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <stdint.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MTime {
public:
    enum Unit {
        kInvalid = 0,
        kHours = 1,
        kMinutes = 2,
        kSeconds = 3,
        kMilliseconds = 4,
        kGames = 5,
        k15FPS = 5,
        kFilm = 6,
        k24FPS = 6,
        kPALFrame = 7,
        k25FPS = 7,
        kNTSCFrame = 8,
        k30FPS = 8,
        kShowScan = 9,
        k48FPS = 9,
        kPALField = 10,
        k50FPS = 10,
        kNTSCField = 11,
        k60FPS = 11,
        k2FPS = 12,
        k3FPS = 13,
        k4FPS = 14,
        k5FPS = 15,
        k6FPS = 16,
        k8FPS = 17,
        k10FPS = 18,
        k12FPS = 19,
        k16FPS = 20,
        k20FPS = 21,
        k40FPS = 22,
        k75FPS = 23,
        k80FPS = 24,
        k100FPS = 25,
        k120FPS = 26,
        k125FPS = 27,
        k150FPS = 28,
        k200FPS = 29,
        k240FPS = 30,
        k250FPS = 31,
        k300FPS = 32,
        k375FPS = 33,
        k400FPS = 34,
        k500FPS = 35,
        k600FPS = 36,
        k750FPS = 37,
        k1200FPS = 38,
        k1500FPS = 39,
        k2000FPS = 40,
        k3000FPS = 41,
        k6000FPS = 42,
        k23_976FPS = 43,
        k29_97FPS = 44,
        k29_97DF = 45,
        k47_952FPS = 46,
        k59_94FPS = 47,
        k44100FPS = 48,
        k48000FPS = 49,
        k90FPS = 50,
        kUserDef = 51,
        kLast = 52
    };
    typedef int64_t MTick;

    MTime();
    MTime(double time_val, Unit unit = kFilm);
    Unit unit() const;
    double value() const;
    MStatus setValue(double new_value);
    double as(Unit other_unit) const;
    static Unit uiUnit();
    static MStatus setUIUnit(Unit new_unit);
    bool operator==(const MTime& rhs) const;
    bool operator!=(const MTime& rhs) const;
    bool operator<(const MTime& rhs) const;
    bool operator>(const MTime& rhs) const;
    friend OPENMAYA_EXPORT std::ostream& operator<<(std::ostream& os, const MTime& t);

private:
    double fValue;
    Unit fUnit;
};

OPENMAYA_NAMESPACE_CLOSE
