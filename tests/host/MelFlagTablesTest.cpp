// Commands take the flags Maya 2022 gives them, by long and short name, and refuse the ones it
// does not have.
#include <algorithm>
#include <string>
#include <vector>

#include "MelFixture.h"

namespace {

using MelFlagTablesTest = MelHostTest;

TEST_F(MelFlagTablesTest, ErrorAndWarningTakeNoContextAsNAndShowLineNumberAsSl) {
    mayahost::takeScriptLines();
    mel("warning -n \"plain\"; warning -noContext \"long\"; warning -sl true \"numbered\";"
        "warning -showLineNumber off -n \"both\"");
    EXPECT_EQ(mayahost::takeScriptLines(),
              (std::vector<std::string>{"// Warning: plain //", "// Warning: long //",
                                        "// Warning: line 1: numbered //", "// Warning: both //"}));
    EXPECT_EQ(failure("error -n \"stopped\""), "stopped");
    EXPECT_EQ(failure("error -sl on \"stopped here\""), "stopped here");
    for (const char* command : {"warning", "error"}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(failure(std::string(command) + " -nc \"x\""), "Invalid flag '-nc'");
        EXPECT_EQ(failure(std::string(command) + " -sln true \"x\""), "Invalid flag '-sln'");
    }
}

TEST_F(MelFlagTablesTest, LsListsDagObjectsByTheFlagsLongAndShortName) {
    mel("createNode -n grp transform; createNode -n arm -p grp joint");
    const std::vector<std::string> listed = list("ls -dagObjects");
    EXPECT_EQ(list("ls -dag"), listed);
    EXPECT_NE(std::find(listed.begin(), listed.end(), "arm"), listed.end());
    EXPECT_EQ(std::find(listed.begin(), listed.end(), "time1"), listed.end());
    EXPECT_EQ(failure("ls -dagObject"), "Invalid flag '-dagObject'");
}

// Every Maya control has colours and an override switch; a button has no overlay label.
TEST_F(MelFlagTablesTest, ControlsTakeTheFlagsEveryControlHasAndRefuseOthers) {
    mel("window w; columnLayout c; "
        "button -bgc 0.25 0.5 1 -ebg 1 -hlc 0 0 0 -po 0 -sbm \"tip\" b; "
        "button -e -backgroundColor 0.5 0.5 0.5 -enableBackground 0 b");
    EXPECT_EQ(mel("button -q -enableBackground b"), "0");
    EXPECT_EQ(number("float $c[] = `button -q -backgroundColor b`; $c[0] + $c[1] * 2 + size($c)"),
              4.5);
    EXPECT_EQ(failure("button -iol \"x\" b2"), "Invalid flag '-iol'");
    EXPECT_EQ(failure("button -style \"iconOnly\" b3"), "Invalid flag '-style'");
}

}  // namespace
