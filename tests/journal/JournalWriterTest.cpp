// The writer thread: what a take leaves on disk, and how it fails without stopping anyone.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <new>
#include <thread>

#include "JournalReader.h"
#include "JournalTestFolder.h"
#include "TakeJournal.h"

namespace {

// A bone's values as bits, so that -0.0 and 0.0 differ.
std::array<std::uint64_t, 10> bitsOf(const SampleMapFormat::Bone& bone) {
    std::array<std::uint64_t, 10> bits{};
    static_assert(sizeof(bits) == sizeof(bone), "a bone is ten doubles");
    std::memcpy(bits.data(), &bone, sizeof(bone));
    return bits;
}

constexpr std::uint32_t kBones = 27;

TakeSidecar description() {
    TakeSidecar sidecar;
    sidecar.pluginVersion = "1.0.1";
    sidecar.node = "tulvexDevice1";
    sidecar.port = 12351;
    sidecar.timeUnit = "film";
    sidecar.skeletonName = "tulvexCharacter0_Skeleton";
    for (std::uint32_t b = 0; b < kBones; ++b) {
        sidecar.bones.push_back("bone" + std::to_string(b));
    }
    return sidecar;
}

std::vector<SampleMapFormat::Bone> pose(double value) {
    std::vector<SampleMapFormat::Bone> bones(kBones);
    for (std::uint32_t b = 0; b < kBones; ++b) {
        bones[b] = {{value, b * 1.0, -value}, {value / 3.0, 0.0, 1.0}, {1.0, 0.0, value, 0.0}};
    }
    return bones;
}

// Collects the writer's warnings; the journal calls it on its own thread.
struct Warnings {
    std::mutex mutex;
    std::vector<std::string> texts;
    TakeJournal::WarningFunction function() {
        return [this](const std::string& file, const std::string& reason) {
            std::lock_guard<std::mutex> lock(mutex);
            texts.push_back(file + ": " + reason);
        };
    }
    std::vector<std::string> taken() {
        std::lock_guard<std::mutex> lock(mutex);
        return texts;
    }
};

// One take as a node makes it: datagrams on the capture side, a tagged block, the samples
// that showed it, then the end.
void recordTake(TakeJournal& journal, int frames, int firstFrame = 0) {
    int block = 0;  // stands for a pool buffer's address
    for (int f = firstFrame; f < firstFrame + frames; ++f) {
        const std::string payload = "frame " + std::to_string(f);
        journal.noteDatagram(reinterpret_cast<const std::byte*>(payload.data()), payload.size(),
                             1000000LL * f, 0x7F000001, 40000);
        journal.tagBlock(&block);
        const std::vector<SampleMapFormat::Bone> bones = pose(f);
        journal.noteSample(100.0 + f, journal.blockSerial(&block), bones.data(), kBones);
    }
    journal.endTake();
    journal.flush();
}

TEST(TakeJournalTest, ATakeReadsBackWithEverySampleMappedToTheDatagramItShowed) {
    JournalTestFolder folder;
    Warnings warnings;
    TakeJournal journal({}, warnings.function());
    const std::string dir = folder.path() + "/data/tulvex/untitled";
    journal.prepare(dir, description());
    // Datagrams before the take opens are not its own.
    const std::string early = "before";
    journal.noteDatagram(reinterpret_cast<const std::byte*>(early.data()), early.size(), 0, 1, 2);
    recordTake(journal, 50);

    ASSERT_EQ(journal.currentFile(), dir + "/tulvexDevice1_take1.json");
    JournalReader::Contents contents;
    std::string error;
    ASSERT_TRUE(JournalReader::read(dir + "/tulvexDevice1_take1.pcap", contents, error)) << error;
    EXPECT_EQ(contents.sidecar.state, "complete");
    EXPECT_EQ(contents.sidecar.datagrams, 50U);
    EXPECT_EQ(contents.datagrams, 50U);
    ASSERT_EQ(contents.samples.size(), 50U);
    for (std::size_t s = 0; s < contents.samples.size(); ++s) {
        const SampleMapFormat::Sample& sample = contents.samples[s];
        EXPECT_EQ(sample.time, 100.0 + static_cast<double>(s));
        EXPECT_EQ(sample.datagramIndex, static_cast<std::int64_t>(s));
        const std::vector<SampleMapFormat::Bone> expected = pose(static_cast<double>(s));
        for (std::uint32_t b = 0; b < kBones; ++b) {
            ASSERT_EQ(bitsOf(sample.bones[b]), bitsOf(expected[b])) << "sample " << s;
        }
    }
    EXPECT_TRUE(warnings.taken().empty());
    EXPECT_FALSE(std::filesystem::exists(dir + "/tulvexDevice1_take1.json.tmp"));

    // The next take gets the next number, and numbers already on disk are never reused.
    recordTake(journal, 3);
    EXPECT_EQ(journal.currentFile(), dir + "/tulvexDevice1_take2.json");
    JournalTestFolder::writeText(dir + "/tulvexDevice1_take9.json", "{}");
    recordTake(journal, 3);
    EXPECT_EQ(journal.currentFile(), dir + "/tulvexDevice1_take10.json");
}

// The capture thread and the take code run beside the writer, which drains between any two
// of their steps: a sample must still find the datagram it showed, however late it came.
TEST(TakeJournalTest, SamplesTakenWhileTheWriterDrainsFindTheirDatagrams) {
    JournalTestFolder folder;
    Warnings warnings;
    TakeJournal::Options options;
    options.cycle = std::chrono::milliseconds(1);
    constexpr int kFrames = 2000;
    // Room for the whole take: this test is about order, not about a writer left behind.
    options.sampleRingBytes = std::size_t{1} << 24U;
    TakeJournal journal(options, warnings.function());
    journal.prepare(folder.path(), description());
    int block = 0;  // one pool buffer, read by the take code before the next datagram
    std::atomic<int> tagged{-1};
    std::atomic<int> sampled{-1};
    std::thread capture([&] {
        for (int f = 0; f < kFrames; ++f) {
            while (sampled.load() != f - 1) {
                std::this_thread::yield();
            }
            const std::string payload = "frame " + std::to_string(f);
            journal.noteDatagram(reinterpret_cast<const std::byte*>(payload.data()), payload.size(),
                                 f, 1, 2);
            journal.tagBlock(&block);
            tagged.store(f);
        }
    });
    const std::vector<SampleMapFormat::Bone> bones = pose(1.0);
    for (int f = 0; f < kFrames; ++f) {
        while (tagged.load() != f) {
            std::this_thread::yield();
        }
        journal.noteSample(f, journal.blockSerial(&block), bones.data(), kBones);
        sampled.store(f);
    }
    capture.join();
    journal.endTake();
    journal.flush();
    JournalReader::Contents contents;
    std::string error;
    ASSERT_TRUE(JournalReader::read(journal.currentFile(), contents, error)) << error;
    ASSERT_EQ(contents.samples.size(), static_cast<std::size_t>(kFrames));
    EXPECT_EQ(contents.sidecar.state, "complete");
    int unmapped = 0;
    for (const SampleMapFormat::Sample& sample : contents.samples) {
        unmapped += sample.datagramIndex != static_cast<std::int64_t>(sample.time) ? 1 : 0;
    }
    EXPECT_EQ(unmapped, 0);
}

TEST(TakeJournalTest, TheSidecarSummarisesTheTakeForAListThatDoesNotReadItsSamples) {
    JournalTestFolder folder;
    Warnings warnings;
    TakeJournal journal({}, warnings.function());
    TakeSidecar take = description();
    take.playbackStep = 2.0;
    journal.prepare(folder.path(), take);
    const std::vector<SampleMapFormat::Bone> bones = pose(1.0);
    for (const double time : {10.0, 12.0, 14.0, 20.0, 22.0, 30.0}) {
        journal.noteSample(time, -1, bones.data(), kBones);
    }
    journal.endTake();
    journal.flush();
    TakeSidecar sidecar;
    std::string error;
    ASSERT_TRUE(TakeSidecar::fromJson(
        JournalTestFolder::readText(folder.path() + "/tulvexDevice1_take1.json"), sidecar, error))
        << error;
    EXPECT_EQ(sidecar.state, "complete");
    EXPECT_TRUE(sidecar.hasSummary);
    EXPECT_EQ(sidecar.samples, 6U);
    EXPECT_EQ(sidecar.firstTime, 10.0);
    EXPECT_EQ(sidecar.lastTime, 30.0);
    EXPECT_EQ(sidecar.gaps, 2U);
}

// A datagram ring with room for a few datagrams, drained only when flushed.
TakeJournal::Options smallRing() {
    TakeJournal::Options options;
    options.datagramRingBytes = 4096;
    options.cycle = std::chrono::milliseconds(10000);
    return options;
}

// `count` datagrams of 1000 bytes, more than a small ring holds.
void sendLargeDatagrams(TakeJournal& journal, int count) {
    const std::string payload(1000, 'x');
    for (int i = 0; i < count; ++i) {
        journal.noteDatagram(reinterpret_cast<const std::byte*>(payload.data()), payload.size(), i,
                             1, 2);
    }
}

TEST(TakeJournalTest, AFullQueueDropsCountsAndMarksTheTakeIncompleteWhileProducersGoOn) {
    JournalTestFolder folder;
    Warnings warnings;
    TakeJournal journal(smallRing(), warnings.function());
    journal.prepare(folder.path(), description());
    const std::vector<SampleMapFormat::Bone> bones = pose(1.0);
    journal.noteSample(1.0, -1, bones.data(), kBones);
    sendLargeDatagrams(journal, 20);
    EXPECT_GT(journal.datagramsDropped(), 0U);
    journal.endTake();
    journal.flush();
    JournalReader::Contents contents;
    std::string error;
    ASSERT_TRUE(JournalReader::read(journal.currentFile(), contents, error)) << error;
    EXPECT_EQ(contents.sidecar.state, "incomplete");
    EXPECT_NE(contents.sidecar.reason.find("could not keep up"), std::string::npos);
    EXPECT_EQ(contents.datagrams + journal.datagramsDropped(), 20U);
}

// Datagrams the ring had no room for leave a hole in the capture: a sample that showed one of
// them maps to none, and one that showed a later datagram to that datagram.
TEST(TakeJournalTest, ASampleOfADatagramTheRingDroppedMapsToNone) {
    JournalTestFolder folder;
    Warnings warnings;
    TakeJournal journal(smallRing(), warnings.function());
    journal.prepare(folder.path(), description());
    const std::vector<SampleMapFormat::Bone> bones = pose(1.0);
    journal.noteSample(1.0, -1, bones.data(), kBones);
    sendLargeDatagrams(journal, 12);
    journal.flush();
    const std::uint64_t kept = 12 - journal.datagramsDropped();
    ASSERT_LT(kept, 10U);
    const std::string last = "last";
    journal.noteDatagram(reinterpret_cast<const std::byte*>(last.data()), last.size(), 12, 1, 2);
    journal.noteSample(2.0, 10, bones.data(), kBones);  // a dropped one
    journal.noteSample(3.0, 12, bones.data(), kBones);
    journal.endTake();
    journal.flush();
    JournalReader::Contents contents;
    std::string error;
    ASSERT_TRUE(JournalReader::read(journal.currentFile(), contents, error)) << error;
    std::vector<std::vector<std::byte>> payloads;
    ASSERT_TRUE(JournalReader::readPayloads(journal.currentFile(), payloads, error)) << error;
    ASSERT_EQ(payloads.size(), kept + 1);
    ASSERT_EQ(contents.samples.size(), 3U);
    EXPECT_EQ(contents.samples[1].datagramIndex, -1);
    ASSERT_EQ(contents.samples[2].datagramIndex, static_cast<std::int64_t>(kept));
    EXPECT_EQ(
        std::string(reinterpret_cast<const char*>(payloads[kept].data()), payloads[kept].size()),
        last);
}

ssize_t failingWrite(int /*descriptor*/, const void* /*data*/, std::size_t /*size*/) {
    errno = ENOSPC;
    return -1;
}

TEST(TakeJournalTest, AWriteFailureWarnsOncePerTakeNamingTheFileAndTheSystemsReason) {
    JournalTestFolder folder;
    Warnings warnings;
    TakeJournal::Options options;
    options.write = &failingWrite;
    TakeJournal journal(options, warnings.function());
    journal.prepare(folder.path(), description());
    recordTake(journal, 30);
    recordTake(journal, 30);
    const std::vector<std::string> texts = warnings.taken();
    ASSERT_EQ(texts.size(), 2U);
    // The sidecar, written as the take starts, is the first file to fail.
    EXPECT_EQ(texts[0], folder.path() + "/tulvexDevice1_take1.json: " + std::strerror(ENOSPC));
    EXPECT_NE(texts[1].find("_take2."), std::string::npos);
}

// The write that brings the count to zero throws std::bad_alloc, as an allocation failing on
// the writer thread would; every other write goes to the file. Below zero none throws.
std::atomic<int> gWritesBeforeThrow{-1};

ssize_t throwingWrite(int descriptor, const void* data, std::size_t size) {
    if (gWritesBeforeThrow.fetch_sub(1) == 0) {
        throw std::bad_alloc();
    }
    return ::write(descriptor, data, size);
}

TakeSidecar sidecarOf(const std::string& path) {
    TakeSidecar sidecar;
    std::string error;
    EXPECT_TRUE(TakeSidecar::fromJson(JournalTestFolder::readText(path), sidecar, error)) << error;
    return sidecar;
}

// Whether a writer still holds the lock it keeps on a take's pcap while the file is open.
bool pcapLocked(const std::string& path) {
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_GE(descriptor, 0) << path;
    const bool locked = flock(descriptor, LOCK_EX | LOCK_NB) != 0;
    close(descriptor);
    return locked;
}

TEST(TakeJournalTest, AnExceptionInTheWriterEndsThatTakeAsAWriteFailureAndTheWriterGoesOn) {
    JournalTestFolder folder;
    Warnings warnings;
    TakeJournal::Options options;
    options.write = &throwingWrite;
    const std::string reason =
        std::string("the writer stopped on an unexpected error: ") + std::bad_alloc().what();
    const std::string take = folder.path() + "/tulvexDevice1_take";
    {
        TakeJournal journal(options, warnings.function());
        journal.prepare(folder.path(), description());
        // The first write is the sidecar's, as the take begins. flush returning shows the
        // writer still runs.
        gWritesBeforeThrow.store(0);
        recordTake(journal, 30);
        EXPECT_EQ(warnings.taken(), std::vector<std::string>{take + "1.json: " + reason});
        const TakeSidecar first = sidecarOf(take + "1.json");
        EXPECT_EQ(first.state, "incomplete");
        EXPECT_EQ(first.reason, reason);
        EXPECT_FALSE(pcapLocked(take + "1.pcap")) << "its files are closed";

        // Streaming and recording went on; the next take is whole.
        recordTake(journal, 20);
        JournalReader::Contents contents;
        std::string error;
        ASSERT_TRUE(JournalReader::read(take + "2.json", contents, error)) << error;
        EXPECT_EQ(contents.sidecar.state, "complete");
        EXPECT_EQ(contents.datagrams, 20U);
        EXPECT_EQ(contents.samples.size(), 20U);
        EXPECT_EQ(warnings.taken().size(), 1U);

        // A take still open as the node goes: its last writes, in the destructor, throw.
        int block = 0;
        for (int f = 0; f < 10; ++f) {
            const std::string payload = "frame " + std::to_string(f);
            journal.noteDatagram(reinterpret_cast<const std::byte*>(payload.data()), payload.size(),
                                 1000000LL * f, 0x7F000001, 40000);
            journal.tagBlock(&block);
            const std::vector<SampleMapFormat::Bone> bones = pose(f);
            journal.noteSample(100.0 + f, journal.blockSerial(&block), bones.data(), kBones);
        }
        journal.flush();
        ASSERT_EQ(journal.currentFile(), take + "3.json");
        gWritesBeforeThrow.store(0);
    }
    gWritesBeforeThrow.store(-1);
    const std::vector<std::string> texts = warnings.taken();
    ASSERT_EQ(texts.size(), 2U);
    EXPECT_EQ(texts[1], take + "3.json: " + reason);
    EXPECT_EQ(sidecarOf(take + "3.json").state, "incomplete");
    EXPECT_FALSE(pcapLocked(take + "3.pcap")) << "the destructor joined a writer that closed it";
}

TEST(TakeJournalTest, AFolderThatCannotBeMadeOrAPathTooLongWarnsAndRecordingGoesOn) {
    JournalTestFolder folder;
    const std::string blocker = folder.path() + "/file";
    JournalTestFolder::writeText(blocker, "not a folder");
    const struct {
        std::string folder;
        int error;
    } cases[] = {{blocker + "/data", ENOTDIR},
                 {folder.path() + "/" + std::string(300, 'n'), ENAMETOOLONG}};
    for (const auto& c : cases) {
        Warnings warnings;
        TakeJournal journal({}, warnings.function());
        journal.prepare(c.folder, description());
        recordTake(journal, 10);
        const std::vector<std::string> texts = warnings.taken();
        ASSERT_EQ(texts.size(), 1U) << c.folder;
        EXPECT_NE(texts[0].find(std::strerror(c.error)), std::string::npos) << texts[0];
        EXPECT_FALSE(journal.takeOpen());
    }
}

TEST(TakeJournalTest, NoFolderMeansNoJournalAndNothingQueued) {
    Warnings warnings;
    TakeJournal journal({}, warnings.function());
    recordTake(journal, 5);
    EXPECT_TRUE(journal.currentFile().empty());
    EXPECT_EQ(journal.datagramsDropped(), 0U);
}

// A real limit of the system: past RLIMIT_FSIZE the write fails with EFBIG (the signal it
// raises is ignored, as hosts that journal must). Run in a child, since the limit is the
// process's.
// 0 when the take ran into the limit, warned once with EFBIG and left a readable journal
// marked incomplete.
int recordUnderAFileSizeLimit(const std::string& path) {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    limit.rlim_cur = 20000;
    limit.rlim_max = 20000;
    setrlimit(RLIMIT_FSIZE, &limit);
    Warnings warnings;
    TakeJournal journal({}, warnings.function());
    journal.prepare(path, description());
    recordTake(journal, 200);
    const std::vector<std::string> texts = warnings.taken();
    JournalReader::Contents contents;
    std::string error;
    const bool read = JournalReader::read(path + "/tulvexDevice1_take1.json", contents, error);
    const bool warned =
        texts.size() == 1 && texts[0].find(std::strerror(EFBIG)) != std::string::npos;
    return warned && read && contents.sidecar.state == "incomplete" && !contents.samples.empty()
               ? 0
               : 1;
}

TEST(TakeJournalDeathTest, AFileSizeLimitEndsTheJournalNotTheRecording) {
    JournalTestFolder folder;
    EXPECT_EXIT(std::_Exit(recordUnderAFileSizeLimit(folder.path())), ::testing::ExitedWithCode(0),
                "");
}

}  // namespace
