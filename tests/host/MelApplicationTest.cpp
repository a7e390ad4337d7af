// Maya's application, time and job commands on the host: units, time and playback, about and
// batch mode, resources, File > New and undo, script jobs and deferred MEL.
#define MNoVersionString
#include <maya/MTime.h>
#include <mayahost/UiControl.h>

#include <string>
#include <vector>

#include "MelFixture.h"

namespace {

using MelApplicationTest = MelHostTest;

TEST_F(MelApplicationTest, CurrentUnitSetsAndReportsTheUiUnits) {
    EXPECT_EQ(mel("currentUnit -q -linear"), "cm");
    EXPECT_EQ(mel("currentUnit -q -linear -fullName"), "centimeter");
    EXPECT_EQ(mel("currentUnit -q -time"), "film");
    EXPECT_EQ(mel("currentUnit -time ntsc"), "ntsc");
    EXPECT_EQ(MTime::uiUnit(), MTime::kNTSCFrame);
    EXPECT_EQ(mel("currentUnit -t sec"), "sec");
    EXPECT_EQ(mel("currentUnit -query -t"), "sec");
    EXPECT_EQ(mel("currentUnit -a rad; currentUnit -q -a"), "rad");
    EXPECT_EQ(failure("currentUnit -time lightyear"),
              "currentUnit: 'lightyear' is not a time unit.");
    EXPECT_EQ(failure("currentUnit -edit -time film"), "Invalid flag '-edit'")
        << "currentUnit has no edit mode";
}

TEST_F(MelApplicationTest, PlaybackOptionsAndPlay) {
    mel("playbackOptions -min 10 -max 20 -loop oscillate -by 2 -ps 0");
    EXPECT_DOUBLE_EQ(number("playbackOptions -q -min"), 10.0);
    EXPECT_DOUBLE_EQ(number("playbackOptions -q -maxTime"), 20.0);
    EXPECT_EQ(mel("playbackOptions -q -loop"), "oscillate");
    EXPECT_EQ(mayahost::playbackOptions().loop, mayahost::PlaybackLoop::Oscillate);
    EXPECT_DOUBLE_EQ(mayahost::playbackOptions().by, 2.0);
    EXPECT_DOUBLE_EQ(number("playbackOptions -q -fps"), 24.0);
    mel("playbackOptions -e -max 2sec");
    EXPECT_DOUBLE_EQ(mayahost::playbackOptions().maxTime, 48.0);
    EXPECT_EQ(failure("playbackOptions -min 30 -max 20"),
              "playbackOptions: the range would be empty, or -by or a speed out of range.");
    EXPECT_NE(failure("playbackOptions -loop sometimes").find("once, continuous or oscillate"),
              std::string::npos);

    EXPECT_EQ(mel("play -q -state"), "0");
    mel("play");
    EXPECT_EQ(mel("play -query -state"), "1");
    EXPECT_DOUBLE_EQ(number("currentTime -q"), 10.0) << "playback starts inside its range";
    mel("play -state off");
    EXPECT_EQ(mel("play -q -st"), "0");
    EXPECT_EQ(failure("play -forward false"), "play: this host plays forward only.");
}

TEST_F(MelApplicationTest, AboutAnswersForInteractiveAndBatchHosts) {
    EXPECT_EQ(mel("about -batch"), "0");
    EXPECT_EQ(mel("about -apiVersion"), "20220000");
    EXPECT_EQ(mel("about -os"), "linux64");
    EXPECT_EQ(mel("about -linux"), "1");
    EXPECT_EQ(mel("global string $gShelfTopLevel; $gShelfTopLevel"), "MayaWindow|ShelfLayout");
    EXPECT_EQ(mel("global string $gShelfTopLevel; layout -exists $gShelfTopLevel"), "1");

    mayahost::setBatchMode(true);
    EXPECT_TRUE(mayahost::batchMode());
    EXPECT_EQ(mel("about -b"), "1");
    EXPECT_EQ(mel("global string $gShelfTopLevel; $gShelfTopLevel"), "");
    EXPECT_EQ(mel("global string $gShelfTopLevel; layout -exists $gShelfTopLevel"), "0");
    EXPECT_TRUE(mayahost::uiWindows().empty());
    EXPECT_EQ(failure("window"), "window: UI commands are not available in batch mode.");
    EXPECT_EQ(mel("window -exists anything"), "0") << "-exists still answers";
    EXPECT_EQ(mel("scriptJob -event timeChanged \"print 1\""), "0") << "no jobs in batch mode";
    EXPECT_EQ(mel("scriptJob -listJobs"), "");

    mayahost::setBatchMode(false);
    EXPECT_EQ(mayahost::uiWindows(), std::vector<std::string>{"MayaWindow"});
}

TEST_F(MelApplicationTest, PluginResourcesComeFromTheStringTable) {
    mel("registerPluginResource \"hostPlugin\" \"kGreeting\" \"Hello ^1s\"");
    EXPECT_EQ(mel("getPluginResource \"hostPlugin\" \"kGreeting\""), "Hello ^1s");
    EXPECT_EQ(mel("format -stringArg \"you\" `getPluginResource \"hostPlugin\" \"kGreeting\"`"),
              "Hello you");
    mayahost::setLocalizedString("hostPlugin", "kGreeting", "Hallo ^1s");
    EXPECT_EQ(mel("getPluginResource(\"hostPlugin\", \"kGreeting\")"), "Hallo ^1s");
    EXPECT_EQ(failure("getPluginResource \"hostPlugin\" \"kMissing\""),
              "getPluginResource: no resource \"kMissing\" is registered for plug-in "
              "\"hostPlugin\".");
    EXPECT_EQ(failure("registerPluginResource \"hostPlugin\" \"kOnly\""),
              "Wrong number of arguments on call to registerPluginResource.");
}

TEST_F(MelApplicationTest, FileNewNeedsForceOnAModifiedScene) {
    EXPECT_EQ(mel("file -q -modified"), "0");
    mel("createNode -n j joint");
    EXPECT_EQ(mel("file -q -mf"), "1");
    EXPECT_EQ(failure("file -new"),
              "file: the scene has unsaved changes; use -force to discard them.");
    EXPECT_EQ(mel("file -f -new"), "untitled");
    EXPECT_EQ(list("ls"), std::vector<std::string>{"time1"});
    EXPECT_EQ(failure("file -open \"x.ma\""), "Invalid flag '-open'");
}

TEST_F(MelApplicationTest, ScriptJobsRunAtIdleOncePerEvent) {
    mel("global proc hostNote(string $what) {"
        "    global string $gNotes[]; $gNotes[size($gNotes)] = $what; }");
    const std::string job = mel("scriptJob -event \"timeUnitChanged\" \"hostNote unit\"");
    EXPECT_EQ(job, "1");
    EXPECT_EQ(mel("scriptJob -exists 1"), "1");
    mel("currentUnit -time ntsc; currentUnit -time pal");
    EXPECT_TRUE(list("global string $gNotes[]; $gNotes").empty()) << "nothing before idle";
    EXPECT_EQ(mayahost::runIdleQueue(), 1) << "two changes, one run";
    EXPECT_EQ(list("global string $gNotes[]; $gNotes"), std::vector<std::string>{"unit"});
    EXPECT_EQ(mayahost::runIdleQueue(), 0);

    // -runOnce dies after its run; -kill ends a job; -timeChange follows the current time.
    mel("scriptJob -runOnce true -tc \"hostNote once\"");
    mel("scriptJob -timeChange \"hostNote time\"");
    mel("currentTime 5");
    mayahost::runIdleQueue();
    mel("currentTime 6");
    mayahost::runIdleQueue();
    EXPECT_EQ(list("global string $gNotes[]; $gNotes"),
              (std::vector<std::string>{"unit", "once", "time", "time"}));
    EXPECT_EQ(mel("scriptJob -exists 2"), "0");
    mel("scriptJob -kill 3");
    EXPECT_EQ(mel("scriptJob -ex 3"), "0");
    EXPECT_EQ(failure("scriptJob -kill 3"), "Job number 3 does not exist.");
    EXPECT_EQ(failure("scriptJob -event \"somethingHappened\" \"print 1\""),
              "scriptJob: 'somethingHappened' is not an event this host fires.");
    EXPECT_EQ(list("scriptJob -listJobs"),
              std::vector<std::string>{"1: \"timeUnitChanged\" \"hostNote unit\""});
}

TEST_F(MelApplicationTest, ScriptJobsDieWithTheirParentOrTheScene) {
    mel("window -title \"Jobs\" jobsWindow; columnLayout; text jobsLabel; showWindow jobsWindow");
    EXPECT_EQ(mel("scriptJob -parent jobsLabel -e timeChanged \"print a\""), "1");
    EXPECT_EQ(mel("scriptJob -parent jobsLabel -replacePrevious -e timeChanged \"print b\""), "2");
    EXPECT_EQ(mel("scriptJob -exists 1"), "0") << "replaced";
    EXPECT_EQ(mel("scriptJob -killWithScene -e timeChanged \"print c\""), "3");
    EXPECT_EQ(mel("scriptJob -permanent -e timeChanged \"print d\""), "4");
    mel("deleteUI -window jobsWindow");
    EXPECT_EQ(mel("scriptJob -exists 2"), "0") << "gone with its control";
    mel("file -force -new");
    EXPECT_EQ(mel("scriptJob -exists 3"), "0") << "gone with the scene";
    EXPECT_EQ(failure("scriptJob -kill 4"), "Job number 4 is permanent and was not killed.");
    mel("scriptJob -killAll");
    EXPECT_EQ(mel("scriptJob -exists 4"), "1");
    EXPECT_EQ(failure("scriptJob -replacePrevious -e timeChanged \"print e\""),
              "scriptJob: -replacePrevious needs -parent.");
    EXPECT_EQ(failure("scriptJob -parent nowhere -e timeChanged \"print e\""),
              "Object 'nowhere' not found.");
}

TEST_F(MelApplicationTest, EvalDeferredRunsAtTheNextIdle) {
    mel("global proc hostStep(string $what) {"
        "    global string $gSteps[]; $gSteps[size($gSteps)] = $what; }");
    mel("evalDeferred \"hostStep second\"; evalDeferred -evaluateNext \"hostStep first\"");
    EXPECT_EQ(list("evalDeferred -list"),
              (std::vector<std::string>{"hostStep first", "hostStep second"}));
    EXPECT_TRUE(list("global string $gSteps[]; $gSteps").empty());
    EXPECT_EQ(mayahost::runIdleQueue(), 2);
    EXPECT_EQ(list("global string $gSteps[]; $gSteps"),
              (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(failure("evalDeferred"), "evalDeferred: give the script to run.");
}

// Controls are found by name however many there are; a name two windows share is the one
// below the current parent, else the first window's, and a deleted control is gone.
TEST_F(MelApplicationTest, ControlsAreFoundByNameUntilTheirWindowIsDeleted) {
    mel("window first; columnLayout; text -label \"one\" shared; text -label \"only\" alone");
    mel("window second; columnLayout; text -label \"two\" shared");
    EXPECT_EQ(mel("text -q -label shared"), "two") << "below the current parent";
    mel("setParent first|columnLayout1");
    EXPECT_EQ(mel("text -q -label shared"), "one");
    EXPECT_EQ(mel("text -q -label alone"), "only");
    EXPECT_EQ(mel("text -q -label second|columnLayout2|shared"), "two") << "by path";
    mel("deleteUI -window first");
    EXPECT_EQ(mel("control -exists alone"), "0");
    EXPECT_EQ(mel("text -q -label shared"), "two") << "the one left";
    mel("deleteUI -window second");
    EXPECT_EQ(mel("control -exists shared"), "0");
    mel("window first; columnLayout; text -label \"again\" alone");
    EXPECT_EQ(mel("text -q -label alone"), "again") << "a name freed can be used again";
}

}  // namespace
