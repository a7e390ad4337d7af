#include "TakeJournal.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>

#include "PcapFormat.h"

namespace {

struct DatagramHead {
    std::uint32_t generation;
    std::uint32_t size;
    std::int64_t steadyNanoseconds;
    std::uint64_t serial;
    std::uint32_t address;
    std::uint16_t port;
    std::uint16_t padding;
};

struct SampleHead {
    std::uint32_t generation;
    std::uint32_t boneCount;
    double time;
    std::int64_t serial;
};

std::int64_t clockNanoseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

constexpr std::chrono::seconds kSyncInterval(1);

// Makes every missing folder of `path`; 0 or the errno of the first that cannot be made.
int makeFolders(const std::string& path) {
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/') {
            continue;
        }
        const std::string prefix = path.substr(0, at);
        if (mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) {
            return errno;
        }
    }
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return errno;
    }
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

// The next take number in `folder` for `node`: one past the highest journaled there.
int nextTakeNumber(const std::string& folder, const std::string& node) {
    int highest = 0;
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr) {
        return 1;
    }
    const std::string prefix = node + "_take";
    while (const dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        int number = 0;
        std::size_t at = prefix.size();
        while (at < name.size() && name[at] >= '0' && name[at] <= '9' && number < 100000000) {
            number = number * 10 + (name[at] - '0');
            ++at;
        }
        if (at > prefix.size() && at < name.size() && name[at] == '.' && number > highest) {
            highest = number;
        }
    }
    closedir(directory);
    return highest + 1;
}

constexpr std::size_t kKeptDatagrams = 16;

}  // namespace

struct TakeJournal::Control {
    enum class Kind { Begin, End } kind;
    std::uint32_t generation = 0;
    std::int64_t firstSerial = -1;  // the datagram the first sample showed
    std::uint64_t datagramDrops = 0;
    std::uint64_t sampleDrops = 0;
    std::string folder;
    std::shared_ptr<const TakeSidecar> description;
};

struct TakeJournal::OpenTake {
    std::uint32_t generation = 0;
    TakeSidecar sidecar;
    std::string folder;
    std::string base;  // folder/node_takeN
    int pcap = -1;
    int samples = -1;
    bool failed = false;
    std::vector<std::byte> pcapBytes;
    std::vector<std::byte> sampleBytes;
    std::uint64_t datagramDropsAtBegin = 0;
    std::uint64_t sampleDropsAtBegin = 0;
    // Where the datagram serials the pcap holds jump: (first serial, its index in the pcap).
    std::vector<std::pair<std::uint64_t, std::uint64_t>> runs;
    std::uint64_t lastSerial = 0;
    std::int64_t firstSerial = -1;  // the datagram the first sample showed
    std::chrono::steady_clock::time_point lastSync;

    std::int64_t indexOf(std::int64_t serial) const {
        if (serial < 0 || runs.empty()) {
            return -1;
        }
        const auto s = static_cast<std::uint64_t>(serial);
        for (std::size_t r = runs.size(); r > 0; --r) {
            const auto& [first, index] = runs[r - 1];
            if (s < first) {
                continue;
            }
            // A run holds the datagrams up to where the next one starts in the pcap; serials
            // between its last and the next run's first were never written.
            const std::uint64_t length =
                r < runs.size() ? runs[r].second - index : lastSerial + 1 - first;
            return s - first < length ? static_cast<std::int64_t>(index + (s - first)) : -1;
        }
        return -1;
    }
};

TakeJournal::TakeJournal(Options options, WarningFunction warn)
    : mOptions(options),
      mWarn(std::move(warn)),
      mWallOffsetNanoseconds(clockNanoseconds(CLOCK_REALTIME) - clockNanoseconds(CLOCK_MONOTONIC)),
      mDatagrams(options.datagramRingBytes),
      mSamples(options.sampleRingBytes) {
    if (mOptions.write == nullptr) {
        mOptions.write = &::write;
    }
    mWriter = std::thread(&TakeJournal::run, this);
}

TakeJournal::~TakeJournal() {
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mStop = true;
    }
    mWake.notify_all();
    mWriter.join();
}

