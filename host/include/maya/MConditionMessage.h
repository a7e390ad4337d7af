#pragma once

#include <maya/MMessage.h>
#include <maya/MString.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Callbacks on Maya's named conditions changing state ("playingBack" and the others).
class OPENMAYA_EXPORT MConditionMessage : public MMessage {
public:
    static MCallbackId addConditionCallback(const MString& conditionName,
                                            MMessage::MStateFunction func, void* clientData = NULL,
                                            MStatus* ReturnStatus = NULL);
    static bool getConditionState(const MString& name, MStatus* ReturnStatus = NULL);

private:
    MConditionMessage();
};

OPENMAYA_NAMESPACE_CLOSE
