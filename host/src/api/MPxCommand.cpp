#include <maya/MDoubleArray.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MPxCommand.h>
#include <maya/MStringArray.h>

#include <utility>
#include <vector>

#include "HostMel.h"
#include "HostRules.h"
#include "HostState.h"
#include "MelValue.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using mayahost::MelType;
using mayahost::MelValue;

namespace {

void setValue(MelValue value) {
    mayahost::hostState().mel->results().set(std::move(value));
}

const MelValue& currentValue() {
    return mayahost::hostState().mel->results().current();
}

}  // namespace

MPxCommand::MPxCommand() = default;
MPxCommand::~MPxCommand() = default;

MStatus MPxCommand::doIt(const MArgList& /*args*/) {
    return MStatus::kSuccess;
}
MStatus MPxCommand::undoIt() {
    return MStatus::kSuccess;
}
MStatus MPxCommand::redoIt() {
    return MStatus::kSuccess;
}
bool MPxCommand::isUndoable() const {
    return false;
}
bool MPxCommand::hasSyntax() const {
    return false;
}

void MPxCommand::displayInfo(const MString& theInfo) {
    mayahost::HostRules::mainThreadCall("MPxCommand::displayInfo");
    MGlobal::displayInfo(theInfo);
}

void MPxCommand::displayWarning(const MString& theWarning, bool /*showLineNumber*/) {
    mayahost::HostRules::mainThreadCall("MPxCommand::displayWarning");
    MGlobal::displayWarning(theWarning);
}

void MPxCommand::displayError(const MString& theError, bool /*showLineNumber*/) {
    mayahost::HostRules::mainThreadCall("MPxCommand::displayError");
    MGlobal::displayError(theError);
}

void MPxCommand::clearResult() {
    mayahost::HostRules::mainThreadCall("MPxCommand::clearResult");
    setValue(MelValue());
}

void MPxCommand::setResult(unsigned int val) {
    mayahost::HostRules::mainThreadCall("MPxCommand::setResult");
    setValue(MelValue::ofInt(static_cast<int>(val)));
}
void MPxCommand::setResult(int val) {
    mayahost::HostRules::mainThreadCall("MPxCommand::setResult");
    setValue(MelValue::ofInt(val));
}
void MPxCommand::setResult(double val) {
    mayahost::HostRules::mainThreadCall("MPxCommand::setResult");
    setValue(MelValue::ofFloat(val));
}
void MPxCommand::setResult(bool val) {
    mayahost::HostRules::mainThreadCall("MPxCommand::setResult");
    setValue(MelValue::ofInt(val ? 1 : 0));
}
void MPxCommand::setResult(const char* val) {
    mayahost::HostRules::mainThreadCall("MPxCommand::setResult");
    setResult(MString(val));
}
void MPxCommand::setResult(const MString& val) {
    mayahost::HostRules::mainThreadCall("MPxCommand::setResult");
    setValue(MelValue::ofString(val.asChar()));
}
void MPxCommand::setResult(const MIntArray& val) {
    mayahost::HostRules::mainThreadCall("MPxCommand::setResult");
    std::vector<int> values;
    for (unsigned int i = 0; i < val.length(); ++i) {
        values.push_back(val[i]);
    }
    setValue(MelValue::ofInts(std::move(values)));
}
void MPxCommand::setResult(const MDoubleArray& val) {
    mayahost::HostRules::mainThreadCall("MPxCommand::setResult");
    std::vector<double> values;
    for (unsigned int i = 0; i < val.length(); ++i) {
        values.push_back(val[i]);
    }
    setValue(MelValue::ofFloats(std::move(values)));
}
void MPxCommand::setResult(const MStringArray& val) {
    mayahost::HostRules::mainThreadCall("MPxCommand::setResult");
    std::vector<std::string> values;
    for (unsigned int i = 0; i < val.length(); ++i) {
        values.emplace_back(val[i].asChar());
    }
    setValue(MelValue::ofStrings(std::move(values)));
}

int MPxCommand::currentIntResult(MStatus* ReturnStatus) {
    mayahost::HostRules::mainThreadCall("MPxCommand::currentIntResult");
    const MelValue& value = currentValue();
    const bool isInt = value.type() == MelType::Int;
    if (ReturnStatus != nullptr) {
        *ReturnStatus = isInt ? MStatus::kSuccess : MStatus::kInvalidParameter;
    }
    return isInt ? value.asInt() : 0;
}

MString MPxCommand::currentStringResult(MStatus* ReturnStatus) {
    mayahost::HostRules::mainThreadCall("MPxCommand::currentStringResult");
    const MelValue& value = currentValue();
    const bool isText = value.type() == MelType::String;
    if (ReturnStatus != nullptr) {
        *ReturnStatus = isText ? MStatus::kSuccess : MStatus::kInvalidParameter;
    }
    return isText ? MString(value.asString().c_str()) : MString();
}

OPENMAYA_NAMESPACE_CLOSE
