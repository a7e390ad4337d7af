#include "HostState.h"

#include "HostMel.h"
#include "HostRules.h"

namespace mayahost {

HostState::HostState()
    : types(arena),
      scene(arena, types, graph, refresh),
      timeline(scene, types),
      mel(std::make_unique<HostMel>()) {
    HostRules::adoptMainThread();
    events.setEngineListener([this](const std::string& event) { mel->sceneEvent(event); });
}

HostState::~HostState() {
    // The background fill and the workers evaluate nodes: they stop before the scene goes.
    cache.reset();
    evaluation.stopWorkers();
    // Capture threads must be joined before their std::thread objects go away.
    scene.clear(false);
}

HostState& hostState() {
    static HostState state;
    return state;
}

}  // namespace mayahost

namespace mayahost {

void notePlaybackState() {
    HostState& host = hostState();
    host.callbacks.setCondition("playingBack", host.timeline.playing());
}

}  // namespace mayahost
