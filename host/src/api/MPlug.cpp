#include <maya/MPlug.h>
#include <maya/MString.h>
#include <maya/MTime.h>

#include <string>
#include <vector>

#include "AttributeRecord.h"
#include "Evaluator.h"
#include "HostAccess.h"
#include "HostRules.h"
#include "HostState.h"
#include "NodeRecord.h"
#include "PlugRef.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using mayahost::AttributeRecord;
using mayahost::Evaluator;
using mayahost::PlugRef;

namespace {

void report(MStatus* out, MStatus status) {
    if (out != nullptr) {
        *out = status;
    }
}

template <typename T>
T readAs(const MPlug& plug, MStatus* ReturnStatus) {
    double value = 0.0;
    MStatus status = Evaluator::read(plug, value);
    report(ReturnStatus, status);
    return status ? static_cast<T>(value) : T();
}

template <typename T>
MStatus getAs(const MPlug& plug, T& out) {
    double value = 0.0;
    MStatus status = Evaluator::read(plug, value);
    if (status) {
        out = static_cast<T>(value);
    }
    return status;
}

}  // namespace

MPlug::MPlug() : fIndex(0), fHasIndex(false) {}

MPlug::MPlug(const MObject& node, const MObject& attribute)
    : fNode(node), fAttribute(attribute), fIndex(0), fHasIndex(false) {}

MPlug::MPlug(const MPlug& other) = default;
MPlug& MPlug::operator=(const MPlug& other) = default;
MPlug::~MPlug() = default;

MObject MPlug::attribute(MStatus* ReturnStatus) const {
    report(ReturnStatus, fAttribute.isNull() ? MStatus::kFailure : MStatus::kSuccess);
    return fAttribute;
}

MObject MPlug::node(MStatus* ReturnStatus) const {
    report(ReturnStatus, fNode.isNull() ? MStatus::kFailure : MStatus::kSuccess);
    return fNode;
}

MString MPlug::name(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MPlug::name");
    PlugRef ref;
    MStatus status = hostimpl::HostAccess::resolve(*this, ref);
    report(ReturnStatus, status);
    if (!status) {
        return MString();
    }
    const AttributeRecord* root = ref.attribute->root();
    std::string text = mayahost::hostState().scene.nameOf(ref.node) + "." + root->longName;
    if (ref.hasIndex && root->array) {
        text += "[" + std::to_string(ref.index) + "]";
    }
    if (ref.attribute->parent != nullptr) {
        text += "." + ref.attribute->longName;
    }
    return MString(text.c_str());
}

bool MPlug::isNull(MStatus* ReturnStatus) const {
    report(ReturnStatus, MStatus::kSuccess);
    return fNode.isNull() || fAttribute.isNull();
}

bool MPlug::isArray(MStatus* ReturnStatus) const {
    mayahost::HostRules::evaluationCall("MPlug::isArray");
    const AttributeRecord* attribute = hostimpl::HostAccess::attribute(fAttribute);
    report(ReturnStatus, attribute != nullptr ? MStatus::kSuccess : MStatus::kFailure);
    return attribute != nullptr && attribute->array && !fHasIndex;
}

bool MPlug::isElement(MStatus* ReturnStatus) const {
    mayahost::HostRules::evaluationCall("MPlug::isElement");
    const AttributeRecord* attribute = hostimpl::HostAccess::attribute(fAttribute);
    report(ReturnStatus, attribute != nullptr ? MStatus::kSuccess : MStatus::kFailure);
    return attribute != nullptr && attribute->array && fHasIndex;
}

unsigned int MPlug::logicalIndex(MStatus* ReturnStatus) const {
    mayahost::HostRules::evaluationCall("MPlug::logicalIndex");
    report(ReturnStatus, isElement() ? MStatus::kSuccess : MStatus::kFailure);
    return isElement() ? fIndex : 0U;
}

MPlug MPlug::parent(MStatus* ReturnStatus) const {
    mayahost::HostRules::evaluationCall("MPlug::parent");
    AttributeRecord* attribute = hostimpl::HostAccess::attribute(fAttribute);
    if (attribute == nullptr || attribute->parent == nullptr) {
        report(ReturnStatus, MStatus::kFailure);
        return MPlug();
    }
    MPlug up(fNode, hostimpl::HostAccess::makeObject(attribute->parent));
    up.fHasIndex = fHasIndex;
    up.fIndex = fIndex;
    report(ReturnStatus, MStatus::kSuccess);
    return up;
}

MPlug MPlug::elementByLogicalIndex(unsigned int logicalIndex, MStatus* ReturnStatus) const {
    mayahost::HostRules::evaluationCall("MPlug::elementByLogicalIndex");
    if (!isArray()) {
        report(ReturnStatus, MStatus::kFailure);
        return MPlug();
    }
    MPlug element(*this);
    element.fHasIndex = true;
    element.fIndex = logicalIndex;
    report(ReturnStatus, MStatus::kSuccess);
    return element;
}

double MPlug::asDouble(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MPlug::asDouble");
    return readAs<double>(*this, ReturnStatus);
}
float MPlug::asFloat(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MPlug::asFloat");
    return readAs<float>(*this, ReturnStatus);
}
MInt64 MPlug::asInt64(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MPlug::asInt64");
    return readAs<MInt64>(*this, ReturnStatus);
}
int MPlug::asInt(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MPlug::asInt");
    return readAs<int>(*this, ReturnStatus);
}
short MPlug::asShort(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MPlug::asShort");
    return readAs<short>(*this, ReturnStatus);
}
char MPlug::asChar(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MPlug::asChar");
    return readAs<char>(*this, ReturnStatus);
}
bool MPlug::asBool(MStatus* ReturnStatus) const {
    mayahost::HostRules::mainThreadCall("MPlug::asBool");
    double value = 0.0;
    MStatus status = Evaluator::read(*this, value);
    report(ReturnStatus, status);
    return status && value != 0.0;
}

