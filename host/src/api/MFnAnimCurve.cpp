#include <maya/MAnimCurveChange.h>
#include <maya/MDGModifier.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MPlug.h>

#include <mutex>

#include "AnimCurveKeys.h"
#include "AttributeRecord.h"
#include "CurveChangeLog.h"
#include "Evaluator.h"
#include "HostAccess.h"
#include "HostRules.h"
#include "HostState.h"
#include "NodeRecord.h"
#include "NodeType.h"
#include "PlugRef.h"
#include "TimeUnits.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using mayahost::AnimCurveKeys;
using mayahost::NodeRecord;

namespace {

void report(MStatus* out, MStatus status) {
    if (out != nullptr) {
        *out = status;
    }
}

// The attached curve node if it still exists.
NodeRecord* liveCurve(const MFnBase& fn, MStatus* ReturnStatus) {
    auto* node = dynamic_cast<NodeRecord*>(hostimpl::HostAccess::attached(fn));
    bool alive = false;
    if (node != nullptr && node->curve != nullptr) {
        std::lock_guard<std::mutex> lock(node->mutex);
        alive = node->alive;
    }
    report(ReturnStatus, alive ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return alive ? node : nullptr;
}

MPlug outputPlug(NodeRecord* node) {
    mayahost::PlugRef ref;
    ref.node = node;
    ref.attribute = mayahost::hostState().types.builtins().curveOutput;
    return hostimpl::HostAccess::makePlug(ref);
}

}  // namespace

MFnAnimCurve::MFnAnimCurve() = default;

MFnAnimCurve::MFnAnimCurve(MObject& object, MStatus* ReturnStatus) {
    report(ReturnStatus, setObject(object));
}

MFnAnimCurve::MFnAnimCurve(const MObject& object, MStatus* ReturnStatus) {
    report(ReturnStatus, setObject(object));
}

MFnAnimCurve::MFnAnimCurve(const MPlug& plug, MStatus* ReturnStatus) {
    // The curve that animates the plug: the one whose output feeds it.
    mayahost::PlugRef ref;
    MStatus status = hostimpl::HostAccess::resolve(plug, ref);
    if (status) {
        status = MStatus::kNotFound;
        mayahost::HostState& host = mayahost::hostState();
        for (const auto& c : host.graph.incoming(ref.node, ref.attribute->root())) {
            if (c.source.node->curve != nullptr &&
                c.source.attribute == host.types.builtins().curveOutput) {
                status = setObject(hostimpl::HostAccess::makeObject(c.source.node));
                break;
            }
        }
    }
    report(ReturnStatus, status);
}

MFn::Type MFnAnimCurve::type() const {
    return MFn::kAnimCurve;
}

MFnAnimCurve::~MFnAnimCurve() = default;

MObject MFnAnimCurve::create(const MPlug& plug, AnimCurveType animCurveType, MDGModifier* modifier,
                             MStatus* ReturnStatus) {
    mayahost::HostRules::outsideCompute("MFnAnimCurve::create");
    mayahost::PlugRef target;
    if (!hostimpl::HostAccess::resolve(plug, target) || !target.attribute->writable) {
        report(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    MStatus status;
    MObject curve = create(animCurveType, modifier, &status);
    if (!status) {
        report(ReturnStatus, status);
        return MObject();
    }
    if (modifier != nullptr) {
        // Connected by the caller's doIt, as every change registered on a modifier is.
        status = modifier->connect(outputPlug(hostimpl::HostAccess::node(curve)), plug);
    } else {
        MDGModifier now;
        status = now.connect(outputPlug(hostimpl::HostAccess::node(curve)), plug);
        if (status) {
            status = now.doIt();
        }
        if (!status) {
            mayahost::hostState().scene.remove(hostimpl::HostAccess::node(curve));
            setObject(MObject::kNullObj);
            curve = MObject();
        }
    }
    report(ReturnStatus, status);
    return curve;
}

MObject MFnAnimCurve::create(AnimCurveType animCurveType, MDGModifier* modifier,
                             MStatus* ReturnStatus) {
    mayahost::HostRules::outsideCompute("MFnAnimCurve::create");
    const int index = static_cast<int>(animCurveType);
    if (index < 0 || index >= mayahost::TypeRegistry::kCurveTypeCount) {
        report(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    mayahost::HostState& host = mayahost::hostState();
    // An injected failure leaves the function set as it was, attached or not: nothing says
    // what Maya leaves there, so a caller must look at the status.
    if (host.faults.take(mayahost::HostCall::CreateAnimCurve)) {
        report(ReturnStatus, MStatus::kFailure);
        return MObject();
    }
    const mayahost::NodeType* nodeType = host.types.builtins().curveTypes[index];
    MStatus status;
    MObject made;
    if (modifier != nullptr) {
        // The modifier makes the node at once and takes it back on undoIt.
        made = modifier->createNode(nodeType->name.c_str(), &status);
    } else {
        made = hostimpl::HostAccess::makeObject(host.scene.create(*nodeType, "", status));
    }
    report(ReturnStatus, status);
    if (!status) {
        return MObject();
    }
    setObject(made);
    return made;
}

MFnAnimCurve::AnimCurveType MFnAnimCurve::animCurveType(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnAnimCurve::animCurveType");
    const NodeRecord* node = liveCurve(*this, ReturnStatus);
    return node != nullptr ? static_cast<AnimCurveType>(node->curve->curveType())
                           : kAnimCurveUnknown;
}

double MFnAnimCurve::evaluate(const MTime& atTime, MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnAnimCurve::evaluate");
    const NodeRecord* node = liveCurve(*this, ReturnStatus);
    if (node == nullptr) {
        return 0.0;
    }
    if (!mayahost::TimeUnits::valid(atTime.unit())) {
        report(ReturnStatus, MStatus::kInvalidParameter);
        return 0.0;
    }
    return node->curve->evaluate(atTime);
}

unsigned int MFnAnimCurve::numKeys(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnAnimCurve::numKeys");
    const NodeRecord* node = liveCurve(*this, ReturnStatus);
    return node != nullptr ? node->curve->size() : 0;
}

MStatus MFnAnimCurve::addKeyframe(const MTime& time, double value, MAnimCurveChange* change) {
    mayahost::HostRules::outsideCompute("MFnAnimCurve::addKeyframe");
    MStatus status;
    addKey(time, value, kTangentGlobal, kTangentGlobal, change, &status);
    return status;
}

unsigned int MFnAnimCurve::addKey(const MTime& time, double value, TangentType /*tangentInType*/,
                                  TangentType /*tangentOutType*/, MAnimCurveChange* change,
                                  MStatus* ReturnStatus) {
    mayahost::HostRules::outsideCompute("MFnAnimCurve::addKey");
    NodeRecord* node = liveCurve(*this, ReturnStatus);
    if (node == nullptr) {
        return 0;
    }
    AnimCurveKeys::Change done;
    if (!node->curve->add(time, value, done)) {
        report(ReturnStatus, MStatus::kInvalidParameter);
        return 0;
    }
    mayahost::Evaluator::touch(*node, mayahost::hostState().types.builtins().curveOutput);
    if (change != nullptr) {
        static_cast<mayahost::CurveChangeLog*>(hostimpl::HostAccess::changes(*change))
            ->record(node, time, value, done);
    }
    return done.index;
}

bool MFnAnimCurve::find(const MTime& time, unsigned int& index, MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnAnimCurve::find");
    const NodeRecord* node = liveCurve(*this, ReturnStatus);
    return node != nullptr && node->curve->find(time, index);
}

MTime MFnAnimCurve::time(unsigned int index, MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnAnimCurve::time");
    const NodeRecord* node = liveCurve(*this, ReturnStatus);
    MTime when;
    double keyValue = 0.0;
    if (node != nullptr && !node->curve->keyAt(index, when, keyValue)) {
        report(ReturnStatus, MStatus::kInvalidParameter);
    }
    return when;
}

double MFnAnimCurve::value(unsigned int index, MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MFnAnimCurve::value");
    const NodeRecord* node = liveCurve(*this, ReturnStatus);
    MTime when;
    double keyValue = 0.0;
    if (node != nullptr && !node->curve->keyAt(index, when, keyValue)) {
        report(ReturnStatus, MStatus::kInvalidParameter);
    }
    return keyValue;
}

OPENMAYA_NAMESPACE_CLOSE
