#include <maya/MDataHandle.h>

#include "AttributeRecord.h"
#include "BlockState.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using Value = mayahost::BlockState::Value;

namespace {

// Maya hands out garbage through a handle that refers to nothing; the stand-in a scratch value.
Value& valueOf(void* handle) {
    static thread_local Value scratch;
    if (handle == nullptr) {
        scratch = Value();
        return scratch;
    }
    return *static_cast<Value*>(handle);
}

}  // namespace

MDataHandle::MDataHandle() : fValue(nullptr) {}
MDataHandle::MDataHandle(const MDataHandle& other) = default;
MDataHandle& MDataHandle::operator=(const MDataHandle& other) = default;

void MDataHandle::setClean() {
    Value& value = valueOf(fValue);
    if (value.block != nullptr && value.attribute != nullptr) {
        const int child =
            value.attribute->parent != nullptr ? static_cast<int>(value.attribute->childIndex) : -1;
        value.block->markClean(value.attribute->root(), {value.element, child});
    }
}

bool& MDataHandle::asBool() const {
    return valueOf(fValue).b;
}
int& MDataHandle::asInt() const {
    return valueOf(fValue).i;
}
float& MDataHandle::asFloat() const {
    return valueOf(fValue).f;
}
double& MDataHandle::asDouble() const {
    return valueOf(fValue).d;
}
float3& MDataHandle::asFloat3() const {
    return valueOf(fValue).f3;
}
double3& MDataHandle::asDouble3() const {
    return valueOf(fValue).d3;
}

void MDataHandle::setBool(bool value) {
    valueOf(fValue).setNumber(value ? 1.0 : 0.0);
}
void MDataHandle::setInt(int value) {
    valueOf(fValue).setNumber(static_cast<double>(value));
}
void MDataHandle::setDouble(double value) {
    valueOf(fValue).setNumber(value);
}
void MDataHandle::set3Float(float x, float y, float z) {
    Value& value = valueOf(fValue);
    value.f3[0] = x;
    value.f3[1] = y;
    value.f3[2] = z;
}
void MDataHandle::set3Double(double x, double y, double z) {
    Value& value = valueOf(fValue);
    value.d3[0] = x;
    value.d3[1] = y;
    value.d3[2] = z;
}

OPENMAYA_NAMESPACE_CLOSE
