#pragma once

#include <limits.h>
#include <maya/MAngle.h>
#include <maya/MDoubleArray.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MIntArray.h>
#include <maya/MTime.h>
#include <maya/MTimeArray.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYAANIM_EXPORT MFnAnimCurve : public MFnDependencyNode {
public:
    enum AnimCurveType {
        kAnimCurveTA = 0,
        kAnimCurveTL = 1,
        kAnimCurveTT = 2,
        kAnimCurveTU = 3,
        kAnimCurveUA = 4,
        kAnimCurveUL = 5,
        kAnimCurveUT = 6,
        kAnimCurveUU = 7,
        kAnimCurveUnknown = 8
    };
    enum TangentType {
        kTangentGlobal = 0,
        kTangentFixed = 1,
        kTangentLinear = 2,
        kTangentFlat = 3,
        kTangentSmooth = 4,
        kTangentStep = 5,
        kTangentSlow = 6,
        kTangentFast = 7,
        kTangentClamped = 8,
        kTangentPlateau = 9,
        kTangentStepNext = 10,
        kTangentAuto = 11,
        kTangentShared1 = 19,
        kTangentShared2 = 20,
        kTangentShared3 = 21,
        kTangentShared4 = 22,
        kTangentShared5 = 23,
        kTangentShared6 = 24,
        kTangentShared7 = 25,
        kTangentShared8 = 26,
        kTangentAutoMix = 27,
        kTangentAutoEase = 28,
        kTangentAutoCustom = 29,
        kTangentCustomStart = 64,
        kTangentCustomEnd = SHRT_MAX
    };

    MFnAnimCurve();
    MFnAnimCurve(MObject& object, MStatus* ReturnStatus = nullptr);
    MFnAnimCurve(const MObject& object, MStatus* ReturnStatus = nullptr);
    MFnAnimCurve(const MPlug& plug, MStatus* ReturnStatus = NULL);
    MFn::Type type() const override;
    ~MFnAnimCurve() override;
    MObject create(const MPlug& plug, AnimCurveType animCurveType, MDGModifier* modifier = NULL,
                   MStatus* ReturnStatus = NULL);
    MObject create(AnimCurveType animCurveType, MDGModifier* modifier = NULL,
                   MStatus* ReturnStatus = NULL);
    AnimCurveType animCurveType(MStatus* ReturnStatus = NULL) const;
    double evaluate(const MTime& atTime, MStatus* ReturnStatus = NULL) const;
    unsigned int numKeys(MStatus* ReturnStatus = NULL) const;
    MStatus addKeyframe(const MTime& time, double value, MAnimCurveChange* change = NULL);
    unsigned int addKey(const MTime& time, double value, TangentType tangentInType = kTangentGlobal,
                        TangentType tangentOutType = kTangentGlobal,
                        MAnimCurveChange* change = NULL, MStatus* ReturnStatus = NULL);
    bool find(const MTime& time, unsigned int& index, MStatus* ReturnStatus = NULL) const;
    MTime time(unsigned int index, MStatus* ReturnStatus = NULL) const;
    double value(unsigned int index, MStatus* ReturnStatus = NULL) const;

private:
    MFnAnimCurve(const MFnAnimCurve& rhs);
    MFnAnimCurve& operator=(const MFnAnimCurve& rhs);
    MFnAnimCurve* operator&() const;
};

OPENMAYA_NAMESPACE_CLOSE
