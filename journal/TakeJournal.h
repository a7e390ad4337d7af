#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ByteRing.h"
#include "SampleMapFormat.h"
#include "TakeSidecar.h"

// A node's take journal: while a take records, every datagram the node receives and every
// sample the take gets go to disk, as <folder>/<node>_take<N>.pcap, .samples and .json.
// Producers only copy into bounded rings, never wait and never allocate in the steady state;
// a record that does not fit is counted and the take marked incomplete. One writer thread per
// journal does every file operation, flushing at least once a second, so a crash loses at
// most the last second. A write that fails ends that take's journal, marks it incomplete and
// reports once through the warning function; streaming and recording go on. An exception on
// the writer thread (an allocation failing as a record is formatted) does the same and the
// writer goes on with the next take, since the process would not survive it leaving.
//
// Threads: the capture thread calls noteDatagram and tagBlock; the take code (compute, or
// the main thread ending a take), serialised by its own lock, calls noteSample, blockSerial
// and endTake; the main thread calls prepare; the writer thread does the rest.
class TakeJournal {
public:
    using WriteFunction = ssize_t (*)(int, const void*, std::size_t);
    // Called on the writer thread, once per take, with the file and the system's reason.
    using WarningFunction = std::function<void(const std::string& file, const std::string& reason)>;

    struct Options {
        // Several seconds of a 60 fps stream each, against a writer that drains every cycle.
        std::size_t datagramRingBytes = std::size_t{1} << 19U;
        std::size_t sampleRingBytes = std::size_t{1} << 20U;
        std::chrono::milliseconds cycle{200};
        WriteFunction write = nullptr;  // null: the system's write(); tests inject failures
    };

    // The writer thread's name, so tools and benchmarks can tell it from the capture threads.
    static constexpr const char* kWriterThreadName = "tulvex-journal";

    TakeJournal(Options options, WarningFunction warn);
    // Ends a take still open as incomplete, writes what is queued and stops the writer.
    ~TakeJournal();
    TakeJournal(const TakeJournal&) = delete;
    TakeJournal& operator=(const TakeJournal&) = delete;

    // Main thread: the folder and description of the takes to come. An empty folder turns
    // journaling off until the next call. While on, the capture side queues every datagram,
    // so that the one a take's first sample showed, which came before the take, is kept.
    void prepare(std::string folder, TakeSidecar description);

    // Capture thread: a datagram as received, with its arrival on the steady clock and its
    // sender (host byte order). Journaled while a take is open; counted always.
    void noteDatagram(const std::byte* payload, std::size_t size, std::int64_t steadyNanoseconds,
                      std::uint32_t senderAddress, std::uint16_t senderPort);
    // Capture thread: the block at `block` carries the state of the last datagram noted.
    void tagBlock(const void* block);

    // Take code: the datagram whose state the block at `block` carries; the last noted when
    // the pose did not come from a tagged block.
    std::int64_t blockSerial(const void* block) const;
    // Take code: one sample of the take; its first sample opens the take.
    void noteSample(double time, std::int64_t datagramSerial, const SampleMapFormat::Bone* bones,
                    std::uint32_t boneCount);
    // Take code: the take ended and went to the bake.
    void endTake();
    bool takeOpen() const { return mOpenGeneration.load(std::memory_order_acquire) != 0; }

    // Any thread: the sidecar of the take being or last journaled; empty before the first.
    std::string currentFile() const;
    // Waits until the writer has handled everything queued before the call.
    void flush();

    std::uint64_t datagramsDropped() const { return mDatagramsDropped.load(); }
    std::uint64_t samplesDropped() const { return mSamplesDropped.load(); }

private:
    struct Control;
    struct OpenTake;
    static constexpr int kBlockSlots = 8;

    void run();
    // One cycle and, when stopping, the end of the take still open; never throws.
    void step(std::deque<Control>& controls, bool stopping) noexcept;
    // After an exception: the open take ends as a write failure ends it, its files closed.
    void abandonTake(const char* what) noexcept;
    void cycle(std::deque<Control>& controls);
    void drainRings(OpenTake* take);
    void drainDatagrams(OpenTake* take);
    void writeDatagram(OpenTake& take, const std::vector<std::byte>& record);
    void keep(const std::vector<std::byte>& record, std::uint64_t serial);
    void apply(Control& control);
    void begin(Control& control);
    // An empty reason ends the take complete, unless records were dropped.
    void finish(const std::string& incompleteReason);
    void writeOut(OpenTake& take, bool sync);
    void fail(OpenTake& take, const std::string& file, int error);
    // Marks the take incomplete for `reason`; false when it had failed already.
    static bool markIncomplete(OpenTake& take, const std::string& reason);
    static void closeFiles(OpenTake& take);
    bool writeSidecar(OpenTake& take);
    bool writeAll(int descriptor, const std::vector<std::byte>& bytes, int& error);

    Options mOptions;
    WarningFunction mWarn;
    std::int64_t mWallOffsetNanoseconds;  // wall clock minus steady clock; read-only

    ByteRing mDatagrams;  // capture produces, writer consumes
    ByteRing mSamples;    // take code produces, writer consumes
    // Generation of the take open to producers, 0 when none: the take code writes.
    std::atomic<std::uint32_t> mOpenGeneration{0};
    std::atomic<bool> mArmed{false};    // main thread writes, capture reads: a folder is set
    std::uint32_t mLastGeneration = 0;  // take code only
    std::atomic<std::uint64_t> mNextSerial{0};        // capture writes, take code reads
    std::atomic<std::uint64_t> mDatagramsDropped{0};  // producers add, writer reads
    std::atomic<std::uint64_t> mSamplesDropped{0};
    struct BlockSlot {
        std::atomic<const void*> block{nullptr};
        std::atomic<std::int64_t> serial{-1};
    };
    BlockSlot mBlockSlots[kBlockSlots];  // capture writes, take code reads
    bool mTakeStarted = false;           // take code only: a sample came since the last end

    // Controls (take begun or ended) and the next take's description, for the writer.
    mutable std::mutex mMutex;  // guards the members down to mStop
    std::condition_variable mWake;
    std::deque<Control> mControls;
    std::shared_ptr<const TakeSidecar> mDescription;
    std::string mFolder;
    std::string mCurrentFile;
    std::uint64_t mFlushRequested = 0;
    std::uint64_t mFlushDone = 0;
    bool mStop = false;

    std::unique_ptr<OpenTake> mTake;            // writer only
    std::uint32_t mGenerationBegun = 0;         // writer only
    std::vector<std::byte> mRecord;             // writer only
    std::vector<std::byte> mDatagramRecord;     // writer only
    std::vector<SampleMapFormat::Bone> mBones;  // writer only
    // The last datagrams no take held, for the take that begins with one of them.
    struct Kept {
        std::vector<std::byte> record;
        std::uint64_t serial;
    };
    std::deque<Kept> mKept;  // writer only
    // An exception came while no take was open, and was warned of; cleared as a take begins.
    bool mWarnedWithoutTake = false;  // writer only
    std::thread mWriter;
};
