#pragma once

#include <maya/MCacheSchema.h>
#include <maya/MDGContext.h>
#include <maya/MDataBlock.h>
#include <maya/MDataHandle.h>
#include <maya/MDeprecate.h>
#include <maya/MNodeCacheDisablingInfo.h>
#include <maya/MNodeCacheSetupInfo.h>
#include <maya/MObject.h>
#include <maya/MObjectArray.h>
#include <maya/MPlug.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MTimeRange.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MPxNode {
public:
    enum Type {
        kDependNode = 0,
        kLocatorNode = 1,
        kDeformerNode = 2,
        kManipContainer = 3,
        kSurfaceShape = 4,
        kFieldNode = 5,
        kEmitterNode = 6,
        kSpringNode = 7,
        kIkSolverNode = 8,
        kHardwareShader = 9,
        kHwShaderNode = 10,
        kTransformNode = 11,
        kObjectSet = 12,
        kFluidEmitterNode = 13,
        kImagePlaneNode = 14,
        kParticleAttributeMapperNode = 15,
        kCameraSetNode = 16,
        kConstraintNode = 17,
        kManipulatorNode = 18,
        kMotionPathNode = 19,
        kClientDeviceNode = 20,
        kThreadedDeviceNode = 21,
        kAssembly = 22,
        kSkinCluster = 23,
        kGeometryFilter = 24,
        kBlendShape = 25,
        kLast = 26
    };
    // How the Evaluation Manager may schedule a node type's compute.
    enum SchedulingType {
        kParallel,
        kSerial,
        kGloballySerial,
        kUntrusted,
        kDefaultScheduling = kSerial
    };
    MPxNode();
    virtual ~MPxNode();
    virtual void postConstructor();
    virtual MStatus compute(const MPlug& plug, MDataBlock& dataBlock);
    virtual Type type() const;
    virtual SchedulingType schedulingType() const;
    virtual void getCacheSetup(const MEvaluationNode& evalNode,
                               MNodeCacheDisablingInfo& disablingInfo,
                               MNodeCacheSetupInfo& cacheSetupInfo,
                               MObjectArray& monitoredAttributes) const;
    static MStatus addAttribute(const MObject& attr);
    static MStatus attributeAffects(const MObject& whenChanges, const MObject& isAffected);
    static MStatus attributeAffects(const MObject& whenChanges, const MObject& isAffected,
                                    bool affectsTopology);
    virtual MTypeId typeId() const;
    virtual MString typeName() const;
    virtual MString name() const;
    virtual MObject thisMObject() const;
    static MObject message, isHistoricallyInteresting, caching, state, frozen;

private:
    friend struct hostimpl::HostAccess;
    MPxNode(const MPxNode& other);
    MPxNode& operator=(const MPxNode& other);
    hostimpl::HostObject* fNodeRecord;
};

OPENMAYA_NAMESPACE_CLOSE