void TakeJournal::prepare(std::string folder, TakeSidecar description) {
    std::lock_guard<std::mutex> lock(mMutex);
    mArmed.store(!folder.empty(), std::memory_order_relaxed);
    mFolder = std::move(folder);
    mDescription = std::make_shared<const TakeSidecar>(std::move(description));
}

void TakeJournal::noteDatagram(const std::byte* payload, std::size_t size,
                               std::int64_t steadyNanoseconds, std::uint32_t senderAddress,
                               std::uint16_t senderPort) {
    // The serial is published after the datagram is queued: a sample that names it was
    // taken after the queueing, so the writer finds the datagram once it has the sample.
    const std::uint64_t serial = mNextSerial.load(std::memory_order_relaxed);
    if (!mArmed.load(std::memory_order_relaxed)) {
        mNextSerial.store(serial + 1, std::memory_order_release);
        return;
    }
    const std::uint32_t generation = mOpenGeneration.load(std::memory_order_acquire);
    const DatagramHead head{generation,
                            static_cast<std::uint32_t>(size),
                            steadyNanoseconds,
                            serial,
                            senderAddress,
                            senderPort,
                            0};
    if (!mDatagrams.tryWrite(&head, sizeof(head), payload, size) && generation != 0) {
        mDatagramsDropped.fetch_add(1, std::memory_order_relaxed);
    }
    mNextSerial.store(serial + 1, std::memory_order_release);
}

void TakeJournal::tagBlock(const void* block) {
    const auto serial = static_cast<std::int64_t>(mNextSerial.load(std::memory_order_relaxed)) - 1;
    BlockSlot* free = nullptr;
    for (BlockSlot& slot : mBlockSlots) {
        const void* held = slot.block.load(std::memory_order_relaxed);
        if (held == block) {
            slot.serial.store(serial, std::memory_order_release);
            return;
        }
        if (held == nullptr && free == nullptr) {
            free = &slot;
        }
    }
    if (free != nullptr) {
        free->serial.store(serial, std::memory_order_release);
        free->block.store(block, std::memory_order_release);
    }
}

std::int64_t TakeJournal::blockSerial(const void* block) const {
    for (const BlockSlot& slot : mBlockSlots) {
        if (slot.block.load(std::memory_order_acquire) == block) {
            return slot.serial.load(std::memory_order_acquire);
        }
    }
    return static_cast<std::int64_t>(mNextSerial.load(std::memory_order_acquire)) - 1;
}

void TakeJournal::noteSample(double time, std::int64_t datagramSerial,
                             const SampleMapFormat::Bone* bones, std::uint32_t boneCount) {
    if (!mTakeStarted) {
        mTakeStarted = true;
        Control control{Control::Kind::Begin,
                        0,
                        datagramSerial,
                        mDatagramsDropped.load(),
                        mSamplesDropped.load(),
                        {},
                        {}};
        {
            std::lock_guard<std::mutex> lock(mMutex);
            if (mFolder.empty() || !mDescription) {
                return;  // journaling is off for this take
            }
            control.generation = ++mLastGeneration;
            control.folder = mFolder;
            control.description = mDescription;
            mControls.push_back(std::move(control));
        }
        mWake.notify_one();
        mOpenGeneration.store(mLastGeneration, std::memory_order_release);
    }
    const std::uint32_t generation = mOpenGeneration.load(std::memory_order_relaxed);
    if (generation == 0) {
        return;
    }
    const SampleHead head{generation, boneCount, time, datagramSerial};
    if (!mSamples.tryWrite(&head, sizeof(head), bones, sizeof(SampleMapFormat::Bone) * boneCount)) {
        mSamplesDropped.fetch_add(1, std::memory_order_relaxed);
    }
}

void TakeJournal::endTake() {
    mTakeStarted = false;
    const std::uint32_t generation = mOpenGeneration.exchange(0, std::memory_order_acq_rel);
    if (generation == 0) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mControls.push_back(Control{Control::Kind::End, generation, -1, 0, 0, {}, {}});
    }
    mWake.notify_one();
}

std::string TakeJournal::currentFile() const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mCurrentFile;
}

void TakeJournal::flush() {
    std::unique_lock<std::mutex> lock(mMutex);
    const std::uint64_t ticket = ++mFlushRequested;
    mWake.notify_all();
    mWake.wait(lock, [&] { return mFlushDone >= ticket || mStop; });
}

