// A take's capture as packet tools read it: tshark counts what the sidecar counts, and sees
// each datagram as IPv4/UDP from its sender to the node's port, checksum good.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "JournalReader.h"
#include "JournalTestFolder.h"
#include "TakeJournal.h"

namespace {

constexpr std::uint32_t kBones = 27;
constexpr int kNodePort = 12351;

bool onPath(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<std::string> outputLines(const std::string& command) {
    std::vector<std::string> lines;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return lines;
    }
    std::string text;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;) {
        text.append(buffer, got);
    }
    pclose(pipe);
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// A take of datagrams from empty to the largest a sender puts on a network, one sample each.
std::string recordTake(const std::string& folder, std::vector<std::size_t>& sizes) {
    TakeJournal journal(TakeJournal::Options{}, nullptr);
    TakeSidecar sidecar;
    sidecar.node = "tulvexDevice0";
    sidecar.port = kNodePort;
    sidecar.bones.assign(kBones, "bone");
    journal.prepare(folder, sidecar);
    const std::vector<SampleMapFormat::Bone> bones(kBones, SampleMapFormat::Bone{});
    int block = 0;
    for (int f = 0; f < 50; ++f) {
        const std::size_t size = f == 0 ? 0 : f == 1 ? 1472 : 100 + static_cast<std::size_t>(f);
        const std::vector<std::byte> payload(size, std::byte{0x42});
        journal.noteDatagram(payload.data(), payload.size(), 1000000000LL + f * 16666667LL,
                             0xC0A80117, 50000);
        journal.tagBlock(&block);
        journal.noteSample(f, journal.blockSerial(&block), bones.data(), kBones);
        sizes.push_back(size);
    }
    journal.endTake();
    journal.flush();
    return journal.currentFile();
}

TEST(PacketToolTest, TsharkReadsTheCaptureAsTheSidecarCountsIt) {
    if (!onPath("tshark")) {
        GTEST_SKIP() << "tshark is not installed (tools/install-deps.sh installs it)";
    }
    JournalTestFolder folder;
    std::vector<std::size_t> sizes;
    const std::string sidecar = recordTake(folder.path(), sizes);
    JournalReader::Contents contents;
    std::string error;
    ASSERT_TRUE(JournalReader::read(sidecar, contents, error)) << error;
    ASSERT_EQ(contents.sidecar.state, "complete");
    ASSERT_EQ(contents.sidecar.datagrams, sizes.size());
    const std::string pcap = folder.path() + "/" + contents.sidecar.pcapFile;

    // Source, ports, UDP length and the IPv4 header checksum's verdict (1: good).
    const std::vector<std::string> lines = outputLines(
        "tshark -n -o ip.check_checksum:TRUE -r '" + pcap +
        "' -T fields -E separator=, -e ip.src -e udp.srcport -e udp.dstport -e udp.length "
        "-e ip.checksum.status 2>/dev/null");
    std::vector<std::string> expected;
    expected.reserve(sizes.size());
    for (const std::size_t size : sizes) {
        expected.push_back("192.168.1.23,50000," + std::to_string(kNodePort) + "," +
                           std::to_string(8 + size) + ",1");
    }
    EXPECT_EQ(lines, expected);
}

}  // namespace
