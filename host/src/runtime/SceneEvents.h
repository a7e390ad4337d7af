#pragma once

#include <functional>
#include <mutex>
#include <string>

namespace mayahost {

// Tells the host's MEL engine (its script jobs), then an embedder's listener, what happened
// in the scene, by the event names of `scriptJob -event`. Fired on the main thread.
class SceneEvents {
public:
    using Listener = std::function<void(const std::string& event)>;

    // The MEL engine's, set once by the host state.
    void setEngineListener(Listener listener);
    void setListener(Listener listener);
    void fire(const std::string& event);

private:
    std::mutex mutex_;  // main thread; guards both against a listener that replaces itself
    Listener engine_;
    Listener listener_;
};

}  // namespace mayahost
