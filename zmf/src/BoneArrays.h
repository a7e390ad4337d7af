#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace zmf {

// The arrays one Convert entry point hands out on one thread: seven runs of boneCount floats
// (rotation x, y, z, w, translation x, y, z) in one block, plus the bone ids. Plain arrays
// rather than std::vector: the module would export vector's out-of-line template code.
class BoneArrays {
public:
    static constexpr std::size_t kRuns = 7;

    // Grows only for more bones than ever before, so a steady stream allocates nothing. False
    // when memory runs out, leaving the previous arrays as they were. Even zero bones get one
    // slot per run, so the pointers handed out are never null.
    bool resize(std::size_t boneCount) noexcept;

    float* run(std::size_t index) noexcept { return components_.get() + index * stride_; }
    std::int32_t* boneIds() noexcept { return boneIds_.get(); }

private:
    std::unique_ptr<float[]> components_;
    std::unique_ptr<std::int32_t[]> boneIds_;
    std::size_t capacity_ = 0;
    std::size_t stride_ = 0;
};

}  // namespace zmf
