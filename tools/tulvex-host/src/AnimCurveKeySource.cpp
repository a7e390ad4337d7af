#include "AnimCurveKeySource.h"

#include <maya/MFnAnimCurve.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MTime.h>

AnimCurveKeySource::AnimCurveKeySource(const std::string& curveName) {
    MSelectionList list;
    if (list.add(MString(curveName.c_str())) == MStatus::kSuccess) {
        list.getDependNode(0, mCurve);
    }
}

std::size_t AnimCurveKeySource::count() const {
    if (mCurve.isNull()) {
        return 0;
    }
    MStatus status;
    const MFnAnimCurve curve(mCurve, &status);
    return status == MStatus::kSuccess ? curve.numKeys() : 0;
}

SceneData::Key AnimCurveKeySource::at(std::size_t index) const {
    const MFnAnimCurve curve(mCurve);
    const auto i = static_cast<unsigned int>(index);
    return {curve.time(i).as(MTime::uiUnit()), curve.value(i)};
}
