#include <maya/MCommandResult.h>
#include <maya/MString.h>

#include "MelValue.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using mayahost::MelType;
using mayahost::MelValue;

namespace {

const MelValue& valueOf(void* data) {
    return *static_cast<MelValue*>(data);
}

}  // namespace

MCommandResult::MCommandResult(MStatus* ReturnStatus) : fData(new MelValue) {
    if (ReturnStatus != nullptr) {
        *ReturnStatus = MStatus::kSuccess;
    }
}

MCommandResult::~MCommandResult() {
    delete static_cast<MelValue*>(fData);
}

MStatus MCommandResult::getResult(int& result) const {
    const MelValue& value = valueOf(fData);
    if (value.type() != MelType::Int) {
        return MStatus::kInvalidParameter;
    }
    result = value.asInt();
    return MStatus::kSuccess;
}

MStatus MCommandResult::getResult(double& result) const {
    const MelValue& value = valueOf(fData);
    if (!value.isNumber()) {
        return MStatus::kInvalidParameter;
    }
    result = value.asFloat();
    return MStatus::kSuccess;
}

MStatus MCommandResult::getResult(MString& result) const {
    const MelValue& value = valueOf(fData);
    if (value.type() != MelType::String) {
        return MStatus::kInvalidParameter;
    }
    result = value.asString().c_str();
    return MStatus::kSuccess;
}

// Any result as text: a scalar as MEL prints it, an array as its elements joined by blanks.
MString MCommandResult::stringResult(MStatus* ReturnResult) const {
    const MelValue& value = valueOf(fData);
    if (ReturnResult != nullptr) {
        *ReturnResult = value.isNone() ? MStatus::kInvalidParameter : MStatus::kSuccess;
    }
    if (!value.isArray()) {
        return MString(value.asString().c_str());
    }
    std::string joined;
    for (std::size_t i = 0; i < value.size(); ++i) {
        joined += (i == 0 ? "" : " ") + value.element(i).asString();
    }
    return MString(joined.c_str());
}

OPENMAYA_NAMESPACE_CLOSE