void TakeJournal::run() {
    pthread_setname_np(pthread_self(), kWriterThreadName);
    std::deque<Control> controls;
    for (;;) {
        std::uint64_t flushTicket = 0;
        bool stopping = false;
        {
            std::unique_lock<std::mutex> lock(mMutex);
            mWake.wait_for(lock, mOptions.cycle, [&] {
                return mStop || !mControls.empty() || mFlushRequested > mFlushDone;
            });
            for (Control& control : mControls) {
                controls.push_back(std::move(control));
            }
            mControls.clear();
            flushTicket = mFlushRequested;
            stopping = mStop;
        }
        step(controls, stopping);
        if (stopping) {
            std::lock_guard<std::mutex> lock(mMutex);
            mFlushDone = mFlushRequested;
            break;
        }
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mFlushDone = flushTicket;
        }
        mWake.notify_all();
    }
    mWake.notify_all();
}

void TakeJournal::step(std::deque<Control>& controls, bool stopping) noexcept {
    try {
        cycle(controls);
        if (stopping && mTake) {
            finish("the take never ended: its node was deleted");
        }
    } catch (const std::exception& error) {
        abandonTake(error.what());
    } catch (...) {
        abandonTake("unknown exception");
    }
}

void TakeJournal::abandonTake(const char* what) noexcept {
    std::string file;
    std::string reason;
    bool warn = false;
    try {
        reason = std::string("the writer stopped on an unexpected error: ") + what;
        if (mTake) {
            file = mTake->base + ".json";
            warn = markIncomplete(*mTake, reason);
            if (warn) {
                writeSidecar(*mTake);  // best effort, as for a write that failed
            }
        } else if (!mWarnedWithoutTake) {
            // No take to mark: the next one may lack the datagrams kept for it.
            mWarnedWithoutTake = true;
            warn = true;
            const std::lock_guard<std::mutex> lock(mMutex);
            file = mFolder;
        }
    } catch (...) {  // NOLINT(bugprone-empty-catch): what is marked stays marked
    }
    if (warn && mWarn) {
        try {
            mWarn(file, reason);
        } catch (...) {  // NOLINT(bugprone-empty-catch): nothing is left to report with
        }
    }
    // Its records still queued are dropped as those of a take no longer open.
    if (mTake) {
        closeFiles(*mTake);
        mTake.reset();
    }
}

void TakeJournal::cycle(std::deque<Control>& controls) {
    // Records of a take come after its Begin and, but for one racing the end, before its
    // End: the rings are drained up to the open take's records, then the next control
    // applies, until neither moves.
    for (;;) {
        drainRings(mTake.get());
        if (controls.empty()) {
            break;
        }
        Control control = std::move(controls.front());
        controls.pop_front();
        apply(control);
    }
    if (mTake) {
        const bool sync = std::chrono::steady_clock::now() - mTake->lastSync >= kSyncInterval;
        writeOut(*mTake, sync);
        // A take cut short by a crash is listed from its sidecar: keep its summary current.
        if (sync && !mTake->failed) {
            writeSidecar(*mTake);
        }
    }
}

void TakeJournal::drainRings(OpenTake* take) {
    const std::uint32_t open = take != nullptr ? take->generation : 0;
    drainDatagrams(take);
    while (mSamples.peek(mRecord)) {
        SampleHead head{};
        std::memcpy(&head, mRecord.data(), sizeof(head));
        if (head.generation > mGenerationBegun) {
            break;
        }
        if (head.generation != open || take->failed) {
            mSamples.pop();
            continue;
        }
        // Its datagram may have been queued after the datagrams were drained above.
        if (head.serial >= 0 &&
            (take->runs.empty() || static_cast<std::uint64_t>(head.serial) > take->lastSerial)) {
            drainDatagrams(take);
        }
        mBones.resize(head.boneCount);
        std::memcpy(mBones.data(), mRecord.data() + sizeof(head),
                    sizeof(SampleMapFormat::Bone) * head.boneCount);
        mSamples.pop();
        SampleMapFormat::appendRecord(take->sampleBytes, head.time, take->indexOf(head.serial),
                                      mBones.data(), head.boneCount);
        ++take->sidecar.samples;
        take->sidecar.summarise(head.time);
    }
}

