#include "CallbackTable.h"

#include <vector>

namespace mayahost {

MCallbackId CallbackTable::add(MSceneMessage::Message message, MMessage::MBasicFunction function,
                               void* clientData) {
    std::lock_guard<std::mutex> lock(mutex_);
    const MCallbackId id = next_++;
    entries_[id] = Entry{message, function, clientData};
    return id;
}

MCallbackId CallbackTable::addAttributeChanged(const NodeRecord* node,
                                               MNodeMessage::MAttr2PlugFunction function,
                                               void* clientData) {
    std::lock_guard<std::mutex> lock(mutex_);
    const MCallbackId id = next_++;
    attributeEntries_[id] = AttributeEntry{node, function, clientData};
    return id;
}

MCallbackId CallbackTable::addNodeRemoval(const NodeRecord* node, MMessage::MNodeFunction function,
                                          void* clientData) {
    std::lock_guard<std::mutex> lock(mutex_);
    const MCallbackId id = next_++;
    removalEntries_[id] = RemovalEntry{node, function, clientData};
    return id;
}

MCallbackId CallbackTable::addTimer(double periodSeconds, MMessage::MElapsedTimeFunction function,
                                    void* clientData) {
    std::lock_guard<std::mutex> lock(mutex_);
    const MCallbackId id = next_++;
    timerEntries_[id] = TimerEntry{periodSeconds, function, clientData, 0.0, 0.0, 0.0};
    return id;
}

MCallbackId CallbackTable::addCondition(const std::string& condition,
                                        MMessage::MStateFunction function, void* clientData) {
    std::lock_guard<std::mutex> lock(mutex_);
    const MCallbackId id = next_++;
    conditionEntries_[id] = ConditionEntry{condition, function, clientData};
    return id;
}

bool CallbackTable::remove(MCallbackId id) {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_.erase(id) + attributeEntries_.erase(id) + removalEntries_.erase(id) +
               timerEntries_.erase(id) + conditionEntries_.erase(id) !=
           0;
}

void CallbackTable::setCondition(const std::string& condition, bool state) {
    std::vector<MCallbackId> ids;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto [found, added] = conditions_.emplace(condition, state);
        if (!added && found->second == state) {
            return;
        }
        found->second = state;
        for (const auto& [id, entry] : conditionEntries_) {
            if (entry.condition == condition) {
                ids.push_back(id);
            }
        }
    }
    for (MCallbackId id : ids) {
        ConditionEntry entry{};
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto found = conditionEntries_.find(id);
            if (found == conditionEntries_.end()) {
                continue;
            }
            entry = found->second;
        }
        entry.function(state, entry.clientData);
    }
}

bool CallbackTable::condition(const std::string& condition) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = conditions_.find(condition);
    return found != conditions_.end() && found->second;
}

void CallbackTable::run(MSceneMessage::Message message) {
    std::vector<MCallbackId> ids;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& [id, entry] : entries_) {
            if (entry.message == message) {
                ids.push_back(id);
            }
        }
    }
    for (MCallbackId id : ids) {
        Entry entry{};
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto found = entries_.find(id);
            if (found == entries_.end()) {
                continue;  // removed by an earlier callback
            }
            entry = found->second;
        }
        if (entry.function != nullptr) {
            entry.function(entry.clientData);
        }
    }
}

void CallbackTable::runAttributeChanged(const NodeRecord* node,
                                        MNodeMessage::AttributeMessage message, MPlug& plug) {
    std::vector<MCallbackId> ids;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& [id, entry] : attributeEntries_) {
            if (entry.node == node) {
                ids.push_back(id);
            }
        }
    }
    MPlug other;
    for (MCallbackId id : ids) {
        AttributeEntry entry{};
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto found = attributeEntries_.find(id);
            if (found == attributeEntries_.end()) {
                continue;
            }
            entry = found->second;
        }
        entry.function(message, plug, other, entry.clientData);
    }
}

void CallbackTable::runNodeRemoval(const NodeRecord* node, MObject& object) {
    std::vector<MCallbackId> ids;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& [id, entry] : removalEntries_) {
            if (entry.node == node) {
                ids.push_back(id);
            }
        }
    }
    for (MCallbackId id : ids) {
        RemovalEntry entry{};
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto found = removalEntries_.find(id);
            if (found == removalEntries_.end()) {
                continue;
            }
            entry = found->second;
        }
        entry.function(object, entry.clientData);
    }
}

int CallbackTable::advanceTimers(double elapsedSeconds) {
    struct Due {
        MMessage::MElapsedTimeFunction function;
        void* clientData;
        float elapsed;
        float last;
    };
    std::vector<Due> due;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto& [id, timer] : timerEntries_) {
            timer.sinceLastCall += elapsedSeconds;
            timer.sinceAdded += elapsedSeconds;
            if (timer.sinceLastCall >= timer.period) {
                due.push_back({timer.function, timer.clientData,
                               static_cast<float>(timer.sinceAdded),
                               static_cast<float>(timer.lastCallAt)});
                timer.sinceLastCall = 0.0;
                timer.lastCallAt = timer.sinceAdded;
            }
        }
    }
    for (const Due& call : due) {
        call.function(call.elapsed, call.last, call.clientData);
    }
    return static_cast<int>(due.size());
}

void CallbackTable::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.clear();
    attributeEntries_.clear();
    removalEntries_.clear();
    timerEntries_.clear();
    conditionEntries_.clear();
    conditions_.clear();
}

}  // namespace mayahost
