#pragma once

#include <maya/MDeprecate.h>
#include <maya/MMessage.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MTimerMessage : public MMessage {
public:
    typedef void (*sleepCallbackPtr)();
    static MCallbackId addTimerCallback(float period, MMessage::MElapsedTimeFunction func,
                                        void* clientData = NULL, MStatus* ReturnStatus = NULL);
    static MStatus setSleepCallback(sleepCallbackPtr sleepFunc);
    static sleepCallbackPtr sleepCallback();
};

OPENMAYA_NAMESPACE_CLOSE
