// The entry points as the plug-in reaches them: from the staged module, through dlopen/dlsym.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <zmf/ZmfCodec.h>
#include <zmf/ZmfEntryPoints.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ZmfTestPackets.h"

namespace {

const std::array<const char*, 5> kEntryPoints = {
    "IsZmfBytes", "IsSkeletonDefinitionBytes", "IsFrameDataBytes",
    "ConvertBytesToSkeletonDefinition", "ConvertBytesToFrameData"};

class Module {
public:
    explicit Module(const std::string& path) : handle_(dlopen(path.c_str(), RTLD_NOW)) {}
    ~Module() {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    template <typename Fn>
    Fn symbol(const char* name) const {
        return reinterpret_cast<Fn>(dlsym(handle_, name));
    }

private:
    void* handle_;
};

// Outputs of one Convert call; the sentinels show whether a failed call wrote anything.
struct DecodedBones {
    std::int32_t boneCount = -1;
    std::int32_t* boneIds = nullptr;
    std::array<float*, 7> runs{};  // rotation x, y, z, w, translation x, y, z
};

struct DecodedFrame : DecodedBones {
    std::int64_t captureMicros = -7;
    std::int32_t revision = -7;
    std::int32_t frameNumber = -7;
    float confidence = -7;
    double timestamp = -7;
};

struct DecodedDefinition : DecodedBones {
    std::uint64_t skeletonId = 7;
    std::int32_t revision = -7;
    std::uint64_t createdMicros = 7;
    std::uint64_t flags = 7;
};

std::array<float, 7> components(const zmf::BonePose& bone) {
    return {bone.rotation[0],    bone.rotation[1],    bone.rotation[2],   bone.rotation[3],
            bone.translation[0], bone.translation[1], bone.translation[2]};
}

// The arrays hold exactly these bones (and, for frames, ids).
bool holds(const DecodedBones& out, const std::vector<zmf::BonePose>& bones,
           const std::vector<std::int32_t>* boneIds) {
    if (out.boneCount != static_cast<std::int32_t>(bones.size())) {
        return false;
    }
    for (std::size_t i = 0; i < bones.size(); ++i) {
        if (boneIds != nullptr && out.boneIds[i] != (*boneIds)[i]) {
            return false;
        }
        const std::array<float, 7> expected = components(bones[i]);
        for (std::size_t k = 0; k < 7; ++k) {
            if (out.runs[k][i] != expected[k]) {
                return false;
            }
        }
    }
    return true;
}

class ZmfModule : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(module_.loaded()) << ZMF_TEST_MODULE_PATH << ": " << dlerror();
        isZmf_ = module_.symbol<decltype(&IsZmfBytes)>("IsZmfBytes");
        isDefinition_ = module_.symbol<decltype(&IsZmfBytes)>("IsSkeletonDefinitionBytes");
        isFrame_ = module_.symbol<decltype(&IsZmfBytes)>("IsFrameDataBytes");
        convertDefinition_ = module_.symbol<decltype(&ConvertBytesToSkeletonDefinition)>(
            "ConvertBytesToSkeletonDefinition");
        convertFrame_ =
            module_.symbol<decltype(&ConvertBytesToFrameData)>("ConvertBytesToFrameData");
        ASSERT_TRUE(isZmf_ && isDefinition_ && isFrame_ && convertDefinition_ && convertFrame_);
    }

    bool convert(const std::vector<std::byte>& buffer, DecodedFrame& out) const {
        auto& r = out.runs;
        return convertFrame_(static_cast<std::int32_t>(buffer.size()), buffer.data(),
                             &out.captureMicros, &out.revision, &out.frameNumber, &out.confidence,
                             &out.timestamp, &out.boneCount, &out.boneIds, &r[0], &r[1], &r[2],
                             &r[3], &r[4], &r[5], &r[6]);
    }

    bool convert(const std::vector<std::byte>& buffer, DecodedDefinition& out) const {
        auto& r = out.runs;
        return convertDefinition_(static_cast<std::int32_t>(buffer.size()), buffer.data(),
                                  &out.skeletonId, &out.revision, &out.boneCount,
                                  &out.createdMicros, &out.flags, &r[0], &r[1], &r[2], &r[3], &r[4],
                                  &r[5], &r[6]);
    }

    Module module_{ZMF_TEST_MODULE_PATH};
    decltype(&IsZmfBytes) isZmf_ = nullptr;
    decltype(&IsZmfBytes) isDefinition_ = nullptr;
    decltype(&IsZmfBytes) isFrame_ = nullptr;
    decltype(&ConvertBytesToSkeletonDefinition) convertDefinition_ = nullptr;
    decltype(&ConvertBytesToFrameData) convertFrame_ = nullptr;
};

