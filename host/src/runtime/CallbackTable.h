#pragma once

#include <maya/MSceneMessage.h>

#include <map>
#include <mutex>

namespace mayahost {

// Scene-message callbacks by id.
class CallbackTable {
public:
    MCallbackId add(MSceneMessage::Message message, MMessage::MBasicFunction function,
                    void* clientData);
    bool remove(MCallbackId id);
    // Runs the callbacks of one message on the calling thread, oldest first. A callback may
    // add or remove callbacks while they run.
    void run(MSceneMessage::Message message);
    void clear();

private:
    struct Entry {
        MSceneMessage::Message message;
        MMessage::MBasicFunction function;
        void* clientData;
    };
    std::mutex mutex_;  // any host thread; guards entries_ and next_
    std::map<MCallbackId, Entry> entries_;
    MCallbackId next_ = 1;
};

}  // namespace mayahost
