#include "HostState.h"

#include "HostRules.h"

namespace mayahost {

HostState::HostState() : types(arena), scene(arena, types, graph, refresh), timeline(scene, types) {
    HostRules::adoptMainThread();
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
