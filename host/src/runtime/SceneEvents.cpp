#include "SceneEvents.h"

#include <utility>

namespace mayahost {

void SceneEvents::setListener(Listener listener) {
    std::lock_guard<std::mutex> lock(mutex_);
    listener_ = std::move(listener);
}

void SceneEvents::setEngineListener(Listener listener) {
    std::lock_guard<std::mutex> lock(mutex_);
    engine_ = std::move(listener);
}

void SceneEvents::fire(const std::string& event) {
    Listener engine;
    Listener listener;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        engine = engine_;
        listener = listener_;
    }
    if (engine) {
        engine(event);
    }
    if (listener) {
        listener(event);
    }
}

}  // namespace mayahost
