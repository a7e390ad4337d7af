#include <maya/MCommandResult.h>
#include <maya/MString.h>

#include "ResultValue.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using mayahost::ResultValue;

namespace {

ResultValue& resultOf(void* data) {
    return *static_cast<ResultValue*>(data);
}

}  // namespace

MCommandResult::MCommandResult(MStatus* ReturnStatus) : fData(new ResultValue) {
    if (ReturnStatus != nullptr) {
        *ReturnStatus = MStatus::kSuccess;
    }
}

MCommandResult::~MCommandResult() {
    delete static_cast<ResultValue*>(fData);
}

MStatus MCommandResult::getResult(int& result) const {
    const ResultValue& value = resultOf(fData);
    if (value.kind != ResultValue::Kind::Int || value.isArray || value.numbers.empty()) {
        return MStatus::kInvalidParameter;
    }
    result = static_cast<int>(value.numbers.front());
    return MStatus::kSuccess;
}

MStatus MCommandResult::getResult(double& result) const {
    const ResultValue& value = resultOf(fData);
    if ((value.kind != ResultValue::Kind::Double && value.kind != ResultValue::Kind::Int) ||
        value.isArray || value.numbers.empty()) {
        return MStatus::kInvalidParameter;
    }
    result = value.numbers.front();
    return MStatus::kSuccess;
}

MStatus MCommandResult::getResult(MString& result) const {
    const ResultValue& value = resultOf(fData);
    if (value.kind != ResultValue::Kind::String || value.isArray || value.strings.empty()) {
        return MStatus::kInvalidParameter;
    }
    result = value.strings.front().c_str();
    return MStatus::kSuccess;
}

MString MCommandResult::stringResult(MStatus* ReturnResult) const {
    const ResultValue& value = resultOf(fData);
    if (ReturnResult != nullptr) {
        *ReturnResult =
            value.kind == ResultValue::Kind::None ? MStatus::kInvalidParameter : MStatus::kSuccess;
    }
    return MString(value.text().c_str());
}

OPENMAYA_NAMESPACE_CLOSE
