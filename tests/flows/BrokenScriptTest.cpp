// A fault put into a copy of the scripts shows up in the flow that runs it, as the error Maya
// prints: the file, the line, and what is wrong.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "FlowFixture.h"

namespace flowtest {
namespace {

struct Fault {
    const char* name;
    const char* file;
    const char* from;  // a text of the script, replaced once
    const char* to;
    bool runNewDevice;                // the fault lies on the New button's road, not the load's
    const char* error;                // the message Maya shows
    const char* statement = nullptr;  // where the failing statement starts, if not there
};

const Fault kFaults[] = {
    {"UnknownFlag", "UIManagement.mel", "-imageOverlayLabel \"New\"", "-imageOverlayLable \"New\"",
     false, "Invalid flag '-imageOverlayLable'", "shelfButton -parent $shelf"},
    {"WrongArgumentType", "UIManagement.mel", "-widthHeight 380 330", "-widthHeight 380 \"tall\"",
     true, "Flag '-widthHeight' must be passed an int argument."},
    {"MissingProcedure", "UIManagement.mel", "    tulvexOpenPanel($node);\n}",
     "    tulvexOpenPanels($node);\n}", true, "Cannot find procedure \"tulvexOpenPanels\"."},
    {"WrongArgumentCount", "SkeletonHelpers.mel", "tulvexFreePort($id);", "tulvexFreePort($id, 1);",
     true, "Wrong number of arguments on call to tulvexFreePort."},
    {"UnknownObject", "SkeletonHelpers.mel", "\"time1.outTime\" ($node + \".time\");",
     "\"time1.outTim\" ($node + \".time\");", true, "No object matches name: time1.outTim"},
};

class BrokenScript : public FlowTest, public ::testing::WithParamInterface<Fault> {
protected:
    void SetUp() override {
        FlowTest::SetUp();
        mFolder = std::filesystem::temp_directory_path() /
                  ("tulvex-broken-" + std::to_string(::getpid()) + "-" + GetParam().name);
        std::filesystem::remove_all(mFolder);
        std::filesystem::copy(stagedScripts(), mFolder);
        mayahost::setScriptPath({mFolder.string()});
    }
    void TearDown() override {
        FlowTest::TearDown();
        std::filesystem::remove_all(mFolder);
    }

    // Puts the fault in; returns the line it is on.
    int breakScript(const Fault& fault) const {
        const std::filesystem::path path = mFolder / fault.file;
        std::stringstream read;
        read << std::ifstream(path).rdbuf();
        std::string text = read.str();
        const std::size_t at = text.find(fault.from);
        EXPECT_NE(at, std::string::npos) << fault.from << " is not in " << fault.file;
        if (at == std::string::npos) {
            return 0;
        }
        text.replace(at, std::string(fault.from).size(), fault.to);
        std::ofstream(path, std::ios::trunc) << text;
        // The error names the line its statement starts on.
        const std::size_t start = fault.statement != nullptr ? text.rfind(fault.statement, at) : at;
        const std::string before = text.substr(0, start);
        return 1 + static_cast<int>(std::count(before.begin(), before.end(), '\n'));
    }

    std::filesystem::path mFolder;
};

TEST_P(BrokenScript, FailsWithMayasError) {
    const Fault& fault = GetParam();
    const int line = breakScript(fault);
    ASSERT_GT(line, 0);
    loadPlugin();
    if (fault.runNewDevice) {
        EXPECT_TRUE(mayahost::takeScriptLines().empty()) << "the load itself is fine";
        const std::string button = shelfButton("New Device");
        ASSERT_FALSE(button.empty());
        EXPECT_EQ(mayahost::uiClick(button), mayahost::UiOutcome::ScriptFailed);
    }
    const std::string where =
        "file: " + (mFolder / fault.file).string() + " line " + std::to_string(line) + ": ";
    EXPECT_EQ(mayahost::takeScriptLines(),
              std::vector<std::string>{"// Error: " + where + fault.error + " //"});
}

INSTANTIATE_TEST_SUITE_P(Faults, BrokenScript, ::testing::ValuesIn(kFaults),
                         [](const ::testing::TestParamInfo<Fault>& fault) {
                             return std::string(fault.param.name);
                         });

}  // namespace
}  // namespace flowtest
