#pragma once

// Namespace of the Maya 2022 API and the global using-declarations that reach it.

#define OPENMAYA_MAJOR_NAMESPACE OpenMaya20220000
#define OPENMAYA_MAJOR_NAMESPACE_OPEN \
    namespace Autodesk {              \
    namespace Maya {                  \
    namespace OpenMaya20220000 {
#define OPENMAYA_NAMESPACE_CLOSE \
    }                            \
    }                            \
    }
#define OPENMAYA_MAJOR_NAMESPACE_SCHEMA Autodesk::Maya::OpenMaya20220000

#if defined(AW_HIDE_SYMBOLS)
#define OPENMAYA_EXPORT __attribute__((visibility("default")))
#else
#define OPENMAYA_EXPORT
#endif
#define OPENMAYAUI_EXPORT OPENMAYA_EXPORT
#define OPENMAYAANIM_EXPORT OPENMAYA_EXPORT
#define FND_EXPORT OPENMAYA_EXPORT
#define OPENMAYA_PRIVATE private

// clang-format off
OPENMAYA_MAJOR_NAMESPACE_OPEN
class MAngle;
class MAnimControl;
class MAnimCurveChange;
class MArgList;
class MArrayDataBuilder;
class MArrayDataHandle;
class MCacheSchema;
class MCallbackIdArray;
class MCharBuffer;
class MCommandResult;
class MConditionMessage;
class MDataBlock;
class MDataHandle;
class MDGContext;
class MDGModifier;
class MDoubleArray;
class MEvaluationNode;
class MEulerRotation;
class MFloatPoint;
class MFloatVector;
class MFn;
class MFnAnimCurve;
class MFnAttribute;
class MFnBase;
class MFnData;
class MFnDependencyNode;
class MFnNumericAttribute;
class MFnNumericData;
class MFnUnitAttribute;
class MFnPlugin;
class MGlobal;
class MIntArray;
class MMessage;
class MNodeCacheDisablingInfo;
class MNodeMessage;
class MNodeCacheSetupInfo;
class MObject;
class MObjectArray;
class MPlug;
class MPoint;
class MPxCommand;
class MPxData;
class MPxNode;
class MPxThreadedDeviceNode;
class MQuaternion;
class MSceneMessage;
class MSelectionList;
class MSelectionMask;
class MStatus;
class MString;
class MStringArray;
class MStringResource;
class MStringResourceId;
class MSyntax;
class MTime;
class MTimerMessage;
class MTimeArray;
class MTimeRange;
class MTransformationMatrix;
class MTypeId;
class MVector;
// Opaque parts of the stand-in behind the API classes; never named by plug-in code.
namespace hostimpl {
class HostObject;
struct HostAccess;
}  // namespace hostimpl
OPENMAYA_NAMESPACE_CLOSE

using Autodesk::Maya::OpenMaya20220000::MAngle;
using Autodesk::Maya::OpenMaya20220000::MAnimControl;
using Autodesk::Maya::OpenMaya20220000::MAnimCurveChange;
using Autodesk::Maya::OpenMaya20220000::MArgList;
using Autodesk::Maya::OpenMaya20220000::MArrayDataBuilder;
using Autodesk::Maya::OpenMaya20220000::MArrayDataHandle;
using Autodesk::Maya::OpenMaya20220000::MCacheSchema;
using Autodesk::Maya::OpenMaya20220000::MCallbackIdArray;
using Autodesk::Maya::OpenMaya20220000::MCharBuffer;
using Autodesk::Maya::OpenMaya20220000::MCommandResult;
using Autodesk::Maya::OpenMaya20220000::MDataBlock;
using Autodesk::Maya::OpenMaya20220000::MDataHandle;
using Autodesk::Maya::OpenMaya20220000::MDGContext;
using Autodesk::Maya::OpenMaya20220000::MEvaluationNode;
using Autodesk::Maya::OpenMaya20220000::MConditionMessage;
using Autodesk::Maya::OpenMaya20220000::MDGModifier;
using Autodesk::Maya::OpenMaya20220000::MDoubleArray;
using Autodesk::Maya::OpenMaya20220000::MEulerRotation;
using Autodesk::Maya::OpenMaya20220000::MFloatPoint;
using Autodesk::Maya::OpenMaya20220000::MFloatVector;
using Autodesk::Maya::OpenMaya20220000::MFn;
using Autodesk::Maya::OpenMaya20220000::MFnAnimCurve;
using Autodesk::Maya::OpenMaya20220000::MFnAttribute;
using Autodesk::Maya::OpenMaya20220000::MFnBase;
using Autodesk::Maya::OpenMaya20220000::MFnData;
using Autodesk::Maya::OpenMaya20220000::MFnDependencyNode;
using Autodesk::Maya::OpenMaya20220000::MFnNumericAttribute;
using Autodesk::Maya::OpenMaya20220000::MFnNumericData;
using Autodesk::Maya::OpenMaya20220000::MFnUnitAttribute;
using Autodesk::Maya::OpenMaya20220000::MFnPlugin;
using Autodesk::Maya::OpenMaya20220000::MGlobal;
using Autodesk::Maya::OpenMaya20220000::MIntArray;
using Autodesk::Maya::OpenMaya20220000::MMessage;
using Autodesk::Maya::OpenMaya20220000::MNodeCacheDisablingInfo;
using Autodesk::Maya::OpenMaya20220000::MNodeMessage;
using Autodesk::Maya::OpenMaya20220000::MNodeCacheSetupInfo;
using Autodesk::Maya::OpenMaya20220000::MObject;
using Autodesk::Maya::OpenMaya20220000::MObjectArray;
using Autodesk::Maya::OpenMaya20220000::MPlug;
using Autodesk::Maya::OpenMaya20220000::MPoint;
using Autodesk::Maya::OpenMaya20220000::MPxCommand;
using Autodesk::Maya::OpenMaya20220000::MPxData;
using Autodesk::Maya::OpenMaya20220000::MPxNode;
using Autodesk::Maya::OpenMaya20220000::MPxThreadedDeviceNode;
using Autodesk::Maya::OpenMaya20220000::MQuaternion;
using Autodesk::Maya::OpenMaya20220000::MSceneMessage;
using Autodesk::Maya::OpenMaya20220000::MSelectionList;
using Autodesk::Maya::OpenMaya20220000::MSelectionMask;
using Autodesk::Maya::OpenMaya20220000::MStatus;
using Autodesk::Maya::OpenMaya20220000::MString;
using Autodesk::Maya::OpenMaya20220000::MStringArray;
using Autodesk::Maya::OpenMaya20220000::MStringResource;
using Autodesk::Maya::OpenMaya20220000::MStringResourceId;
using Autodesk::Maya::OpenMaya20220000::MSyntax;
using Autodesk::Maya::OpenMaya20220000::MTime;
using Autodesk::Maya::OpenMaya20220000::MTimerMessage;
using Autodesk::Maya::OpenMaya20220000::MTimeArray;
using Autodesk::Maya::OpenMaya20220000::MTimeRange;
using Autodesk::Maya::OpenMaya20220000::MTransformationMatrix;
using Autodesk::Maya::OpenMaya20220000::MTypeId;
using Autodesk::Maya::OpenMaya20220000::MVector;
// clang-format on
