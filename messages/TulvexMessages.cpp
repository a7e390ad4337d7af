#include "TulvexMessages.h"

#include <maya/MStringResource.h>
#include <maya/MStringResourceId.h>

MString TulvexMessages::lookup(const TulvexMessage& message) {
    MStatus status;
    return MStringResource::getString(
        MStringResourceId(kTableName, message.key, MString(message.defaultText)), status);
}

MStatus TulvexMessages::registerAll() {
    for (const TulvexMessage& message : kRegistered) {
        MStringResource::registerString(
            MStringResourceId(kTableName, message.key, MString(message.defaultText)));
    }
    return MStatus::kSuccess;
}
