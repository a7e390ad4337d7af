#include "HostState.h"

namespace mayahost {

HostState& hostState() {
    static HostState state;
    return state;
}

}  // namespace mayahost
