#pragma once

#include <maya/MStatus.h>

#include "AttributeRecord.h"
#include "PlugRef.h"

namespace mayahost {

// R6: connections between plugs of different units go through a conversion node whose
// factor is fixed when the connection is made, from the UI units of that moment. Changing
// a UI unit later leaves every existing conversion as it is, as in Maya. Main thread only.
class UnitConversion {
public:
    using Unit = AttributeRecord::Unit;

    static Unit unitOf(const PlugRef& plug);
    // Internal units in one UI unit of `unit` now: cm per UI length, radians per UI angle,
    // DG time units per UI frame; 1 for unitless values.
    static double internalPerUi(Unit unit);
    // What a value of unit `from` is multiplied by on its way to a plug of unit `to`: it is
    // read in the UI units of now and written as such.
    static double factor(Unit from, Unit to);

    // Connects `from` to `to`, with a conversion node between them when their units differ
    // and the factor is not 1. Fails, making nothing, when `to` is driven already.
    static MStatus connect(const PlugRef& from, const PlugRef& to);
    // Breaks the connection into `to`, and deletes the conversion node it went through.
    // False when nothing drives `to`.
    static bool disconnectInput(const PlugRef& to);

    UnitConversion() = delete;
};

}  // namespace mayahost
