#pragma once

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "HostObject.h"

namespace mayahost {

// Owns every record an MObject can name, until the host itself goes away. Records are never
// freed earlier, so handles kept by plug-ins (static attribute objects) cannot dangle.
class Arena {
public:
    template <typename T, typename... Args>
    T* make(Args&&... args) {
        auto record = std::make_unique<T>(std::forward<Args>(args)...);
        T* raw = record.get();
        std::lock_guard<std::mutex> lock(mutex_);
        records_.push_back(std::move(record));
        return raw;
    }

private:
    std::mutex mutex_;  // any thread may create records; guards records_
    std::vector<std::unique_ptr<HostObject>> records_;
};

}  // namespace mayahost
