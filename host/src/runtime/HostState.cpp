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
    // Capture threads must be joined before their std::thread objects go away.
    scene.clear(false);
}

HostState& hostState() {
    static HostState state;
    return state;
}

}  // namespace mayahost
