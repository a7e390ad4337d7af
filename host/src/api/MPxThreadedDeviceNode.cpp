#include <maya/MPxThreadedDeviceNode.h>

#include <chrono>
#include <cstring>
#include <mutex>

#include "AttributeRecord.h"
#include "CaptureThread.h"
#include "DeviceState.h"
#include "HostAccess.h"
#include "HostRules.h"
#include "HostState.h"
#include "NodeRecord.h"
#include "NodeType.h"
#include "RefreshBoard.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

using mayahost::DeviceState;

namespace {

MObject builtin(mayahost::AttributeRecord* mayahost::TypeRegistry::Builtins::*member) {
    return hostimpl::HostAccess::makeObject(mayahost::hostState().types.builtins().*member);
}

// Reads a value of the node without the host state, so capture threads stay safe while the
// host shuts down.
double nodeValue(mayahost::NodeRecord* node, const MObject& attribute) {
    const mayahost::AttributeRecord* record = hostimpl::HostAccess::attribute(attribute);
    if (node == nullptr || record == nullptr) {
        return 0.0;
    }
    std::lock_guard<std::mutex> lock(node->mutex);
    return node->slots[record].value.v[0];
}

// Start of the calling capture thread's current loop, for throttling. Per thread, since a
// restarted node's old thread may still be leaving while the new one loops.
thread_local std::chrono::steady_clock::time_point tLoopStart{};
thread_local bool tLoopStarted = false;

}  // namespace

MObject MPxThreadedDeviceNode::output = builtin(&mayahost::TypeRegistry::Builtins::output);
MObject MPxThreadedDeviceNode::live = builtin(&mayahost::TypeRegistry::Builtins::live);
MObject MPxThreadedDeviceNode::frameRate = builtin(&mayahost::TypeRegistry::Builtins::frameRate);

MPxThreadedDeviceNode::MPxThreadedDeviceNode() : fDevice(new DeviceState) {}

MPxThreadedDeviceNode::~MPxThreadedDeviceNode() {
    delete static_cast<DeviceState*>(fDevice);
}

MPxNode::Type MPxThreadedDeviceNode::type() const {
    return kThreadedDeviceNode;
}

void MPxThreadedDeviceNode::threadHandler() {}

void MPxThreadedDeviceNode::threadShutdownHandler() {
    setDone(true);
}

bool MPxThreadedDeviceNode::isLive() {
    return nodeValue(static_cast<DeviceState*>(fDevice)->node, live) != 0.0;
}

bool MPxThreadedDeviceNode::isDone() {
    const DeviceState* device = static_cast<DeviceState*>(fDevice);
    // While restarts wait for the old thread, a stop asked of this thread's run wins over a
    // setDone(false) racing with it; without the wait, the runs share Maya's one flag.
    return device->done.load() || (mayahost::CaptureThread::restartWaits() &&
                                   mayahost::CaptureThread::currentRunStopped());
}

MStatus MPxThreadedDeviceNode::setDone(bool done) {
    DeviceState* device = static_cast<DeviceState*>(fDevice);
    {
        std::lock_guard<std::mutex> lock(device->mutex);
        device->done = done;
    }
    device->wake.notify_all();
    return MStatus::kSuccess;
}

MStatus MPxThreadedDeviceNode::beginThreadLoop() {
    tLoopStart = std::chrono::steady_clock::now();
    tLoopStarted = true;
    return MStatus::kSuccess;
}

MStatus MPxThreadedDeviceNode::endThreadLoop() {
    DeviceState* device = static_cast<DeviceState*>(fDevice);
    if (device->board != nullptr && device->node != nullptr) {
        device->board->mark(device->node);
    }
    const auto now = std::chrono::steady_clock::now();
    const auto start = tLoopStarted ? tLoopStart : now;
    const double rate = nodeValue(device->node, frameRate);
    const auto deadline = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                      std::chrono::duration<double>(rate > 0.0 ? 1.0 / rate : 0.0));
    // A pass that has used up its period goes on without touching the pool's lock: a
    // timed wait costs a system call even when its time has passed.
    if (deadline > now) {  // never with no rate: the deadline is then the pass's start
        std::unique_lock<std::mutex> lock(device->mutex);
        device->wake.wait_until(lock, deadline, [device] {
            return device->done.load() || mayahost::CaptureThread::currentRunStopped();
        });
        tLoopStart = std::chrono::steady_clock::now();
    } else {
        tLoopStart = now;
    }
    tLoopStarted = true;
    return MStatus::kSuccess;
}

MStatus MPxThreadedDeviceNode::createMemoryPools(int nCount, int nElements, long nSize) {
    mayahost::HostRules::mainThreadCall("MPxThreadedDeviceNode::createMemoryPools");
    if (nCount <= 0 || nElements <= 0 || nSize <= 0) {
        return MStatus::kInvalidParameter;
    }
    DeviceState* device = static_cast<DeviceState*>(fDevice);
    std::lock_guard<std::mutex> lock(device->mutex);
    if (!device->buffers.empty()) {
        return MStatus::kFailure;
    }
    device->bufferSize = static_cast<long>(nElements) * nSize;
    for (int i = 0; i < nCount; ++i) {
        device->buffers.emplace_back(new char[static_cast<std::size_t>(device->bufferSize)]());
        device->states.push_back(DeviceState::BufferState::Free);
    }
    return MStatus::kSuccess;
}

