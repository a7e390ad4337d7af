// What journaling costs the capture side, and what the writers cost: 32 performers at 60 fps
// for a few seconds, each node's capture work (a datagram noted, a block tagged) and take
// work (a sample noted) done on one thread, with journaling on and then off. Prints the
// producer's CPU per datagram both ways, the writers' CPU, the bytes a second and what a
// 30-minute take comes to, and the rings' memory.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "TakeJournal.h"
#include "ThreadCpu.h"

namespace {

constexpr int kPerformers = 32;
constexpr int kFps = 60;
constexpr int kSeconds = 5;
constexpr std::size_t kDatagramBytes = 1100;  // a 27-bone frame is about this long
constexpr std::uint32_t kBones = 27;

struct Run {
    double producerSeconds = 0.0;
    double writerSeconds = 0.0;
    std::uintmax_t bytes = 0;
};

std::uintmax_t folderBytes(const std::filesystem::path& folder) {
    std::uintmax_t total = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        total += entry.is_regular_file() ? entry.file_size() : 0;
    }
    return total;
}

Run run(bool journaling, const std::filesystem::path& folder) {
    const std::vector<int> before = ThreadCpu::threadIds();
    std::vector<std::unique_ptr<TakeJournal>> journals;
    TakeSidecar description;
    description.node = "node";
    description.bones.assign(kBones, "bone");
    for (int p = 0; p < kPerformers; ++p) {
        journals.push_back(std::make_unique<TakeJournal>(TakeJournal::Options{}, nullptr));
        if (journaling) {
            description.node = "performer" + std::to_string(p);
            journals.back()->prepare(folder.string(), description);
        }
    }
    const std::vector<int> writers = ThreadCpu::newThreads(before, ThreadCpu::threadIds());
    const double writersBefore = ThreadCpu::seconds(writers);
    const int self = static_cast<int>(gettid());
    const double producerBefore = ThreadCpu::seconds(self);

    std::vector<std::byte> datagram(kDatagramBytes, std::byte{0x5a});
    std::vector<SampleMapFormat::Bone> bones(kBones);
    int block = 0;
    auto next = std::chrono::steady_clock::now();
    for (int frame = 0; frame < kFps * kSeconds; ++frame) {
        next += std::chrono::microseconds(1000000 / kFps);
        std::this_thread::sleep_until(next);
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        for (const auto& journal : journals) {
            journal->noteDatagram(datagram.data(), datagram.size(), now, 0x7f000001, 40000);
            journal->tagBlock(&block);
            journal->noteSample(frame, journal->blockSerial(&block), bones.data(), kBones);
        }
    }
    Run result;
    result.producerSeconds = ThreadCpu::seconds(self) - producerBefore;
    for (const auto& journal : journals) {
        journal->endTake();
        journal->flush();
    }
    result.writerSeconds = ThreadCpu::seconds(writers) - writersBefore;
    journals.clear();
    result.bytes = journaling ? folderBytes(folder) : 0;
    return result;
}

}  // namespace

int main() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tulvex-journal-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path folder = pattern;
    const Run off = run(false, folder);
    const Run on = run(true, folder);
    const double datagrams = static_cast<double>(kPerformers) * kFps * kSeconds;
    std::printf("%d performers at %d fps for %d s, %zu-byte datagrams\n", kPerformers, kFps,
                kSeconds, kDatagramBytes);
    std::printf("capture and take side, per datagram: journaling off %.2f us, on %.2f us\n",
                off.producerSeconds / datagrams * 1e6, on.producerSeconds / datagrams * 1e6);
    std::printf("writer threads: %.3f s CPU for %d s of streaming (%.2f%% of one core)\n",
                on.writerSeconds, kSeconds, on.writerSeconds / kSeconds * 100.0);
    const double bytesPerSecond = static_cast<double>(on.bytes) / kSeconds / kPerformers;
    std::printf("journal per performer: %.0f KB/s, %.0f MB for a 30-minute take\n",
                bytesPerSecond / 1e3, bytesPerSecond * 1800.0 / 1e6);
    std::printf(
        "ring memory per node: %zu KiB\n",
        (TakeJournal::Options{}.datagramRingBytes + TakeJournal::Options{}.sampleRingBytes) / 1024);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident set of the bench: %ld MB\n", usage.ru_maxrss / 1024);
    std::filesystem::remove_all(folder);
    return 0;
}
