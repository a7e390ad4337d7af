#include "UnitConversion.h"

#include "Evaluator.h"
#include "Graph.h"
#include "HostState.h"
#include "NodeRecord.h"
#include "NodeType.h"
#include "Scene.h"
#include "TimeUnits.h"
#include "Timeline.h"
#include "TypeRegistry.h"

namespace mayahost {

namespace {

PlugRef plugOf(NodeRecord* node, const AttributeRecord* attribute) {
    PlugRef ref;
    ref.node = node;
    ref.attribute = attribute;
    return ref;
}

}  // namespace

UnitConversion::Unit UnitConversion::unitOf(const PlugRef& plug) {
    const TypeRegistry::Builtins& builtins = hostState().types.builtins();
    if (plug.attribute->root() == builtins.curveOutput) {
        switch (plug.node->type.curveType) {
            case 0:  // kAnimCurveTA
                return Unit::Angle;
            case 1:  // kAnimCurveTL
                return Unit::Distance;
            case 2:  // kAnimCurveTT
                return Unit::Time;
            default:
                return Unit::None;
        }
    }
    return plug.attribute->unit;
}

double UnitConversion::internalPerUi(Unit unit) {
    const HostState& host = hostState();
    switch (unit) {
        case Unit::Distance:
            return host.units.centimetresPerUnit();
        case Unit::Angle:
            return host.units.radiansPerUnit();
        case Unit::Time:
            return TimeUnits::dgUnitsPerUnit(host.timeline.uiUnit());
        case Unit::None:
            break;
    }
    return 1.0;
}

double UnitConversion::factor(Unit from, Unit to) {
    return internalPerUi(to) / internalPerUi(from);
}

MStatus UnitConversion::connect(const PlugRef& from, const PlugRef& to) {
    HostState& host = hostState();
    Graph::Connection driven;
    if (host.graph.input(to, driven)) {
        return MStatus::kInvalidParameter;
    }
    const Unit fromUnit = unitOf(from);
    const Unit toUnit = unitOf(to);
    const double conversion = factor(fromUnit, toUnit);
    // A conversion node's plugs take any unit: a scene file connects its own conversions.
    const bool conversionEnd = from.node->type.conversion || to.node->type.conversion;
    if (fromUnit == toUnit || conversion == 1.0 || conversionEnd) {
        const MStatus status = host.graph.connect(from, to);
        if (status) {
            Evaluator::markDirty(*to.node, to.attribute->root());
        }
        return status;
    }

    const TypeRegistry::Builtins& builtins = host.types.builtins();
    const NodeType* type = builtins.unitConversionType;
    if (fromUnit == Unit::Time) {
        type = builtins.timeToUnitConversionType;
    } else if (toUnit == Unit::Time) {
        type = builtins.unitToTimeConversionType;
    }
    MStatus status;
    NodeRecord* node = host.scene.create(*type, "", status);
    if (node == nullptr) {
        return status;
    }
    Evaluator::store(plugOf(node, builtins.conversionFactor), {conversion});
    status = host.graph.connect(from, plugOf(node, builtins.conversionInput));
    if (status) {
        status = host.graph.connect(plugOf(node, builtins.conversionOutput), to);
    }
    if (!status) {
        host.graph.removeNode(node);
        host.scene.remove(node);
        return status;
    }
    Evaluator::markDirty(*node, builtins.conversionInput);
    Evaluator::markDirty(*to.node, to.attribute->root());
    return MStatus::kSuccess;
}

bool UnitConversion::disconnectInput(const PlugRef& to) {
    HostState& host = hostState();
    Graph::Connection driven;
    if (!host.graph.input(to, driven) ||
        !host.graph.disconnect(driven.source, driven.destination)) {
        return false;
    }
    NodeRecord* source = driven.source.node;
    // The value pulled last stays, as a disconnected plug keeps its value in Maya.
    if (source->type.conversion &&
        host.graph.outgoing(source, driven.source.attribute->root()).empty()) {
        host.scene.remove(source);
    }
    return true;
}

}  // namespace mayahost
