// The take list, without a host: rows from sidecars alone, what counts as unfinished, and the
// mark a recovery leaves.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TakeJournal.h"
#include "TakeList.h"

namespace {

class TakeListTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tulvex-takes-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        mFolder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(mFolder); }

    std::string write(const std::string& name, const std::string& text) const {
        std::string path = mFolder + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    static TakeSidecar sidecar(const std::string& node, int take, const std::string& state) {
        TakeSidecar result;
        result.node = node;
        result.take = take;
        result.state = state;
        result.timeUnit = "ntsc";
        result.bones = {"root"};
        return result;
    }

    std::string mFolder;
};

TEST_F(TakeListTest, TheJournalFolderIsNamedAfterTheSceneFile) {
    EXPECT_EQ(TakeList::journalFolder("/p/", ""), "/p/data/tulvex/untitled");
    EXPECT_EQ(TakeList::journalFolder("/p", "/p/scenes/dance.v2.ma"), "/p/data/tulvex/dance.v2");
    EXPECT_EQ(TakeList::journalFolder("/p/", "/p/scenes/.hidden"), "/p/data/tulvex/.hidden");
}

TEST_F(TakeListTest, LengthComesFromTheSummaryInTheTakesOwnTimeUnit) {
    EXPECT_EQ(TakeList::unitsPerSecond("film"), 24.0);
    EXPECT_EQ(TakeList::unitsPerSecond("ntscf"), 60.0);
    EXPECT_EQ(TakeList::unitsPerSecond("23.976fps"), 23.976);
    EXPECT_EQ(TakeList::unitsPerSecond("fps"), 0.0);
    EXPECT_EQ(TakeList::unitsPerSecond("12xfps"), 0.0);

    TakeSidecar take = sidecar("a", 1, "complete");
    for (int frame = 1; frame <= 300; ++frame) {
        take.summarise(frame);
        ++take.samples;
    }
    TakeList::Row row = TakeList::rowOf(take, "/f/a_take1.json");
    EXPECT_DOUBLE_EQ(row.seconds, 10.0);  // 300 frames of 30 fps
    EXPECT_EQ(TakeList::rowText(row), "1\t10.0\t300\t0\tcomplete\ta\t/f/a_take1.json");

    // An older sidecar has no summary, an unknown unit gives no rate: the length is unknown.
    take.hasSummary = false;
    EXPECT_EQ(TakeList::rowText(TakeList::rowOf(take, "x")), "1\t?\t300\t0\tcomplete\ta\tx");
    take.hasSummary = true;
    take.timeUnit = "weird";
    EXPECT_LT(TakeList::rowOf(take, "x").seconds, 0.0);
}

TEST_F(TakeListTest, RowsComeInTakeOrderPerNodeAndABadSidecarIsNamedAndLeftOut) {
    write("a_take10.json", sidecar("a", 10, "complete").toJson());
    write("a_take2.json", sidecar("a", 2, "incomplete").toJson());
    write("a_take3.json", "{\"format\": \"tulvex-take-journal\", \"formatVersion\": 1}");
    write("a_take4.json", sidecar("a_take4", 1, "complete").toJson());  // another node's
    write("b_take1.json", sidecar("b", 1, "complete").toJson());
    write("a_take5.pcap", "not a sidecar");

    std::vector<std::string> problems;
    const std::vector<TakeList::Row> rows = TakeList::read(mFolder, "a", problems);
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[0].take, 2);
    EXPECT_EQ(rows[1].take, 10);
    ASSERT_EQ(problems.size(), 1U);
    EXPECT_EQ(problems[0],
              mFolder + "/a_take3.json is left out: the sidecar's \"pluginVersion\" is missing");

    problems.clear();
    EXPECT_EQ(TakeList::read(mFolder, "", problems).size(), 4U);
    EXPECT_TRUE(TakeList::read(mFolder + "/none", "a", problems).empty());
}

TEST_F(TakeListTest, OnlyATakeWhoseWriterIsGoneIsUnfinished) {
    TakeJournal journal({}, nullptr);
    TakeSidecar description = sidecar("live", 0, "recording");
    journal.prepare(mFolder, description);
    const SampleMapFormat::Bone bone{};
    journal.noteSample(1.0, -1, &bone, 1);
    journal.flush();
    write("dead_take1.json", sidecar("dead", 1, "recording").toJson());
    write("dead_take1.pcap", "");
    write("done_take1.json", sidecar("done", 1, "complete").toJson());

    std::vector<std::string> problems;
    std::vector<TakeList::Row> found = TakeList::unfinished(TakeList::read(mFolder, "", problems));
    ASSERT_EQ(found.size(), 1U);
    EXPECT_EQ(found[0].node, "dead");
    EXPECT_EQ(TakeList::unfinishedMessage(found),
              "1 unfinished take found: " + mFolder + "/dead_take1.json, 0.0 s");

    // Once its take ends the live journal is complete, and never listed.
    journal.endTake();
    journal.flush();
    EXPECT_EQ(TakeList::unfinished(TakeList::read(mFolder, "", problems)).size(), 1U);
    EXPECT_FALSE(TakeList::writerAlive(journal.currentFile()));

    write("dead_take2.json", sidecar("dead", 2, "recording").toJson());
    found = TakeList::unfinished(TakeList::read(mFolder, "", problems));
    EXPECT_EQ(TakeList::unfinishedMessage(found), "2 unfinished takes found: " + mFolder +
                                                      "/dead_take1.json, 0.0 s; " + mFolder +
                                                      "/dead_take2.json, 0.0 s");
    EXPECT_EQ(TakeList::unfinishedMessage({}), "");
}

TEST_F(TakeListTest, ARecoveredSidecarSaysWhatWasRecoveredAndIsNoLongerUnfinished) {
    const std::string path = write("dead_take1.json", sidecar("dead", 1, "recording").toJson());
    JournalReader::Contents contents;
    contents.sidecar = sidecar("dead", 1, "recording");
    contents.datagrams = 7;
    for (const double time : {5.0, 6.0, 9.0}) {
        SampleMapFormat::Sample sample;
        sample.time = time;
        contents.samples.push_back(sample);
    }
    std::string error;
    ASSERT_TRUE(TakeList::markRecovered(path, contents, error)) << error;
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

    std::vector<std::string> problems;
    const std::vector<TakeList::Row> rows = TakeList::read(mFolder, "dead", problems);
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0].state, "incomplete");
    EXPECT_EQ(rows[0].frames, 3U);
    EXPECT_EQ(rows[0].gaps, 1U);
    EXPECT_DOUBLE_EQ(rows[0].seconds, 5.0 / 30.0);
    EXPECT_TRUE(TakeList::unfinished(rows).empty());

    // A folder that cannot be written keeps the old sidecar and says why.
    EXPECT_FALSE(TakeList::markRecovered(mFolder + "/missing/x.json", contents, error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

}  // namespace
