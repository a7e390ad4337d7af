#pragma once

#include <functional>
#include <mutex>
#include <string>

namespace mayahost {

// Tells the embedder (the MEL interpreter's script jobs) what happened in the scene, by the
// event names of `scriptJob -event`. Fired on the main thread.
class SceneEvents {
public:
    using Listener = std::function<void(const std::string& event)>;

    void setListener(Listener listener);
    void fire(const std::string& event);

private:
    std::mutex mutex_;  // main thread; guards listener_ against a listener that replaces itself
    Listener listener_;
};

}  // namespace mayahost
