#include "JournalReader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "LittleEndian.h"
#include "PcapFormat.h"

namespace {

constexpr std::size_t kMaxSidecarBytes = 1U << 20U;

// A whole file, mapped read-only; empty files map to nothing.
class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile() {
        if (mData != nullptr) {
            munmap(mData, mSize);
        }
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool open(const std::string& path, std::string& error) {
        const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) {
            error = "cannot open " + path + ": " + std::strerror(errno);
            return false;
        }
        struct stat info {};
        if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
            error = path + " is not a regular file";
            close(descriptor);
            return false;
        }
        mSize = static_cast<std::size_t>(info.st_size);
        if (mSize > 0) {
            void* mapped = mmap(nullptr, mSize, PROT_READ, MAP_PRIVATE, descriptor, 0);
            if (mapped == MAP_FAILED) {
                error = "cannot read " + path + ": " + std::strerror(errno);
                close(descriptor);
                mSize = 0;
                return false;
            }
            mData = mapped;
        }
        close(descriptor);
        return true;
    }
    const std::byte* data() const { return static_cast<const std::byte*>(mData); }
    std::size_t size() const { return mSize; }

private:
    void* mData = nullptr;
    std::size_t mSize = 0;
};

std::string basePath(const std::string& path) {
    for (const char* extension : {".pcap", ".json", ".samples"}) {
        const std::size_t length = std::strlen(extension);
        if (path.size() > length && path.compare(path.size() - length, length, extension) == 0) {
            return path.substr(0, path.size() - length);
        }
    }
    return path;
}

}  // namespace

bool JournalReader::countDatagrams(const std::byte* pcap, std::size_t size, std::uint64_t& count,
                                   bool& partial, std::string& error) {
    count = 0;
    partial = false;
    if (size < PcapFormat::kFileHeaderBytes) {
        error = "the capture is shorter than a pcap header";
        return false;
    }
    const std::uint32_t magic = LittleEndian::get32(pcap);
    if (magic != PcapFormat::kMagicNanoseconds) {
        error = magic == 0xa1b2c3d4U || magic == 0xd4c3b2a1U || magic == 0x4d3cb2a1U ||
                        magic == 0x0a0d0d0aU
                    ? "the capture is a pcap that no take journal wrote (another tool's?)"
                    : "the capture is not a pcap file";
        return false;
    }
    if (LittleEndian::get32(pcap + 20) != PcapFormat::kLinkTypeRaw) {
        error = "the capture's link type is not the journal's (raw IPv4)";
        return false;
    }
    std::size_t at = PcapFormat::kFileHeaderBytes;
    while (at < size) {
        if (size - at < PcapFormat::kRecordHeaderBytes) {
            partial = true;
            return true;
        }
        const std::uint32_t captured = LittleEndian::get32(pcap + at + 8);
        const std::uint32_t original = LittleEndian::get32(pcap + at + 12);
        const std::uint32_t nanoseconds = LittleEndian::get32(pcap + at + 4);
        if (captured > PcapFormat::kSnapLength || captured != original ||
            captured < PcapFormat::kIpv4HeaderBytes + PcapFormat::kUdpHeaderBytes ||
            nanoseconds >= 1000000000U) {
            error = "the capture's record " + std::to_string(count + 1) + " has a bad header";
            return false;
        }
        if (size - at - PcapFormat::kRecordHeaderBytes < captured) {
            partial = true;
            return true;
        }
        at += PcapFormat::kRecordHeaderBytes + captured;
        ++count;
    }
    return true;
}