TEST_F(ZmfModule, ClassifiesPackets) {
    const auto frame = zmf_test::inReceiveBuffer(zmf::encode(zmf_test::sampleFrame(27)));
    const auto definition = zmf_test::inReceiveBuffer(zmf::encode(zmf_test::sampleDefinition(27)));
    const std::vector<std::byte> zeros(4096);
    EXPECT_TRUE(isZmf_(4096, frame.data()));
    EXPECT_TRUE(isFrame_(4096, frame.data()));
    EXPECT_FALSE(isDefinition_(4096, frame.data()));
    EXPECT_TRUE(isZmf_(4096, definition.data()));
    EXPECT_TRUE(isDefinition_(4096, definition.data()));
    EXPECT_FALSE(isFrame_(4096, definition.data()));
    for (auto is : {isZmf_, isDefinition_, isFrame_}) {
        EXPECT_FALSE(is(4096, zeros.data()));
        EXPECT_FALSE(is(4096, nullptr));
        EXPECT_FALSE(is(0, frame.data()));
        EXPECT_FALSE(is(-4096, frame.data()));
    }
}

TEST_F(ZmfModule, ConvertsADefinitionIntoComponentArrays) {
    const zmf::SkeletonDefinition definition = zmf_test::sampleDefinition(27);
    DecodedDefinition out;
    ASSERT_TRUE(convert(zmf_test::inReceiveBuffer(zmf::encode(definition)), out));
    EXPECT_EQ(out.skeletonId, definition.skeletonId);
    EXPECT_EQ(out.revision, definition.revision);
    EXPECT_EQ(out.createdMicros, definition.createdMicros);
    EXPECT_EQ(out.flags, definition.flags);
    EXPECT_TRUE(holds(out, definition.bones, nullptr));
}

TEST_F(ZmfModule, ConvertsAFrameIntoComponentArrays) {
    for (int bones : {27, 0, zmf_test::kMaxFrameBones}) {
        SCOPED_TRACE(bones);
        const zmf::FramePacket frame = zmf_test::sampleFrame(bones);
        DecodedFrame out;
        ASSERT_TRUE(convert(zmf_test::inReceiveBuffer(zmf::encode(frame)), out));
        EXPECT_EQ(out.captureMicros, frame.captureMicros);
        EXPECT_EQ(out.revision, frame.revision);
        EXPECT_EQ(out.frameNumber, frame.frameNumber);
        EXPECT_EQ(out.confidence, frame.confidence);
        EXPECT_EQ(out.timestamp, frame.timestamp);
        EXPECT_TRUE(holds(out, frame.bones, &frame.boneIds));
        // Even an empty frame hands out usable pointers.
        EXPECT_NE(out.boneIds, nullptr);
        EXPECT_EQ(std::count(out.runs.begin(), out.runs.end(), nullptr), 0);
    }
}

TEST_F(ZmfModule, ConvertWritesNothingOnFailure) {
    const auto frame = zmf_test::inReceiveBuffer(zmf::encode(zmf_test::sampleFrame(27)));
    const auto definition = zmf_test::inReceiveBuffer(zmf::encode(zmf_test::sampleDefinition(27)));
    const DecodedFrame freshFrame;
    const DecodedDefinition freshDefinition;
    auto untouched = [&](const DecodedFrame& f, const DecodedDefinition& d) {
        return f.captureMicros == freshFrame.captureMicros && f.boneCount == -1 &&
               f.boneIds == nullptr && f.runs == freshFrame.runs && d.skeletonId == 7 &&
               d.flags == 7 && d.boneCount == -1 && d.runs == freshDefinition.runs;
    };

    DecodedFrame f;
    DecodedDefinition d;
    EXPECT_FALSE(convert(zmf_test::withFlippedBit(frame, 100), f));
    EXPECT_FALSE(convert(zmf_test::withFlippedBit(definition, 100), d));
    EXPECT_FALSE(convert(definition, f));
    EXPECT_FALSE(convert(frame, d));
    EXPECT_TRUE(untouched(f, d));

    // A valid packet but one null output: the first, a middle and the last of each function.
    auto& r = f.runs;
    EXPECT_FALSE(convertFrame_(4096, frame.data(), nullptr, &f.revision, &f.frameNumber,
                               &f.confidence, &f.timestamp, &f.boneCount, &f.boneIds, &r[0], &r[1],
                               &r[2], &r[3], &r[4], &r[5], &r[6]));
    EXPECT_FALSE(convertFrame_(4096, frame.data(), &f.captureMicros, &f.revision, &f.frameNumber,
                               &f.confidence, &f.timestamp, &f.boneCount, nullptr, &r[0], &r[1],
                               &r[2], &r[3], &r[4], &r[5], &r[6]));
    EXPECT_FALSE(convertFrame_(4096, frame.data(), &f.captureMicros, &f.revision, &f.frameNumber,
                               &f.confidence, &f.timestamp, &f.boneCount, &f.boneIds, &r[0], &r[1],
                               &r[2], &r[3], &r[4], &r[5], nullptr));
    auto& q = d.runs;
    EXPECT_FALSE(convertDefinition_(4096, definition.data(), nullptr, &d.revision, &d.boneCount,
                                    &d.createdMicros, &d.flags, &q[0], &q[1], &q[2], &q[3], &q[4],
                                    &q[5], &q[6]));
    EXPECT_FALSE(convertDefinition_(4096, definition.data(), &d.skeletonId, &d.revision,
                                    &d.boneCount, &d.createdMicros, nullptr, &q[0], &q[1], &q[2],
                                    &q[3], &q[4], &q[5], &q[6]));
    EXPECT_FALSE(convertDefinition_(4096, definition.data(), &d.skeletonId, &d.revision,
                                    &d.boneCount, &d.createdMicros, &d.flags, &q[0], &q[1], &q[2],
                                    &q[3], &q[4], &q[5], nullptr));
    EXPECT_TRUE(untouched(f, d));
}

