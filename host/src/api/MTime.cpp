#include <maya/MTime.h>

#include <ostream>

#include "HostRules.h"
#include "HostState.h"
#include "TimeUnits.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using mayahost::TimeUnits;

MTime::MTime() : fValue(0.0), fUnit(uiUnit()) {}

MTime::MTime(double time_val, Unit unit) : fValue(time_val), fUnit(unit) {}

MTime::Unit MTime::unit() const {
    return fUnit;
}

double MTime::value() const {
    return fValue;
}

MStatus MTime::setValue(double new_value) {
    fValue = new_value;
    return MStatus::kSuccess;
}

double MTime::as(Unit other_unit) const {
    return TimeUnits::convert(fValue, fUnit, other_unit);
}

MTime::Unit MTime::uiUnit() {
    mayahost::HostRules::mainThreadCall("MTime::uiUnit");
    return mayahost::hostState().timeline.uiUnit();
}

MStatus MTime::setUIUnit(Unit new_unit) {
    mayahost::HostRules::outsideCompute("MTime::setUIUnit");
    mayahost::HostState& host = mayahost::hostState();
    const Unit before = host.timeline.uiUnit();
    if (!host.timeline.setUIUnit(new_unit)) {
        return MStatus::kInvalidParameter;
    }
    if (new_unit != before) {
        host.events.fire("timeUnitChanged");
    }
    return MStatus::kSuccess;
}

// Maya keeps times as whole ticks, so times within half a tick of each other are equal.
bool MTime::operator==(const MTime& rhs) const {
    return TimeUnits::ticks(fValue, fUnit) == TimeUnits::ticks(rhs.fValue, rhs.fUnit);
}

bool MTime::operator!=(const MTime& rhs) const {
    return !(*this == rhs);
}

bool MTime::operator<(const MTime& rhs) const {
    return TimeUnits::ticks(fValue, fUnit) < TimeUnits::ticks(rhs.fValue, rhs.fUnit);
}

bool MTime::operator>(const MTime& rhs) const {
    return rhs < *this;
}

std::ostream& operator<<(std::ostream& os, const MTime& t) {
    return os << t.fValue << ' ' << TimeUnits::name(t.fUnit);
}

OPENMAYA_NAMESPACE_CLOSE
