#include "SceneEvents.h"

#include <utility>

namespace mayahost {

void SceneEvents::setListener(Listener listener) {
    std::lock_guard<std::mutex> lock(mutex_);
    listener_ = std::move(listener);
}

void SceneEvents::fire(const std::string& event) {
    Listener listener;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        listener = listener_;
    }
    if (listener) {
        listener(event);
    }
}

}  // namespace mayahost