void TakeJournal::drainDatagrams(OpenTake* take) {
    const std::uint32_t open = take != nullptr ? take->generation : 0;
    while (mDatagrams.peek(mDatagramRecord)) {
        DatagramHead head{};
        std::memcpy(&head, mDatagramRecord.data(), sizeof(head));
        if (head.generation > mGenerationBegun) {
            break;  // waits for its take's Begin
        }
        // A datagram queued just before the take opened to the capture side, but drained
        // after its Begin, came after the first sample's: it is the take's.
        const bool beforeOpening = head.generation == 0 && take != nullptr &&
                                   take->firstSerial >= 0 &&
                                   head.serial >= static_cast<std::uint64_t>(take->firstSerial);
        if (open != 0 && (head.generation == open || beforeOpening) && !take->failed) {
            writeDatagram(*take, mDatagramRecord);
        } else if (head.generation == 0) {
            keep(mDatagramRecord, head.serial);
        }
        mDatagrams.pop();
    }
}

void TakeJournal::writeDatagram(OpenTake& take, const std::vector<std::byte>& record) {
    DatagramHead head{};
    std::memcpy(&head, record.data(), sizeof(head));
    if (take.runs.empty() || head.serial != take.lastSerial + 1) {
        take.runs.emplace_back(head.serial, take.sidecar.datagrams);
    }
    take.lastSerial = head.serial;
    PcapFormat::Datagram datagram;
    datagram.wallNanoseconds = head.steadyNanoseconds + mWallOffsetNanoseconds;
    datagram.sourceAddress = head.address;
    datagram.sourcePort = head.port;
    datagram.destinationPort = static_cast<std::uint16_t>(take.sidecar.port);
    datagram.payload = record.data() + sizeof(head);
    datagram.payloadSize = std::min<std::size_t>(head.size, record.size() - sizeof(head));
    PcapFormat::appendRecord(take.pcapBytes, datagram);
    ++take.sidecar.datagrams;
}

void TakeJournal::keep(const std::vector<std::byte>& record, std::uint64_t serial) {
    if (mKept.size() == kKeptDatagrams) {
        mKept.pop_front();
    }
    mKept.push_back(Kept{record, serial});
}

void TakeJournal::apply(Control& control) {
    if (control.kind == Control::Kind::Begin) {
        // Before anything that may throw: the take's records wait for this, not for a Begin
        // that an exception consumed.
        mGenerationBegun = control.generation;
        if (mTake) {
            finish("the take never ended");
        }
        begin(control);
    } else if (mTake && mTake->generation == control.generation) {
        finish(std::string());
    }
}

void TakeJournal::begin(Control& control) {
    mTake = std::make_unique<OpenTake>();
    OpenTake& take = *mTake;
    take.generation = control.generation;
    take.firstSerial = control.firstSerial;
    take.sidecar = *control.description;
    take.folder = control.folder;
    take.datagramDropsAtBegin = control.datagramDrops;
    take.sampleDropsAtBegin = control.sampleDrops;
    take.lastSync = std::chrono::steady_clock::now();
    const int folderError = makeFolders(take.folder);
    take.sidecar.take = nextTakeNumber(take.folder, take.sidecar.node);
    const std::string name = take.sidecar.node + "_take" + std::to_string(take.sidecar.take);
    take.base = take.folder + "/" + name;
    take.sidecar.pcapFile = name + ".pcap";
    take.sidecar.samplesFile = name + ".samples";
    take.sidecar.state = "recording";
    mWarnedWithoutTake = false;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mCurrentFile = take.base + ".json";
    }
    if (folderError != 0) {
        fail(take, take.folder, folderError);
        return;
    }
    const auto create = [&take, this](const std::string& path) {
        const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (descriptor < 0) {
            fail(take, path, errno);
        }
        return descriptor;
    };
    take.pcap = create(take.base + ".pcap");
    if (take.failed) {
        return;
    }
    // Held until the file closes, or the process dies: how recovery tells a live take.
    flock(take.pcap, LOCK_EX | LOCK_NB);
    take.samples = create(take.base + ".samples");
    if (take.failed) {
        return;
    }
    PcapFormat::appendFileHeader(take.pcapBytes);
    SampleMapFormat::appendHeader(take.sampleBytes,
                                  static_cast<std::uint32_t>(take.sidecar.bones.size()));
    // The take starts with the datagram its first sample showed, which came before it.
    for (const Kept& kept : mKept) {
        if (control.firstSerial >= 0 &&
            kept.serial >= static_cast<std::uint64_t>(control.firstSerial)) {
            writeDatagram(take, kept.record);
        }
    }
    mKept.clear();
    writeSidecar(take);
}

