// Memory of writing a long take. A synthetic take for one performer (162 curves, a key per
// sample at 60 samples a second, as the bake leaves them) is put in the stand-in host's scene
// and written as tulvex-host writes it: each key read from its curve as it is written, into a
// temporary file renamed into place. Beside it, from the same run, the way it was written
// before: every key copied out of the scene, the whole text built in memory, then written.
// Peaks are the growth of the process's resident set over what the scene already holds.
// Usage: tulvex_take_write_bench [minutes, default 30]
#include <maya/MFnAnimCurve.h>
#include <maya/MFnDependencyNode.h>
#include <maya/MString.h>
#include <maya/MTime.h>
#include <mayahost/HostControl.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "AnimCurveKeySource.h"
#include "BoneTable.h"
#include "MayaAsciiWriter.h"
#include "OutputFile.h"
#include "SceneCollector.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kSamplesPerSecond = 60.0;
constexpr double kFilmFramesPerSample = 24.0 / kSamplesPerSecond;
constexpr const char* kChannels[] = {"tx", "ty", "tz", "rx", "ry", "rz"};

// A value of /proc/self/status in KiB, such as "VmRSS" or "VmHWM".
long statusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    const std::string prefix = std::string(field) + ":";
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(prefix, 0) == 0) {
            return std::atol(line.c_str() + prefix.size());
        }
    }
    return -1;
}

// Sets the peak the kernel reports back to the current resident set.
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

double mebibytes(long kilobytes) {
    return static_cast<double>(kilobytes) / 1024.0;
}

// The curves a bake of a take of `samples` samples leaves for device 0.
void bakeSyntheticTake(long samples) {
    const std::string skeleton = BoneTable::skeletonName(0);
    for (int bone = 0; bone < BoneTable::kBoneCount; ++bone) {
        for (int channel = 0; channel < 6; ++channel) {
            MFnAnimCurve curve;
            MStatus status;
            curve.create(MFnAnimCurve::kAnimCurveTL, nullptr, &status);
            if (status != MStatus::kSuccess) {
                std::fprintf(stderr, "cannot create a curve\n");
                std::exit(1);
            }
            const std::string name =
                BoneTable::jointName(skeleton, bone) + "_" + kChannels[channel];
            MFnDependencyNode(curve.object()).setName(MString(name.c_str()), false, &status);
            for (long i = 0; i < samples; ++i) {
                const double time = 1.0 + static_cast<double>(i) * kFilmFramesPerSample;
                curve.addKeyframe(MTime(time, MTime::kFilm),
                                  std::sin(static_cast<double>(i + bone + channel) * 0.01) * 90.0);
            }
        }
    }
}

SceneData::Skeleton skeletonOfTake() {
    return SceneCollector::skeletonOf(
        0, std::vector<std::array<double, 3>>(BoneTable::kBoneCount, {0.0, 5.0, 0.0}));
}

// As tulvex-host writes: streamed from the scene into a file renamed into place.
std::uintmax_t writeStreamed(const std::filesystem::path& path) {
    OutputFile file(path.string());
    MayaAsciiWriter writer(file.stream());
    writer.writeHeader();
    writer.writeSkeleton(skeletonOfTake());
    for (const SceneData::Curve& curve : SceneCollector::bakedCurves(0)) {
        writer.writeCurve(curve, AnimCurveKeySource(curve.name));
    }
    writer.finish();
    file.commit();
    return std::filesystem::file_size(path);
}

// As it was written before: every key copied into scene data, the text built whole, written.
std::uintmax_t writeWhole(const std::filesystem::path& path) {
    SceneData scene;
    scene.skeletons.push_back(skeletonOfTake());
    for (SceneData::Curve curve : SceneCollector::bakedCurves(0)) {
        for (const mayahost::CurveKey& key : mayahost::animCurveKeys(curve.name)) {
            curve.keys.push_back({key.time, key.value});
        }
        scene.curves.push_back(std::move(curve));
    }
    std::ostringstream text;
    MayaAsciiWriter::write(scene, text);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text.str();
    return std::filesystem::file_size(path);
}

template <typename Write>
void measure(const char* label, const std::filesystem::path& path, Write write) {
    const long before = statusKilobytes("VmRSS");
    resetPeak();
    const auto start = Clock::now();
    const std::uintmax_t bytes = write(path);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const long peak = statusKilobytes("VmHWM");
    std::printf(
        "%s %.1f MiB file in %.1f s; peak memory +%.1f MiB (%.2f x the file), process "
        "peak %.1f MiB\n",
        label, static_cast<double>(bytes) / 1048576.0, seconds, mebibytes(peak - before),
        mebibytes(peak - before) / (static_cast<double>(bytes) / 1048576.0), mebibytes(peak));
    std::filesystem::remove(path);
}

}  // namespace

int main(int argc, char** argv) {
    const double minutes = argc > 1 ? std::atof(argv[1]) : 30.0;
    const auto samples = static_cast<long>(minutes * 60.0 * kSamplesPerSecond);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tulvex-take-write-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);

    const long empty = statusKilobytes("VmRSS");
    bakeSyntheticTake(samples);
    const long baked = statusKilobytes("VmRSS");
    std::printf(
        "a %.0f-minute take for one performer: 162 curves of %ld keys (%.1f million), "
        "%.1f MiB in the scene (process %.1f MiB)\n",
        minutes, samples, 162.0 * static_cast<double>(samples) / 1e6, mebibytes(baked - empty),
        mebibytes(baked));
    measure("  streamed, as tulvex-host writes now:   ", folder / "take.ma", writeStreamed);
    measure("  whole text in memory, as it did before:", folder / "take.ma", writeWhole);
    std::filesystem::remove_all(folder);
    mayahost::resetHost();
    return 0;
}
