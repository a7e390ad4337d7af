#pragma once

#include <maya/MObject.h>

#include <string>

#include "KeySource.h"

// The keys of an animation curve of the host's scene, read through MFnAnimCurve as they are
// asked for, times in the scene's time unit. Main thread.
class AnimCurveKeySource : public KeySource {
public:
    // A curve of that name, or none (no keys) when there is no such curve.
    explicit AnimCurveKeySource(const std::string& curveName);

    std::size_t count() const override;
    SceneData::Key at(std::size_t index) const override;

private:
    MObject mCurve;
};
