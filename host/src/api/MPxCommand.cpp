#include <maya/MDoubleArray.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MPxCommand.h>
#include <maya/MStringArray.h>

#include <utility>
#include <vector>

#include "HostRules.h"
#include "ResultValue.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using mayahost::ResultValue;

namespace {

void setNumbers(ResultValue::Kind kind, bool isArray, std::vector<double> numbers) {
    ResultValue& result = mayahost::currentResult();
    result.clear();
    result.kind = kind;
    result.isArray = isArray;
    result.numbers = std::move(numbers);
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
    mayahost::currentResult().clear();
}

void MPxCommand::setResult(unsigned int val) {
    mayahost::HostRules::mainThreadCall("MPxCommand::setResult");
    setNumbers(ResultValue::Kind::Int, false, {static_cast<double>(val)});
}
void MPxCommand::setResult(int val) {
    mayahost::HostRules::mainThreadCall("MPxCommand::setResult");
    setNumbers(ResultValue::Kind::Int, false, {static_cast<double>(val)});
}
void MPxCommand::setResult(double val) {
    mayahost::HostRules::mainThreadCall("MPxCommand::setResult");
    setNumbers(ResultValue::Kind::Double, false, {val});
}
void MPxCommand::setResult(bool val) {
    mayahost::HostRules::mainThreadCall("MPxCommand::setResult");
    setNumbers(ResultValue::Kind::Int, false, {val ? 1.0 : 0.0});
}
void MPxCommand::setResult(const char* val) {
    mayahost::HostRules::mainThreadCall("MPxCommand::setResult");
    setResult(MString(val));
}
void MPxCommand::setResult(const MString& val) {
    mayahost::HostRules::mainThreadCall("MPxCommand::setResult");
    ResultValue& result = mayahost::currentResult();
    result.clear();
    result.kind = ResultValue::Kind::String;
    result.strings.emplace_back(val.asChar());
}
void MPxCommand::setResult(const MIntArray& val) {
    mayahost::HostRules::mainThreadCall("MPxCommand::setResult");
    std::vector<double> numbers;
    for (unsigned int i = 0; i < val.length(); ++i) {
        numbers.push_back(static_cast<double>(val[i]));
    }
    setNumbers(ResultValue::Kind::Int, true, numbers);
}
void MPxCommand::setResult(const MDoubleArray& val) {
    mayahost::HostRules::mainThreadCall("MPxCommand::setResult");
    std::vector<double> numbers;
    for (unsigned int i = 0; i < val.length(); ++i) {
        numbers.push_back(val[i]);
    }
    setNumbers(ResultValue::Kind::Double, true, numbers);
}
void MPxCommand::setResult(const MStringArray& val) {
    mayahost::HostRules::mainThreadCall("MPxCommand::setResult");
    ResultValue& result = mayahost::currentResult();
    result.clear();
    result.kind = ResultValue::Kind::String;
    result.isArray = true;
    for (unsigned int i = 0; i < val.length(); ++i) {
        result.strings.emplace_back(val[i].asChar());
    }
}

int MPxCommand::currentIntResult(MStatus* ReturnStatus) {
    mayahost::HostRules::mainThreadCall("MPxCommand::currentIntResult");
    const ResultValue& result = mayahost::currentResult();
    const bool numeric = result.kind == ResultValue::Kind::Int && !result.numbers.empty();
    if (ReturnStatus != nullptr) {
        *ReturnStatus = numeric ? MStatus::kSuccess : MStatus::kInvalidParameter;
    }
    return numeric ? static_cast<int>(result.numbers.front()) : 0;
}

MString MPxCommand::currentStringResult(MStatus* ReturnStatus) {
    mayahost::HostRules::mainThreadCall("MPxCommand::currentStringResult");
    const ResultValue& result = mayahost::currentResult();
    const bool text = result.kind == ResultValue::Kind::String && !result.strings.empty();
    if (ReturnStatus != nullptr) {
        *ReturnStatus = text ? MStatus::kSuccess : MStatus::kInvalidParameter;
    }
    return text ? MString(result.strings.front().c_str()) : MString();
}

OPENMAYA_NAMESPACE_CLOSE
