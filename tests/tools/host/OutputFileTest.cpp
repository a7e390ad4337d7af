// The scene file: checked before a take, written beside its target and moved into place only
// when complete, so that no failure loses an earlier take.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "HostError.h"
#include "OutputFile.h"

namespace {

namespace fs = std::filesystem;

class OutputFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        mDir = fs::temp_directory_path() /
               ("tulvex-output-" + std::string(info->name()) + "-" + std::to_string(getpid()));
        fs::remove_all(mDir);
        fs::create_directories(mDir);
    }
    void TearDown() override { fs::remove_all(mDir); }

    // Every entry of the folder, hidden ones included.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(mDir)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path mDir;
};

// The reason a HostError gives, after checking it ends the run with 7.
template <typename Action>
std::string failureOf(Action action) {
    try {
        action();
    } catch (const HostError& error) {
        EXPECT_EQ(error.code(), ExitCode::kTakeNotSaved);
        return error.what();
    }
    ADD_FAILURE() << "no HostError";
    return {};
}

TEST_F(OutputFileTest, AMissingFolderFailsAtOnceWithTheReason) {
    const std::string path = (mDir / "missing" / "take.ma").string();
    const std::string reason = failureOf([&] { OutputFile file(path); });
    EXPECT_NE(reason.find(path), std::string::npos) << reason;
    EXPECT_NE(reason.find("no folder"), std::string::npos) << reason;
    EXPECT_TRUE(entries().empty());
}

TEST_F(OutputFileTest, AFolderInTheWayFails) {
    fs::create_directory(mDir / "take.ma");
    const std::string reason = failureOf([&] { OutputFile file((mDir / "take.ma").string()); });
    EXPECT_NE(reason.find("is a folder"), std::string::npos) << reason;
    EXPECT_EQ(entries(), std::vector<std::string>{"take.ma"});
}

TEST_F(OutputFileTest, ACommittedFileHoldsWhatWasWrittenAndNothingIsLeftBeside) {
    const fs::path path = mDir / "take.ma";
    {
        OutputFile file(path.string());
        EXPECT_EQ(file.temporaryPath().parent_path(), mDir);
        file.stream() << "//Maya ASCII 2022 scene\n";
        file.commit();
    }
    EXPECT_EQ(read(path), "//Maya ASCII 2022 scene\n");
    EXPECT_EQ(entries(), std::vector<std::string>{"take.ma"});
}

TEST_F(OutputFileTest, ANewFileGetsTheUsualModeNotThePrivateOneOfATemporaryFile) {
    const mode_t mask = umask(022);
    {
        OutputFile file((mDir / "take.ma").string());
        file.commit();
    }
    umask(mask);
    struct stat info {};
    ASSERT_EQ(stat((mDir / "take.ma").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644U);
}

TEST_F(OutputFileTest, AnEarlierTakeStaysUntilTheNewOneIsComplete) {
    const fs::path path = mDir / "take.ma";
    std::ofstream(path) << "earlier take\n";
    OutputFile file(path.string());
    file.stream() << "half of a new take";
    file.stream().flush();
    EXPECT_EQ(read(path), "earlier take\n");
    file.commit();
    EXPECT_EQ(read(path), "half of a new take");
}

TEST_F(OutputFileTest, ARunThatEndsWithoutCommittingLeavesTheEarlierTakeAndNoTrace) {
    const fs::path path = mDir / "take.ma";
    std::ofstream(path) << "earlier take\n";
    {
        OutputFile file(path.string());
        file.stream() << "a take cut short";
    }
    EXPECT_EQ(read(path), "earlier take\n");
    EXPECT_EQ(entries(), std::vector<std::string>{"take.ma"});
}

TEST_F(OutputFileTest, AWriteThatFailsLeavesTheEarlierTakeAndNoTrace) {
    const fs::path path = mDir / "take.ma";
    std::ofstream(path) << "earlier take\n";
    // A full disk, as a file-size limit makes it: in a child, so the limit stays there.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not a killed process
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            OutputFile file(path.string());
            file.stream() << std::string(1 << 20, 'k');
            file.commit();
        } catch (const HostError& error) {
            const bool reported = error.code() == ExitCode::kTakeNotSaved &&
                                  std::string(error.what()).find("cannot write") == 0;
            _exit(reported ? 7 : 2);
        }
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7) << "the write did not fail as reported";
    EXPECT_EQ(read(path), "earlier take\n");
    EXPECT_EQ(entries(), std::vector<std::string>{"take.ma"});
}

}  // namespace
