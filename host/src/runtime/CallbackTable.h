#pragma once

#include <maya/MNodeMessage.h>
#include <maya/MSceneMessage.h>

#include <map>
#include <mutex>
#include <string>

namespace mayahost {

class NodeRecord;

// Scene-message and node attribute-changed callbacks, with one id space for both.
class CallbackTable {
public:
    MCallbackId add(MSceneMessage::Message message, MMessage::MBasicFunction function,
                    void* clientData);
    MCallbackId addAttributeChanged(const NodeRecord* node,
                                    MNodeMessage::MAttr2PlugFunction function, void* clientData);
    MCallbackId addNodeRemoval(const NodeRecord* node, MMessage::MNodeFunction function,
                               void* clientData);
    MCallbackId addTimer(double periodSeconds, MMessage::MElapsedTimeFunction function,
                         void* clientData);
    MCallbackId addCondition(const std::string& condition, MMessage::MStateFunction function,
                             void* clientData);
    bool remove(MCallbackId id);
    // Run the callbacks of one message, or of one node's attribute change, on the calling
    // thread, oldest first. A callback may add or remove callbacks while they run.
    void run(MSceneMessage::Message message);
    void runAttributeChanged(const NodeRecord* node, MNodeMessage::AttributeMessage message,
                             MPlug& plug);
    void runNodeRemoval(const NodeRecord* node, MObject& object);
    // Tells the condition's callbacks its new state, when it changed since they last heard.
    void setCondition(const std::string& condition, bool state);
    bool condition(const std::string& condition);
    // Lets `elapsedSeconds` pass for every timer and calls those whose period is up, once
    // each however many periods passed, as Maya's event loop does. Returns the calls made.
    int advanceTimers(double elapsedSeconds);
    void clear();

private:
    struct Entry {
        MSceneMessage::Message message;
        MMessage::MBasicFunction function;
        void* clientData;
    };
    struct AttributeEntry {
        const NodeRecord* node;
        MNodeMessage::MAttr2PlugFunction function;
        void* clientData;
    };
    struct RemovalEntry {
        const NodeRecord* node;
        MMessage::MNodeFunction function;
        void* clientData;
    };
    struct TimerEntry {
        double period;
        MMessage::MElapsedTimeFunction function;
        void* clientData;
        double sinceLastCall;
        double sinceAdded;
        double lastCallAt;
    };
    struct ConditionEntry {
        std::string condition;
        MMessage::MStateFunction function;
        void* clientData;
    };
    std::mutex mutex_;  // any host thread; guards the entry maps, conditions_ and next_
    std::map<MCallbackId, ConditionEntry> conditionEntries_;
    std::map<std::string, bool> conditions_;
    std::map<MCallbackId, Entry> entries_;
    std::map<MCallbackId, AttributeEntry> attributeEntries_;
    std::map<MCallbackId, RemovalEntry> removalEntries_;
    std::map<MCallbackId, TimerEntry> timerEntries_;
    MCallbackId next_ = 1;
};

}  // namespace mayahost
