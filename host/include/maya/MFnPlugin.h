#pragma once

// MFnBase.h first: it defines PLUGIN_EXPORT, which MApiVersion.h relies on.
#include <maya/MFnBase.h>

#include <maya/MApiVersion.h>
#include <maya/MDeprecate.h>
#include <maya/MPlugin.h>
#include <maya/MPxData.h>
#include <maya/MPxNode.h>
#include <map>

PLUGIN_EXPORT MStatus initializePlugin(MObject obj);
PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj);

#define PLUGIN_COMPANY "Autodesk"

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MFnPlugin : public MFnBase {
public:
    MFnPlugin();
    MFnPlugin(MObject& object, const char* vendor = "Unknown", const char* version = "Unknown",
              const char* requiredApiVersion = "Any", MStatus* ReturnStatus = 0L);
    ~MFnPlugin() override;
    MFn::Type type() const override;
    MString vendor(MStatus* ReturnStatus = nullptr) const;
    MString version(MStatus* ReturnStatus = nullptr) const;
    MString apiVersion(MStatus* ReturnStatus = nullptr) const;
    MString name(MStatus* ReturnStatus = nullptr) const;
    MString loadPath(MStatus* ReturnStatus = nullptr) const;
    MStatus registerCommand(const MString& commandName, MCreatorFunction creatorFunction,
                            MCreateSyntaxFunction createSyntaxFunction = nullptr);
    MStatus deregisterCommand(const MString& commandName);
    MStatus registerNode(const MString& typeName, const MTypeId& typeId,
                         MCreatorFunction creatorFunction, MInitializeFunction initFunction,
                         MPxNode::Type type = MPxNode::kDependNode,
                         const MString* classification = nullptr);
    MStatus deregisterNode(const MTypeId& typeId);
    MStatus registerUIStrings(MInitializeFunction registerMStringResources,
                              const MString& pluginStringsProc);
    static MObject findPlugin(const MString& pluginName);
    static bool isNodeRegistered(const MString& typeName);

private:
    MFnPlugin(const MObject& object, const char* vendor = "Unknown",
              const char* version = "Unknown", const char* requiredApiVersion = "Any",
              MStatus* ReturnStatus = 0L);
    MFnPlugin& operator=(const MFnPlugin& rhs);
    MFnPlugin* operator&() const;
    MFnPlugin* operator&();
};

OPENMAYA_NAMESPACE_CLOSE