bool JournalReader::parse(const std::string& sidecarText, const std::byte* pcap,
                          std::size_t pcapSize, const std::byte* samples, std::size_t samplesSize,
                          Contents& out, std::string& error) {
    Contents contents;
    if (!TakeSidecar::fromJson(sidecarText, contents.sidecar, error)) {
        return false;
    }
    const bool complete = contents.sidecar.state == "complete";
    // A writer that died before its first flush leaves files without even a header.
    const bool unflushed = !complete && pcapSize < PcapFormat::kFileHeaderBytes &&
                           samplesSize < SampleMapFormat::kHeaderBytes;
    if (unflushed) {
        contents.partial = pcapSize + samplesSize > 0;
        out = std::move(contents);
        return true;
    }
    bool pcapPartial = false;
    if (!countDatagrams(pcap, pcapSize, contents.datagrams, pcapPartial, error)) {
        return false;
    }
    std::uint32_t boneCount = 0;
    const char* headerError = "";
    if (!SampleMapFormat::readHeader(samples, samplesSize, boneCount, headerError)) {
        error = headerError;
        return false;
    }
    if (boneCount != contents.sidecar.bones.size()) {
        error = "the sample map holds " + std::to_string(boneCount) + " bones, the sidecar names " +
                std::to_string(contents.sidecar.bones.size());
        return false;
    }
    const std::size_t recordBytes = SampleMapFormat::recordBytes(boneCount);
    const std::size_t body = samplesSize - SampleMapFormat::kHeaderBytes;
    const std::size_t records = body / recordBytes;
    const bool samplesPartial = body % recordBytes != 0;
    contents.partial = pcapPartial || samplesPartial;
    if (complete && (contents.partial || records != contents.sidecar.samples ||
                     contents.datagrams != contents.sidecar.datagrams)) {
        error = "the journal is marked complete but holds " + std::to_string(records) + " of " +
                std::to_string(contents.sidecar.samples) + " samples and " +
                std::to_string(contents.datagrams) + " of " +
                std::to_string(contents.sidecar.datagrams) + " datagrams";
        return false;
    }
    contents.samples.reserve(records);
    for (std::size_t r = 0; r < records; ++r) {
        SampleMapFormat::Sample sample = SampleMapFormat::readRecord(
            samples + SampleMapFormat::kHeaderBytes + r * recordBytes, boneCount);
        if (sample.datagramIndex < -1 ||
            (sample.datagramIndex >= 0 &&
             static_cast<std::uint64_t>(sample.datagramIndex) >= contents.datagrams)) {
            error = "sample " + std::to_string(r + 1) +
                    " points past the capture's end (datagram " +
                    std::to_string(sample.datagramIndex + 1) + " of " +
                    std::to_string(contents.datagrams) + ")";
            return false;
        }
        contents.samples.push_back(std::move(sample));
    }
    out = std::move(contents);
    return true;
}

bool JournalReader::read(const std::string& path, Contents& out, std::string& error) {
    const std::string base = basePath(path);
    MappedFile sidecar;
    MappedFile pcap;
    MappedFile samples;
    if (!sidecar.open(base + ".json", error)) {
        return false;
    }
    if (sidecar.size() > kMaxSidecarBytes) {
        error = base + ".json is too large for a sidecar";
        return false;
    }
    const std::string sidecarText(reinterpret_cast<const char*>(sidecar.data()), sidecar.size());
    if (!pcap.open(base + ".pcap", error) || !samples.open(base + ".samples", error)) {
        return false;
    }
    if (samples.size() > kMaxSampleMapBytes) {
        error = base + ".samples is larger than a take's sample map can be";
        return false;
    }
    if (!parse(sidecarText, pcap.data(), pcap.size(), samples.data(), samples.size(), out, error)) {
        error = base + ": " + error;
        return false;
    }
    return true;
}

bool JournalReader::readPayloads(const std::string& path, std::vector<std::vector<std::byte>>& out,
                                 std::string& error) {
    MappedFile pcap;
    std::uint64_t count = 0;
    bool partial = false;
    if (!pcap.open(basePath(path) + ".pcap", error) ||
        !countDatagrams(pcap.data(), pcap.size(), count, partial, error)) {
        return false;
    }
    out.clear();
    std::size_t at = PcapFormat::kFileHeaderBytes;
    for (std::uint64_t r = 0; r < count; ++r) {
        // countDatagrams checked every length up to here.
        const std::uint32_t captured = LittleEndian::get32(pcap.data() + at + 8);
        const std::byte* packet = pcap.data() + at + PcapFormat::kRecordHeaderBytes;
        const std::size_t headers = PcapFormat::kIpv4HeaderBytes + PcapFormat::kUdpHeaderBytes;
        out.emplace_back(packet + headers, packet + captured);
        at += PcapFormat::kRecordHeaderBytes + captured;
    }
    return true;
}
