#include "BoneArrays.h"

#include <algorithm>
#include <limits>
#include <new>
#include <utility>

namespace zmf {

bool BoneArrays::resize(std::size_t boneCount) noexcept {
    const std::size_t stride = std::max<std::size_t>(boneCount, 1);
    if (stride > capacity_) {
        if (stride > std::numeric_limits<std::size_t>::max() / kRuns) {
            return false;
        }
        std::unique_ptr<float[]> components(new (std::nothrow) float[kRuns * stride]);
        std::unique_ptr<std::int32_t[]> boneIds(new (std::nothrow) std::int32_t[stride]);
        if (!components || !boneIds) {
            return false;
        }
        components_ = std::move(components);
        boneIds_ = std::move(boneIds);
        capacity_ = stride;
    }
    stride_ = stride;
    return true;
}

}  // namespace zmf
