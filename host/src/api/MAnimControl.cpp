#include <maya/MAnimControl.h>

#include "HostRules.h"
#include "HostState.h"
#include "TimeUnits.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

MTime MAnimControl::currentTime() {
    mayahost::HostRules::mainThreadCall("MAnimControl::currentTime");
    const mayahost::Timeline& timeline = mayahost::hostState().timeline;
    return MTime(timeline.current(), timeline.uiUnit());
}

MStatus MAnimControl::setCurrentTime(const MTime& newTime) {
    mayahost::HostRules::outsideCompute("MAnimControl::setCurrentTime");
    if (!mayahost::TimeUnits::valid(newTime.unit())) {
        return MStatus::kInvalidParameter;
    }
    mayahost::Timeline& timeline = mayahost::hostState().timeline;
    timeline.moveTo(newTime.as(timeline.uiUnit()));
    return MStatus::kSuccess;
}

MStatus MAnimControl::playForward() {
    mayahost::HostRules::outsideCompute("MAnimControl::playForward");
    mayahost::hostState().timeline.play();
    mayahost::notePlaybackState();
    return MStatus::kSuccess;
}

bool MAnimControl::isPlaying() {
    mayahost::HostRules::mainThreadCall("MAnimControl::isPlaying");
    return mayahost::hostState().timeline.playing();
}

MStatus MAnimControl::stop() {
    mayahost::HostRules::outsideCompute("MAnimControl::stop");
    mayahost::hostState().timeline.stop();
    mayahost::notePlaybackState();
    return MStatus::kSuccess;
}

OPENMAYA_NAMESPACE_CLOSE
