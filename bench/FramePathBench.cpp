// The capture thread's per-datagram decode: classification and frame decoding of a 27-bone
// frame through the bound decoding library, as the receiver calls them (whole 4096-byte
// receive buffer). Goal: at most 1 us per frame.
#include <benchmark/benchmark.h>
#include <zmf/ZmfCodec.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "TulvexDataHandler.h"
#include "ZarnMotionFormat.h"

namespace {

constexpr int kReceiveBufferSize = 4096;
constexpr int kFrames = 64;

std::vector<std::vector<std::byte>> consecutiveFrames() {
    std::vector<std::vector<std::byte>> buffers;
    for (int n = 0; n < kFrames; ++n) {
        zmf::FramePacket frame;
        frame.frameNumber = n;
        frame.timestamp = 100.0 + n / 60.0;
        for (int bone = 0; bone < 27; ++bone) {
            frame.boneIds.push_back(bone);
            frame.bones.push_back({{0.0F, 0.0F, 0.38F, 0.92F}, {0.01F * bone, 0.9F, -0.1F}});
        }
        std::vector<std::byte> buffer(kReceiveBufferSize);
        const std::vector<std::byte> packet = zmf::encode(frame);
        std::copy(packet.begin(), packet.end(), buffer.begin());
        buffers.push_back(std::move(buffer));
    }
    return buffers;
}

void BM_FramePath(benchmark::State& state) {
    if (!ZarnMotionFormat::IsBound()) {
        state.SkipWithError("decoding library not bound");
        return;
    }
    std::vector<std::vector<std::byte>> buffers = consecutiveFrames();
    TulvexDataHandler handler;
    std::size_t next = 0;
    for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores): the loop idiom
        std::byte* data = buffers[next].data();
        next = (next + 1) % buffers.size();
        if (handler.IsFrameData(data, kReceiveBufferSize)) {
            handler.ProcessFrameData(data, kReceiveBufferSize);
        }
        benchmark::DoNotOptimize(handler.GetBoneInfoByIndex(0)->currentTranslation[0]);
    }
    state.SetItemsProcessed(state.iterations());
}
// One iteration is one frame, so the Time column reads as ns per frame.
BENCHMARK(BM_FramePath)->Unit(benchmark::kNanosecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
    ZarnMotionFormat::Initialize(TULVEX_BENCH_PLUGIN_DIR);
    if (!ZarnMotionFormat::IsBound()) {
        std::fprintf(stderr, "could not bind the decoding library from %s\n",
                     TULVEX_BENCH_PLUGIN_DIR);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ZarnMotionFormat::Shutdown();
    return 0;
}