MStatus MPxThreadedDeviceNode::destroyMemoryPools() {
    mayahost::HostRules::mainThreadCall("MPxThreadedDeviceNode::destroyMemoryPools");
    DeviceState* device = static_cast<DeviceState*>(fDevice);
    std::lock_guard<std::mutex> lock(device->mutex);
    if (device->buffers.empty()) {
        return MStatus::kFailure;
    }
    device->buffers.clear();
    device->states.clear();
    device->queue.clear();
    device->bufferSize = 0;
    return MStatus::kSuccess;
}

MStatus MPxThreadedDeviceNode::acquireDataStorage(MCharBuffer& buffer) {
    DeviceState* device = static_cast<DeviceState*>(fDevice);
    std::lock_guard<std::mutex> lock(device->mutex);
    for (std::size_t i = 0; i < device->states.size(); ++i) {
        if (device->states[i] == DeviceState::BufferState::Free) {
            device->states[i] = DeviceState::BufferState::Acquired;
            buffer.setPtr(device->buffers[i].get());
            buffer.setSize(device->bufferSize);
            return MStatus::kSuccess;
        }
    }
    return MStatus::kFailure;  // never waits, never takes a queued buffer
}

MStatus MPxThreadedDeviceNode::pushThreadData(MCharBuffer& buffer) {
    DeviceState* device = static_cast<DeviceState*>(fDevice);
    std::lock_guard<std::mutex> lock(device->mutex);
    const long index = device->bufferIndex(buffer.ptr());
    if (index < 0 ||
        device->states[static_cast<std::size_t>(index)] == DeviceState::BufferState::Free ||
        device->states[static_cast<std::size_t>(index)] == DeviceState::BufferState::Queued) {
        return MStatus::kInvalidParameter;
    }
    device->states[static_cast<std::size_t>(index)] = DeviceState::BufferState::Queued;
    device->queue.push_back(static_cast<std::size_t>(index));
    const char* bytes = device->buffers[static_cast<std::size_t>(index)].get();
    const auto size = static_cast<std::size_t>(device->bufferSize);
    ++device->pushed;
    if (device->lastPushed.size() != size ||
        std::memcmp(device->lastPushed.data(), bytes, size) != 0) {
        ++device->changed;
        device->lastPushed.assign(bytes, bytes + size);
    }
    return MStatus::kSuccess;
}

MStatus MPxThreadedDeviceNode::popThreadData(MCharBuffer& buffer) {
    mayahost::HostRules::evaluationCall("MPxThreadedDeviceNode::popThreadData");
    DeviceState* device = static_cast<DeviceState*>(fDevice);
    std::lock_guard<std::mutex> lock(device->mutex);
    if (device->queue.empty()) {
        return MStatus::kFailure;
    }
    const std::size_t index = device->queue.front();
    device->queue.pop_front();
    device->states[index] = DeviceState::BufferState::Held;
    ++device->popped;
    buffer.setPtr(device->buffers[index].get());
    buffer.setSize(device->bufferSize);
    return MStatus::kSuccess;
}

long MPxThreadedDeviceNode::threadDataCount() {
    mayahost::HostRules::evaluationCall("MPxThreadedDeviceNode::threadDataCount");
    DeviceState* device = static_cast<DeviceState*>(fDevice);
    std::lock_guard<std::mutex> lock(device->mutex);
    return static_cast<long>(device->queue.size());
}

MStatus MPxThreadedDeviceNode::releaseDataStorage(MCharBuffer& buffer) {
    DeviceState* device = static_cast<DeviceState*>(fDevice);
    std::lock_guard<std::mutex> lock(device->mutex);
    const long index = device->bufferIndex(buffer.ptr());
    if (index < 0) {
        return MStatus::kInvalidParameter;
    }
    DeviceState::BufferState& bufferState = device->states[static_cast<std::size_t>(index)];
    if (bufferState != DeviceState::BufferState::Acquired &&
        bufferState != DeviceState::BufferState::Held) {
        return MStatus::kInvalidParameter;  // free already, or still queued
    }
    bufferState = DeviceState::BufferState::Free;
    buffer.setPtr(nullptr);
    buffer.setSize(0);
    return MStatus::kSuccess;
}

MStatus MPxThreadedDeviceNode::setRefreshOutputAttributes(const MObjectArray& attributeList) {
    mayahost::HostRules::mainThreadCall("MPxThreadedDeviceNode::setRefreshOutputAttributes");
    DeviceState* device = static_cast<DeviceState*>(fDevice);
    const mayahost::NodeRecord* node = hostimpl::HostAccess::nodeOf(*this);
    std::vector<const mayahost::AttributeRecord*> attributes;
    for (unsigned int i = 0; i < attributeList.length(); ++i) {
        const mayahost::AttributeRecord* record = hostimpl::HostAccess::attribute(attributeList[i]);
        if (record == nullptr || (node != nullptr && !node->type.owns(record))) {
            return MStatus::kInvalidParameter;
        }
        attributes.push_back(record->root());
    }
    std::lock_guard<std::mutex> lock(device->mutex);
    device->refreshAttributes = attributes;
    return MStatus::kSuccess;
}

MCharBuffer::MCharBuffer() : fPtr(nullptr), fSize(0) {}

char* MCharBuffer::ptr() {
    return fPtr;
}

long MCharBuffer::size() {
    return fSize;
}

void MCharBuffer::setPtr(char* ptr) {
    fPtr = ptr;
}

void MCharBuffer::setSize(long size) {
    fSize = size;
}

OPENMAYA_NAMESPACE_CLOSE
