#pragma once

#include <maya/MApiNamespace.h>
#include <maya/MDeprecate.h>
#include <maya/MPlugin.h>
#include <maya/MStatus.h>

typedef uintptr_t MCallbackId;

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MMessage {
public:
    typedef void (*MBasicFunction)(void* clientData);
    typedef void (*MNodeFunction)(MObject& node, void* clientData);
    typedef void (*MStateFunction)(bool state, void* clientData);
    typedef void (*MElapsedTimeFunction)(float elapsedTime, float lastTime, void* clientData);
    static MStatus removeCallback(MCallbackId id);
    static MStatus removeCallbacks(MCallbackIdArray& ids);
};

OPENMAYA_NAMESPACE_CLOSE
