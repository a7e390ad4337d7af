#include "DeviceState.h"

namespace mayahost {

long DeviceState::bufferIndex(const char* ptr) const {
    for (std::size_t i = 0; i < buffers.size(); ++i) {
        if (buffers[i].get() == ptr) {
            return static_cast<long>(i);
        }
    }
    return -1;
}

void DeviceState::requestStop(std::atomic<bool>& runStop) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        runStop = true;
    }
    wake.notify_all();
}

}  // namespace mayahost
