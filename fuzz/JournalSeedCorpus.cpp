// Writes the starting corpus for journal_fuzz: whole journals, each cut into one input as the
// harness reads it (two sizes, then the sidecar, the capture and the sample map), into the
// directory given as the only argument.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "PcapFormat.h"
#include "SampleMapFormat.h"
#include "SeedCorpus.h"
#include "TakeSidecar.h"

namespace {

constexpr std::uint32_t kBones = 2;

std::vector<std::byte> journal(const std::string& state, int datagrams, int samples) {
    TakeSidecar sidecar;
    sidecar.pluginVersion = "1.0.0";
    sidecar.node = "tulvexDevice0";
    sidecar.port = 12351;
    sidecar.timeUnit = "film";
    sidecar.skeletonName = "s";
    sidecar.bones = {"root", "hips"};
    sidecar.settings = {{"frameRate", 80.0}};
    sidecar.state = state;
    sidecar.datagrams = static_cast<std::uint64_t>(datagrams);
    sidecar.samples = static_cast<std::uint64_t>(samples);
    sidecar.pcapFile = "j.pcap";
    sidecar.samplesFile = "j.samples";
    const std::string text = sidecar.toJson();

    std::vector<std::byte> pcap;
    PcapFormat::appendFileHeader(pcap);
    const std::byte payload[4] = {std::byte{1}, std::byte{2}, std::byte{3}, std::byte{4}};
    for (int d = 0; d < datagrams; ++d) {
        PcapFormat::Datagram datagram;
        datagram.wallNanoseconds = 1'700'000'000'000'000'000LL + d;
        datagram.sourceAddress = 0x7F000001;
        datagram.sourcePort = 40000;
        datagram.destinationPort = 12351;
        datagram.payload = payload;
        datagram.payloadSize = sizeof(payload);
        PcapFormat::appendRecord(pcap, datagram);
    }
    std::vector<std::byte> map;
    SampleMapFormat::appendHeader(map, kBones);
    const std::vector<SampleMapFormat::Bone> bones(kBones);
    for (int s = 0; s < samples; ++s) {
        SampleMapFormat::appendRecord(map, s, s < datagrams ? s : -1, bones.data(), kBones);
    }

    std::vector<std::byte> input;
    for (const std::size_t size : {text.size(), pcap.size()}) {
        input.push_back(static_cast<std::byte>(size & 0xFFU));
        input.push_back(static_cast<std::byte>((size >> 8U) & 0xFFU));
    }
    for (const char c : text) {
        input.push_back(static_cast<std::byte>(c));
    }
    input.insert(input.end(), pcap.begin(), pcap.end());
    input.insert(input.end(), map.begin(), map.end());
    return input;
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path directory;
    int exitCode = 0;
    if (!SeedCorpus::openFolder(argc, argv, directory, exitCode)) {
        return exitCode;
    }
    const bool ok = SeedCorpus::write(directory, "complete", journal("complete", 3, 3)) &&
                    SeedCorpus::write(directory, "recording", journal("recording", 2, 4)) &&
                    SeedCorpus::write(directory, "incomplete_empty", journal("incomplete", 0, 0));
    return ok ? 0 : 1;
}
