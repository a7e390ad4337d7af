#include "JournalReplay.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

#include "ShownPrecision.h"
#include "TulvexDataHandler.h"

namespace {

void redo(const SkeletonNodeInfo* pose, std::size_t bones, double floorOffset,
          JournalReplay::AnglesFunction angles, SampleMapFormat::Sample& sample) {
    const std::size_t count = std::min(bones, sample.bones.size());
    for (std::size_t b = 0; b < count; ++b) {
        const SkeletonNodeInfo& bone = pose[b];
        SampleMapFormat::Bone& held = sample.bones[b];
        if (b == 0) {
            // The offset is added before rounding, as the capture thread adds it.
            double translation[3] = {bone.currentTranslation[0], bone.currentTranslation[1],
                                     bone.currentTranslation[2]};
            translation[1] += floorOffset;
            ShownPrecision::round3(translation, held.translation);
        }
        double degrees[3] = {0.0, 0.0, 0.0};
        angles(bone.currentRotation, degrees);
        // Each angle is the float the user sees, as compute rounds it.
        ShownPrecision::round3(degrees, held.rotation);
        held.quaternion[0] = bone.currentRotation[3];
        held.quaternion[1] = bone.currentRotation[0];
        held.quaternion[2] = bone.currentRotation[1];
        held.quaternion[3] = bone.currentRotation[2];
    }
}

}  // namespace

std::size_t JournalReplay::replay(std::vector<std::vector<std::byte>>& payloads,
                                  std::vector<SampleMapFormat::Sample>& samples,
                                  const Options& options, std::size_t bufferSize,
                                  AnglesFunction angles) {
    // Samples in the order of the datagrams they showed, so one pass decodes them all.
    std::vector<std::size_t> order(samples.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&samples](std::size_t a, std::size_t b) {
        return samples[a].datagramIndex < samples[b].datagramIndex;
    });
    auto next = std::find_if(order.begin(), order.end(),
                             [&samples](std::size_t s) { return samples[s].datagramIndex >= 0; });

    TulvexDataHandler decoder;
    PoseSmoother smoother;
    std::size_t redone = 0;
    // Whether the decoder holds a frame's pose. A block pushed for a datagram that changed
    // nothing (a repeated definition, a rejected datagram) carried the last frame's pose and
    // is tagged with that datagram: its samples are redone from the pose the decoder holds.
    bool posed = false;
    for (std::size_t d = 0; d < payloads.size() && next != order.end(); ++d) {
        std::vector<std::byte>& payload = payloads[d];
        payload.resize(bufferSize);
        const int size = static_cast<int>(payload.size());
        if (decoder.IsFrameData(payload.data(), size)) {
            decoder.ProcessFrameData(payload.data(), size);
            if (options.smoothing) {
                smoother.apply(decoder.GetBoneInfoByIndex(0), decoder.GetNumBones(),
                               decoder.CurrentFrameTime(), options.smoothingSettings);
            }
            posed = true;
        } else if (decoder.IsSkeletonDefinition(payload.data(), size) &&
                   decoder.ProcessSkeletonDefinitionData(payload.data(), size)) {
            smoother.reset();  // a new skeleton starts the filter again, as live
            posed = false;
        }
        for (; next != order.end() && samples[*next].datagramIndex == static_cast<std::int64_t>(d);
             ++next) {
            if (posed) {
                redo(decoder.GetBoneInfoByIndex(0), static_cast<std::size_t>(decoder.GetNumBones()),
                     options.floorOffset, angles, samples[*next]);
                ++redone;
            }
        }
    }
    return redone;
}
