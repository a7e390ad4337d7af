// Journals as outside input: each damage gets a message naming it, never a crash or a
// partial result.
#include <gtest/gtest.h>

#include "JournalReader.h"
#include "JournalTestFolder.h"
#include "PcapFormat.h"
#include "TakeJournal.h"

namespace {

// A complete journal of `frames` frames, written by the real writer.
std::string writeJournal(const std::string& folder, int frames) {
    TakeSidecar sidecar;
    sidecar.node = "node";
    sidecar.bones = {"Hips", "Spine"};
    TakeJournal journal({}, nullptr);
    journal.prepare(folder, sidecar);
    int block = 0;
    for (int f = 0; f < frames; ++f) {
        const std::string payload = "frame" + std::to_string(f);
        journal.noteDatagram(reinterpret_cast<const std::byte*>(payload.data()), payload.size(), f,
                             1, 2);
        journal.tagBlock(&block);
        const SampleMapFormat::Bone bones[2] = {};
        journal.noteSample(f, journal.blockSerial(&block), bones, 2);
    }
    journal.endTake();
    journal.flush();
    return journal.currentFile().substr(0, journal.currentFile().size() - 5);
}

std::string readError(const std::string& base) {
    JournalReader::Contents contents;
    std::string error;
    const bool read = JournalReader::read(base + ".pcap", contents, error);
    EXPECT_FALSE(read) << base;
    return error;
}

class JournalReaderTest : public ::testing::Test {
protected:
    void SetUp() override { mBase = writeJournal(mFolder.path(), 10); }

    void setSidecarField(const std::string& from, const std::string& to) {
        std::string text = JournalTestFolder::readText(mBase + ".json");
        text.replace(text.find(from), from.size(), to);
        JournalTestFolder::writeText(mBase + ".json", text);
    }

    JournalTestFolder mFolder;
    std::string mBase;
};

TEST_F(JournalReaderTest,
       ACompleteJournalThatLostItsTailIsRefusedARecordingOneKeepsItsWholeRecords) {
    std::vector<std::byte> samples = JournalTestFolder::readFile(mBase + ".samples");
    samples.resize(samples.size() - 10);
    JournalTestFolder::writeFile(mBase + ".samples", samples);
    EXPECT_NE(readError(mBase).find("marked complete but holds 9 of 10 samples"),
              std::string::npos);

    setSidecarField("\"complete\"", "\"recording\"");
    JournalReader::Contents contents;
    std::string error;
    ASSERT_TRUE(JournalReader::read(mBase + ".json", contents, error)) << error;
    EXPECT_EQ(contents.samples.size(), 9U);
    EXPECT_TRUE(contents.partial);
    EXPECT_EQ(contents.samples.back().datagramIndex, 8);
    EXPECT_EQ(contents.samples.front().datagramIndex, 0);
}

TEST_F(JournalReaderTest, ASampleThatPointsPastTheCaptureIsNamed) {
    std::vector<std::byte> pcap = JournalTestFolder::readFile(mBase + ".pcap");
    pcap.resize(PcapFormat::kFileHeaderBytes);  // no datagram left
    JournalTestFolder::writeFile(mBase + ".pcap", pcap);
    setSidecarField("\"complete\"", "\"incomplete\"");
    EXPECT_NE(readError(mBase).find("sample 1 points past the capture's end"), std::string::npos);
}

TEST_F(JournalReaderTest, AnotherToolsCaptureAndDamagedRecordsAreRefused) {
    std::vector<std::byte> pcap = JournalTestFolder::readFile(mBase + ".pcap");
    std::vector<std::byte> micro = pcap;
    micro[0] = std::byte{0xd4};  // 0xa1b2c3d4: microsecond pcap, as capture tools write
    micro[1] = std::byte{0xc3};
    JournalTestFolder::writeFile(mBase + ".pcap", micro);
    EXPECT_NE(readError(mBase).find("no take journal wrote"), std::string::npos);

    std::vector<std::byte> damaged = pcap;
    damaged[PcapFormat::kFileHeaderBytes + 8] = std::byte{0xff};  // captured length
    damaged[PcapFormat::kFileHeaderBytes + 11] = std::byte{0x7f};
    JournalTestFolder::writeFile(mBase + ".pcap", damaged);
    EXPECT_NE(readError(mBase).find("record 1 has a bad header"), std::string::npos);

    JournalTestFolder::writeFile(mBase + ".pcap", {});
    EXPECT_NE(readError(mBase).find("shorter than a pcap header"), std::string::npos);
}

TEST_F(JournalReaderTest, MissingFilesAndBadSidecarsNameTheFile) {
    setSidecarField("\"formatVersion\": 1", "\"formatVersion\": 7");
    EXPECT_NE(readError(mBase).find(mBase + ": the sidecar is of format version 7"),
              std::string::npos);
    std::remove((mBase + ".samples").c_str());
    EXPECT_NE(readError(mBase).find("cannot open " + mBase + ".samples"), std::string::npos);
    EXPECT_NE(readError(mFolder.path() + "/nothing").find("nothing.json"), std::string::npos);
}

TEST_F(JournalReaderTest, TheSidecarsBonesMustMatchTheSampleMap) {
    setSidecarField("\"Spine\"", "\"Spine\", \"Neck\"");
    EXPECT_NE(readError(mBase).find("holds 2 bones, the sidecar names 3"), std::string::npos);
}

}  // namespace
