// The shape of the API where plug-in code could silently come to depend on a stand-in
// difference: copyability, implicit conversions, exported symbols, value classes.
// This is the one file of the executable that includes MFnPlugin.h without MNoVersionString,
// as a plug-in's initializePlugin file does.
#include <gtest/gtest.h>
#include <maya/MArrayDataBuilder.h>
#include <maya/MCallbackIdArray.h>
#include <maya/MDGModifier.h>
#include <maya/MDoubleArray.h>
#include <maya/MEulerRotation.h>
#include <maya/MFnAnimCurve.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MIntArray.h>
#include <maya/MMessage.h>
#include <maya/MObjectArray.h>
#include <maya/MPxThreadedDeviceNode.h>
#include <maya/MStringArray.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MTypeId.h>

#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

namespace {

static_assert(!std::is_copy_constructible_v<MFnDependencyNode>);
static_assert(!std::is_copy_assignable_v<MFnNumericAttribute>);
static_assert(!std::is_copy_constructible_v<MFnPlugin>);
static_assert(!std::is_copy_constructible_v<MDGModifier>);
static_assert(!std::is_copy_constructible_v<MCharBuffer>);
static_assert(!std::is_default_constructible_v<MDataBlock>);
static_assert(!std::is_default_constructible_v<MArrayDataHandle>);
static_assert(!std::is_default_constructible_v<MArrayDataBuilder>);
static_assert(!std::is_constructible_v<MFnPlugin, const MObject&>);
static_assert(std::is_convertible_v<unsigned int, MTypeId>);
static_assert(std::is_convertible_v<MPlug, MObject>);
static_assert(std::is_convertible_v<MStatus::MStatusCode, MStatus>);
static_assert(std::is_convertible_v<MStatus, bool>);
static_assert(std::is_same_v<MCallbackId, uintptr_t>);
static_assert(std::is_same_v<decltype(MObject::kNullObj), MObject>);
static_assert(!std::is_constructible_v<MString, std::string>);
static_assert(MTransformationMatrix::kXYZ == 1);
static_assert(MEulerRotation::kXYZ == 0);
static_assert(!std::is_copy_constructible_v<MFnAnimCurve>);
static_assert(!std::is_copy_assignable_v<MFnAnimCurve>);
static_assert(std::is_convertible_v<double, MTime>);  // and means film frames
static_assert(std::is_same_v<MTime::MTick, int64_t>);
static_assert(MTime::kFilm == 6 && MTime::k29_97FPS == 44 && MTime::kUserDef == 51);
static_assert(MFnAnimCurve::kAnimCurveTL == 1 && MFnAnimCurve::kTangentCustomEnd == SHRT_MAX);
static_assert(MPxNode::kThreadedDeviceNode == 21);
static_assert(MFnNumericData::k3Float == 13 && MFnNumericData::kInt == MFnNumericData::kLong);

MStatus failing() {
    return MS::kFailure;  // implicit from the code, as plug-ins write it
}

TEST(ApiShapeTest, StatusConvertsImplicitlyBothWays) {
    const MStatus status = failing();
    const bool ok = status;
    EXPECT_FALSE(ok);
    EXPECT_TRUE(MS::kFailure == status);
    EXPECT_TRUE(status != MS::kSuccess);
    EXPECT_TRUE(MFAIL(status));
    EXPECT_TRUE(MStatus());
    EXPECT_EQ(status.statusCode(), MStatus::kFailure);
}

TEST(ApiShapeTest, PluginSymbolsAreDefinedWhereMFnPluginIsIncluded) {
    EXPECT_STREQ(MApiVersion, "20220000");
    EXPECT_GT(std::strlen(ADSK_PLUGIN_SIGNATURE), 0U);
}

TEST(ApiShapeTest, TypeIdKeepsItsNumber) {
    const MTypeId id = 0x81051U;
    EXPECT_EQ(id.id(), 528465U);
    EXPECT_TRUE(id == MTypeId(528465U));
    EXPECT_TRUE(id != MTypeId(1U));
}

TEST(ApiShapeTest, SplitDropsEmptyPieces) {
    MStringArray parts;
    ASSERT_TRUE(MString(",a,,bc,").split(',', parts));
    ASSERT_EQ(parts.length(), 2U);
    EXPECT_EQ(std::string(parts[0].asChar()), "a");
    EXPECT_EQ(std::string(parts[1].asChar()), "bc");
    ASSERT_TRUE(MString("").split(',', parts));
    EXPECT_EQ(parts.length(), 0U);  // the output is replaced, not appended to
}

TEST(ApiShapeTest, ArraysCopyAndIterate) {
    MIntArray ints;
    for (int i = 0; i < 10; ++i) {
        ints.append(i * i);
    }
    MIntArray copy = ints;
    copy[0] = -1;
    EXPECT_EQ(ints[0], 0);
    int sum = 0;
    for (int value : ints) {
        sum += value;
    }
    EXPECT_EQ(sum, 285);
    const MDoubleArray empty;
    EXPECT_TRUE(empty.begin() == empty.end());

    MObjectArray objects(3);
    EXPECT_EQ(objects.length(), 3U);
    EXPECT_TRUE(objects[2].isNull());
    MCallbackIdArray ids;
    ids.append(7);
    EXPECT_EQ(ids[0], 7U);
}

TEST(ApiShapeTest, FreshCharBufferIsEmpty) {
    MCharBuffer buffer;
    EXPECT_EQ(buffer.ptr(), nullptr);
    EXPECT_EQ(buffer.size(), 0);
}

TEST(ApiShapeTest, NullObjectHasNoFunctionSet) {
    EXPECT_TRUE(MObject::kNullObj.isNull());
    EXPECT_EQ(MObject().apiType(), MFn::kInvalid);
    EXPECT_FALSE(MObject().hasFn(MFn::kBase));
    EXPECT_STREQ(MObject().apiTypeStr(), "kInvalid");
    MStatus status;
    MFnNumericAttribute fn(MObject::kNullObj, &status);
    EXPECT_FALSE(status);
}

}  // namespace