void TakeJournal::finish(const std::string& incompleteReason) {
    OpenTake& take = *mTake;
    const std::uint64_t datagramDrops = mDatagramsDropped.load() - take.datagramDropsAtBegin;
    const std::uint64_t sampleDrops = mSamplesDropped.load() - take.sampleDropsAtBegin;
    writeOut(take, true);
    if (!take.failed) {
        if (!incompleteReason.empty()) {
            take.sidecar.state = "incomplete";
            take.sidecar.reason = incompleteReason;
        } else if (datagramDrops > 0 || sampleDrops > 0) {
            take.sidecar.state = "incomplete";
            take.sidecar.reason =
                "the journal could not keep up: " + std::to_string(datagramDrops) +
                " datagrams and " + std::to_string(sampleDrops) + " samples are missing";
        } else {
            take.sidecar.state = "complete";
        }
        writeSidecar(take);
    }
    closeFiles(take);
    mTake.reset();
}

void TakeJournal::closeFiles(OpenTake& take) {
    for (int* descriptor : {&take.pcap, &take.samples}) {
        if (*descriptor >= 0) {
            close(*descriptor);
            *descriptor = -1;
        }
    }
}

void TakeJournal::writeOut(OpenTake& take, bool sync) {
    int error = 0;
    if (!take.failed && !writeAll(take.pcap, take.pcapBytes, error)) {
        fail(take, take.base + ".pcap", error);
    }
    if (!take.failed && !writeAll(take.samples, take.sampleBytes, error)) {
        fail(take, take.base + ".samples", error);
    }
    take.pcapBytes.clear();
    take.sampleBytes.clear();
    if (sync && !take.failed) {
        // What a crash of the machine, not only of Maya, may lose.
        fdatasync(take.pcap);
        fdatasync(take.samples);
        take.lastSync = std::chrono::steady_clock::now();
    }
}

void TakeJournal::fail(OpenTake& take, const std::string& file, int error) {
    const std::string reason = std::strerror(error);
    if (!markIncomplete(take, "cannot write " + file + ": " + reason)) {
        return;
    }
    // Best effort: the disk that refused the data may refuse this too.
    if (file != take.base + ".json") {
        writeSidecar(take);
    }
    if (mWarn) {
        mWarn(file, reason);
    }
}

bool TakeJournal::markIncomplete(OpenTake& take, const std::string& reason) {
    if (take.failed) {
        return false;
    }
    take.failed = true;
    take.sidecar.state = "incomplete";
    take.sidecar.reason = reason;
    return true;
}

bool TakeJournal::writeSidecar(OpenTake& take) {
    const std::string path = take.base + ".json";
    const std::string temporary = path + ".tmp";
    const std::string text = take.sidecar.toJson();
    const int descriptor = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        fail(take, path, errno);
        return false;
    }
    int error = 0;
    const std::vector<std::byte> bytes(
        reinterpret_cast<const std::byte*>(text.data()),
        reinterpret_cast<const std::byte*>(text.data()) + text.size());
    bool written = writeAll(descriptor, bytes, error);
    if (written && fdatasync(descriptor) != 0) {
        error = errno;
        written = false;
    }
    close(descriptor);
    if (written && rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
        written = false;
    }
    if (!written) {
        unlink(temporary.c_str());
        fail(take, path, error);
    }
    return written;
}

bool TakeJournal::writeAll(int descriptor, const std::vector<std::byte>& bytes, int& error) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            mOptions.write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            return false;
        }
        if (written == 0) {
            error = EIO;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}