TEST_F(ZmfModule, EachThreadGetsItsOwnArrays) {
    // Two capture threads decode different frames of the same size. Each first decodes once and
    // waits until the other has decoded too, so shared storage would by then hold the other
    // thread's values; then both decode and check concurrently (a race ThreadSanitizer sees).
    constexpr int kRounds = 5000;
    const zmf::FramePacket frames[2] = {zmf_test::sampleFrame(27, 1), zmf_test::sampleFrame(27, 2)};
    const std::vector<std::byte> buffers[2] = {zmf_test::inReceiveBuffer(zmf::encode(frames[0])),
                                               zmf_test::inReceiveBuffer(zmf::encode(frames[1]))};
    bool keptOwnValues[2] = {false, false};
    int mismatches[2] = {0, 0};
    float* firstRun[2] = {nullptr, nullptr};
    std::atomic<int> decodedOnce{0};

    auto capture = [&](int t) {
        DecodedFrame held;
        const bool converted = convert(buffers[t], held);
        decodedOnce.fetch_add(1);
        while (decodedOnce.load() < 2) {
            std::this_thread::yield();
        }
        keptOwnValues[t] = converted && holds(held, frames[t].bones, &frames[t].boneIds);
        firstRun[t] = held.runs[0];
        for (int round = 0; round < kRounds; ++round) {
            DecodedFrame out;
            if (!convert(buffers[t], out) || !holds(out, frames[t].bones, &frames[t].boneIds)) {
                ++mismatches[t];
            }
        }
    };
    std::thread first(capture, 0);
    std::thread second(capture, 1);
    first.join();
    second.join();

    EXPECT_TRUE(keptOwnValues[0]);
    EXPECT_TRUE(keptOwnValues[1]);
    EXPECT_NE(firstRun[0], firstRun[1]);
    EXPECT_EQ(mismatches[0], 0);
    EXPECT_EQ(mismatches[1], 0);
}

// Names the module defines in its dynamic symbol table, per `nm -D --defined-only`.
std::set<std::string> exportedNames(const std::string& path) {
    std::set<std::string> names;
    FILE* pipe = popen(("nm -D --defined-only '" + path + "'").c_str(), "r");
    if (pipe == nullptr) {
        return names;
    }
    std::array<char, 512> line{};
    while (std::fgets(line.data(), static_cast<int>(line.size()), pipe) != nullptr) {
        std::istringstream fields(line.data());
        std::string address;
        std::string type;
        std::string name;
        if (fields >> address >> type >> name) {
            names.insert(name);
        }
    }
    pclose(pipe);
    return names;
}

TEST(ZmfModuleExports, ExactlyTheFiveEntryPoints) {
    const std::set<std::string> runtime = {"_init", "_fini", "__bss_start", "_edata", "_end"};
    std::set<std::string> ours;
    for (const std::string& name : exportedNames(ZMF_TEST_MODULE_PATH)) {
        if (runtime.count(name) == 0) {
            ours.insert(name);
        }
    }
    EXPECT_EQ(ours, std::set<std::string>(kEntryPoints.begin(), kEntryPoints.end()));
}

TEST(ZmfModuleExports, EachTestVariantLacksExactlyItsEntryPoint) {
    for (int k = 1; k <= 5; ++k) {
        const std::string path = std::string(ZMF_TEST_LIBS_DIR) + "/missing_" + std::to_string(k) +
                                 "/ZarnMotionFormat/" + ZMF_TEST_PLATFORM_DIR + "/" +
                                 ZMF_TEST_MODULE_FILE;
        Module variant(path);
        ASSERT_TRUE(variant.loaded()) << path << ": " << dlerror();
        for (std::size_t index = 0; index < kEntryPoints.size(); ++index) {
            const bool present = variant.symbol<void*>(kEntryPoints[index]) != nullptr;
            EXPECT_EQ(present, static_cast<int>(index) + 1 != k)
                << "variant " << k << ", " << kEntryPoints[index];
        }
    }
}

}  // namespace