MStatus MPlug::setDouble(double value) {
    mayahost::HostRules::outsideCompute("MPlug::setDouble");
    return Evaluator::write(*this, value);
}
MStatus MPlug::setFloat(float value) {
    mayahost::HostRules::outsideCompute("MPlug::setFloat");
    return Evaluator::write(*this, static_cast<double>(value));
}
MStatus MPlug::setInt64(MInt64 value) {
    mayahost::HostRules::outsideCompute("MPlug::setInt64");
    return Evaluator::write(*this, static_cast<double>(value));
}
MStatus MPlug::setInt(int value) {
    mayahost::HostRules::outsideCompute("MPlug::setInt");
    return Evaluator::write(*this, static_cast<double>(value));
}
MStatus MPlug::setShort(short value) {
    mayahost::HostRules::outsideCompute("MPlug::setShort");
    return Evaluator::write(*this, static_cast<double>(value));
}
MStatus MPlug::setBool(bool value) {
    mayahost::HostRules::outsideCompute("MPlug::setBool");
    return Evaluator::write(*this, value ? 1.0 : 0.0);
}
MStatus MPlug::setChar(char value) {
    mayahost::HostRules::outsideCompute("MPlug::setChar");
    return Evaluator::write(*this, static_cast<double>(value));
}

// Evaluated at the context's time on the calling thread; the normal context is a plain read.
MStatus MPlug::getValue(double& value, MDGContext& ctx) const {
    mayahost::HostRules::mainThreadCall("MPlug::getValue");
    if (ctx.isNormal()) {
        return Evaluator::read(*this, value);
    }
    PlugRef ref;
    MStatus status = hostimpl::HostAccess::resolve(*this, ref);
    if (!status) {
        return status;
    }
    MTime when;
    ctx.getTime(when);
    std::vector<double> values;
    status = Evaluator::readInContext(ref, when.as(MTime::k6000FPS), values);
    if (status && (values.size() != 1 || ref.attribute->isCompound())) {
        status = MStatus::kInvalidParameter;
    }
    if (status) {
        value = values[0];
    }
    return status;
}

MStatus MPlug::getValue(double& value) const {
    mayahost::HostRules::mainThreadCall("MPlug::getValue");
    return getAs(*this, value);
}
MStatus MPlug::getValue(float& value) const {
    mayahost::HostRules::mainThreadCall("MPlug::getValue");
    return getAs(*this, value);
}
MStatus MPlug::getValue(MInt64& value) const {
    mayahost::HostRules::mainThreadCall("MPlug::getValue");
    return getAs(*this, value);
}
MStatus MPlug::getValue(int& value) const {
    mayahost::HostRules::mainThreadCall("MPlug::getValue");
    return getAs(*this, value);
}
MStatus MPlug::getValue(short& value) const {
    mayahost::HostRules::mainThreadCall("MPlug::getValue");
    return getAs(*this, value);
}
MStatus MPlug::getValue(bool& value) const {
    mayahost::HostRules::mainThreadCall("MPlug::getValue");
    double read = 0.0;
    MStatus status = Evaluator::read(*this, read);
    if (status) {
        value = read != 0.0;
    }
    return status;
}
MStatus MPlug::getValue(char& value) const {
    mayahost::HostRules::mainThreadCall("MPlug::getValue");
    return getAs(*this, value);
}
MStatus MPlug::getValue(MString& /*value*/) const {
    mayahost::HostRules::mainThreadCall("MPlug::getValue");
    return MStatus::kInvalidParameter;  // the stand-in has numeric attributes only
}

MStatus MPlug::setValue(double value) {
    mayahost::HostRules::outsideCompute("MPlug::setValue");
    return setDouble(value);
}
MStatus MPlug::setValue(float value) {
    mayahost::HostRules::outsideCompute("MPlug::setValue");
    return setFloat(value);
}
MStatus MPlug::setValue(MInt64 value) {
    mayahost::HostRules::outsideCompute("MPlug::setValue");
    return setInt64(value);
}
MStatus MPlug::setValue(int value) {
    mayahost::HostRules::outsideCompute("MPlug::setValue");
    return setInt(value);
}
MStatus MPlug::setValue(short value) {
    mayahost::HostRules::outsideCompute("MPlug::setValue");
    return setShort(value);
}
MStatus MPlug::setValue(bool value) {
    mayahost::HostRules::outsideCompute("MPlug::setValue");
    return setBool(value);
}
MStatus MPlug::setValue(char value) {
    mayahost::HostRules::outsideCompute("MPlug::setValue");
    return setChar(value);
}
MStatus MPlug::setValue(const MString& /*value*/) {
    mayahost::HostRules::outsideCompute("MPlug::setValue");
    return MStatus::kInvalidParameter;
}
MStatus MPlug::setValue(const char* /*value*/) {
    mayahost::HostRules::outsideCompute("MPlug::setValue");
    return MStatus::kInvalidParameter;
}

bool MPlug::operator==(const MPlug& other) const {
    return fNode == other.fNode && fAttribute == other.fAttribute && fHasIndex == other.fHasIndex &&
           (!fHasIndex || fIndex == other.fIndex);
}

bool MPlug::operator==(const MObject& other) const {
    return fAttribute == other;
}

bool MPlug::operator!=(const MPlug& other) const {
    return !(*this == other);
}

bool MPlug::operator!=(const MObject& other) const {
    return !(*this == other);
}

MPlug::operator MObject() const {
    return fAttribute;
}

OPENMAYA_NAMESPACE_CLOSE
