#pragma once

#include <maya/MObjectArray.h>
#include <maya/MPxNode.h>
#include <maya/MString.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYAUI_EXPORT MPxThreadedDeviceNode : public MPxNode {
public:
    MPxThreadedDeviceNode();
    ~MPxThreadedDeviceNode() override;
    MPxNode::Type type() const override;
    virtual void threadHandler();
    virtual void threadShutdownHandler();
    bool isLive();
    bool isDone();
    MStatus setDone(bool done);
    MStatus beginThreadLoop();
    MStatus endThreadLoop();
    MStatus createMemoryPools(int nCount, int nElements, long nSize);
    MStatus destroyMemoryPools();
    MStatus acquireDataStorage(MCharBuffer& buffer);
    MStatus pushThreadData(MCharBuffer& buffer);
    MStatus popThreadData(MCharBuffer& buffer);
    long threadDataCount();
    MStatus releaseDataStorage(MCharBuffer& buffer);
    MStatus setRefreshOutputAttributes(const MObjectArray& attributeList);
    static MObject output;
    static MObject live;
    static MObject frameRate;

private:
    friend struct hostimpl::HostAccess;
    void* fDevice;
};

// A view of one pool buffer; the pool owns the memory.
class OPENMAYAUI_EXPORT MCharBuffer {
public:
    MCharBuffer();
    char* ptr();
    long size();

private:
    MCharBuffer(const MCharBuffer& other);
    MCharBuffer& operator=(const MCharBuffer& other);
    void setPtr(char* ptr);
    void setSize(long size);
    friend class MPxThreadedDeviceNode;
    char* fPtr;
    long fSize;
};

OPENMAYA_NAMESPACE_CLOSE
