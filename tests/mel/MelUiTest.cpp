// Maya's UI commands on the control tree, without a scene: names and paths, modes and flags,
// the default parent, deletion, a person's clicks and what they run, batch mode and the dump.
#include <string>
#include <vector>

#include "MelFixture.h"
#include "MelUi.h"
#include "UiDump.h"

namespace {

using mayahost::MelValue;
using mayahost::UiUser;

class MelUiTest : public MelFixture {
protected:
    void SetUp() override {
        MelFixture::SetUp();
        ASSERT_TRUE(ui.installed());
        ui.startUp(false);
        mel.console().take();
    }

    std::string text(const std::string& melText) { return valueOf(melText).asString(); }
    std::vector<std::string> strings(const std::string& melText) {
        const MelValue value = valueOf(melText);
        return value.isArray() ? value.strings() : std::vector<std::string>{value.asString()};
    }
    // The error a failing text showed, bare.
    std::string error(const std::string& text) {
        mel.console().take();
        EXPECT_FALSE(run(text).ok()) << text;
        for (const auto& entry : mel.console().take()) {
            if (entry.kind == mayahost::MelConsole::Entry::Kind::Error) {
                return entry.message;
            }
        }
        return "(no error shown)";
    }
    // A shown panel: a window with a column of a label, a box, a button and a field.
    void panel() {
        ASSERT_TRUE(run("window -title \"Panel\" -widthHeight 300 200 panel;"
                        "columnLayout -adjustableColumn true column;"
                        "text -label \"Hello\" greeting;"
                        "checkBox -label \"Live\" live;"
                        "button -label \"Go\" -command \"print \\\"go\\\"\" go;"
                        "scrollField -text \"notes\" notes;"
                        "setParent ..;"
                        "showWindow panel;")
                        .ok())
            << shown();
    }

    mayahost::MelUi ui{mel};
};

TEST_F(MelUiTest, ElementsFormATreeOfFullPaths) {
    EXPECT_EQ(text("window w"), "w");
    EXPECT_EQ(text("columnLayout"), "w|columnLayout1");
    EXPECT_EQ(text("text -label \"a\""), "w|columnLayout1|text1");
    EXPECT_EQ(text("checkBox box"), "w|columnLayout1|box");
    EXPECT_EQ(text("rowLayout -numberOfColumns 2"), "w|columnLayout1|rowLayout1");
    EXPECT_EQ(text("button"), "w|columnLayout1|rowLayout1|button1");
    EXPECT_EQ(text("setParent .."), "w|columnLayout1");
    EXPECT_EQ(text("button -parent \"w|columnLayout1|rowLayout1\" second"),
              "w|columnLayout1|rowLayout1|second");
    EXPECT_EQ(error("button -parent rowLayout1 third"),
              "Too many children in layout: w|columnLayout1|rowLayout1");

    EXPECT_EQ(strings("layout -q -childArray columnLayout1"),
              (std::vector<std::string>{"text1", "box", "rowLayout1"}));
    EXPECT_EQ(valueOf("layout -q -numberOfChildren rowLayout1").asInt(), 2);
    EXPECT_EQ(text("control -q -fullPathName box"), "w|columnLayout1|box");
    EXPECT_EQ(text("checkBox -q -parent box"), "w|columnLayout1");
    EXPECT_EQ(valueOf("window -exists w").asInt(), 1);
    EXPECT_EQ(valueOf("control -exists \"columnLayout1|box\"").asInt(), 1);
    EXPECT_EQ(valueOf("checkBox -exists text1").asInt(), 0) << "a text is no check box";
    EXPECT_EQ(valueOf("layout -exists box").asInt(), 0);
    EXPECT_EQ(strings("lsUI -windows"), (std::vector<std::string>{"MayaWindow", "w"}));
    EXPECT_EQ(strings("lsUI -long -type checkBox"),
              std::vector<std::string>{"w|columnLayout1|box"});
    EXPECT_EQ(strings("lsUI -controls \"b*\""), (std::vector<std::string>{"box", "button1"}));
}

TEST_F(MelUiTest, FlagsAreStoredEditedAndQueriedInTheirModes) {
    panel();
    EXPECT_EQ(text("window -q -title panel"), "Panel");
    EXPECT_EQ(valueOf("window -q -widthHeight panel").ints(), (std::vector<int>{300, 200}));
    EXPECT_EQ(text("checkBox -q -label live"), "Live");
    EXPECT_EQ(valueOf("checkBox -q -value live").asInt(), 0);
    EXPECT_EQ(valueOf("checkBox -q -enable live").asInt(), 1) << "enabled unless said";
    ASSERT_TRUE(run("checkBox -edit -label \"Live!\" -value on -enable 0 live").ok());
    EXPECT_EQ(text("checkBox -q -l live"), "Live!");
    EXPECT_EQ(valueOf("checkBox -q -v live").asInt(), 1);
    EXPECT_EQ(valueOf("control -q -enable live").asInt(), 0);
    EXPECT_EQ(text("button -q -label go"), "Go");
    EXPECT_EQ(text("button -q -command go"), "print \"go\"");
    EXPECT_EQ(text("button -q -label \"panel|column|go\""), "Go");
    ASSERT_TRUE(run("scrollField -e -insertText \" more\" notes").ok());
    EXPECT_EQ(text("scrollField -q -text notes"), "notes more");
    ASSERT_TRUE(run("scrollField -e -clear notes").ok());
    EXPECT_EQ(text("scrollField -q -tx notes"), "");
    EXPECT_EQ(text("checkBox -q -label \"panel|column|live\""), "Live!");
    ASSERT_TRUE(run("checkBox -parent column unlabelled").ok());
    EXPECT_EQ(text("checkBox -q -label unlabelled"), "unlabelled") << "Maya shows the name";

    EXPECT_EQ(error("checkBox -e -value 1 nope"), "Object 'nope' not found.");
    EXPECT_EQ(error("text -q -value greeting"), "Invalid flag '-value'");
    EXPECT_EQ(error("button -e -onCommand \"x\" go"), "Invalid flag '-onCommand'");
    EXPECT_EQ(error("window -e -retain panel"), "Flag '-retain' cannot be used in edit mode.");
    EXPECT_EQ(error("window -q -closeCommand panel"),
              "Flag '-closeCommand' cannot be used in query mode.");
    EXPECT_EQ(error("window -widthHeight 380 abc other"),
              "Flag '-widthHeight' must be passed an int argument.");
    EXPECT_EQ(error("checkBox -parent column -label \"again\" live"),
              "Object's name 'live' is not unique.");
    EXPECT_EQ(error("window -e -q -title panel"),
              "The query and edit flags cannot be used together.");
}

TEST_F(MelUiTest, ControlsNeedALayoutAndTheDefaultParentMoves) {
    ASSERT_TRUE(run("window bare").ok());
    EXPECT_EQ(error("button"), "Controls must have a layout. No layout found in window: bare");
    ASSERT_TRUE(run("columnLayout outer; columnLayout inner").ok());
    EXPECT_EQ(text("setParent -q"), "bare|outer|inner");
    EXPECT_EQ(text("setParent .."), "bare|outer");
    EXPECT_EQ(text("setParent \"bare|outer|inner\""), "bare|outer|inner");
    EXPECT_EQ(text("setParent -upLevel"), "bare|outer");
    EXPECT_EQ(text("setParent -topLevel"), "");
    EXPECT_EQ(text("setParent -q"), "");
    EXPECT_EQ(text("setParent .."), "") << "above the top it stays";
    EXPECT_EQ(error("text orphan"), "No window or layout to put the text in.");
    EXPECT_EQ(error("setParent nowhere"), "Object 'nowhere' not found.");
}

TEST_F(MelUiTest, DeletingAWindowTakesEverythingBelowIt) {
    panel();
    EXPECT_EQ(error("deleteUI -layout live"), "Object 'live' not found.")
        << "a type flag finds only that type";
    ASSERT_TRUE(run("deleteUI -control notes").ok());
    EXPECT_EQ(valueOf("control -exists notes").asInt(), 0);
    ASSERT_TRUE(run("deleteUI -window panel").ok());
    EXPECT_EQ(valueOf("control -exists live").asInt(), 0);
    EXPECT_EQ(valueOf("window -exists panel").asInt(), 0);
    EXPECT_EQ(error("deleteUI panel"), "Object 'panel' not found.");
    EXPECT_EQ(strings("lsUI -windows"), std::vector<std::string>{"MayaWindow"});
}

TEST_F(MelUiTest, APersonClicksWhatIsShownAndEnabled) {
    panel();
    UiUser& user = ui.user();
    EXPECT_TRUE(user.click("go").ok());
    EXPECT_EQ(mel.console().printed(), "go");

    ASSERT_TRUE(run("button -e -enable false go").ok());
    EXPECT_EQ(user.click("go").outcome, UiUser::Outcome::Unavailable);
    EXPECT_EQ(user.click("go").message, "'panel|column|go' is disabled");
    EXPECT_EQ(user.click("ghost").outcome, UiUser::Outcome::NotFound);
    EXPECT_EQ(user.click("greeting").outcome, UiUser::Outcome::Unavailable);

    // A window made but not shown cannot be reached.
    ASSERT_TRUE(run("window hidden; columnLayout; button -command \"print 1\" hiddenButton").ok());
    EXPECT_EQ(user.click("hiddenButton").message,
              "'hidden|columnLayout1|hiddenButton' is not in a "
              "shown window");

    // A failing command is reported as such, after the click happened.
    ASSERT_TRUE(run("button -e -enable 1 -command \"error \\\"broken\\\"\" go").ok());
    const UiUser::Result failed = user.click("go");
    EXPECT_EQ(failed.outcome, UiUser::Outcome::ScriptFailed);
    EXPECT_EQ(failed.message, "broken");
}

TEST_F(MelUiTest, ACheckBoxClickTogglesAndRunsItsCommandsInOrder) {
    panel();
    // Callbacks run as independent MEL, so they reach globals through a procedure.
    ASSERT_TRUE(run("global proc ran(string $what) {"
                    "    global string $gRan[]; $gRan[size($gRan)] = $what; }"
                    "checkBox -e -onCommand \"ran on\" -offCommand \"ran off\""
                    " -changeCommand \"ran change\" live")
                    .ok());
    UiUser& user = ui.user();
    EXPECT_TRUE(user.click("live").ok());
    EXPECT_EQ(valueOf("checkBox -q -value live").asInt(), 1);
    EXPECT_TRUE(user.setCheckBox("live", true).ok()) << "already on: nothing happens";
    EXPECT_TRUE(user.setCheckBox("live", false).ok());
    EXPECT_EQ(strings("global string $gRan[]; $gRan"),
              (std::vector<std::string>{"on", "change", "off", "change"}));

    // An edit from a script is no click: by the host's choice it runs nothing...
    ASSERT_TRUE(run("checkBox -e -value 1 live").ok());
    EXPECT_EQ(strings("global string $gRan[]; $gRan").size(), 4U);
    // ...and with the other choice it runs the command of the new value, once.
    ui.options().checkBoxEditRunsCommands = true;
    ASSERT_TRUE(run("checkBox -e -value 0 live; checkBox -e -value 0 live").ok());
    EXPECT_EQ(strings("global string $gRan[]; $gRan"),
              (std::vector<std::string>{"on", "change", "off", "change", "off", "change"}));

    ASSERT_TRUE(run("checkBox -e -editable false live").ok());
    EXPECT_EQ(user.click("live").outcome, UiUser::Outcome::Unavailable);
}

TEST_F(MelUiTest, FieldsTakeTypedTextAndWindowsClose) {
    panel();
    ASSERT_TRUE(run("global proc typed() {"
                    "    global string $gTyped; $gTyped = `scrollField -q -text notes`; }"
                    "scrollField -e -changeCommand \"typed\" notes")
                    .ok());
    UiUser& user = ui.user();
    EXPECT_TRUE(user.typeText("notes", "typed").ok());
    EXPECT_EQ(text("global string $gTyped; $gTyped"), "typed");
    ASSERT_TRUE(run("scrollField -e -editable 0 notes").ok());
    EXPECT_EQ(user.typeText("notes", "again").outcome, UiUser::Outcome::Unavailable);

    ASSERT_TRUE(run("window -e -closeCommand \"print \\\"closing\\\"\" panel").ok());
    EXPECT_TRUE(user.closeWindow("panel").ok());
    EXPECT_EQ(mel.console().printed(), "closing");
    EXPECT_EQ(valueOf("window -exists panel").asInt(), 0);

    ASSERT_TRUE(run("window -retain kept; columnLayout; showWindow kept").ok());
    EXPECT_TRUE(user.closeWindow("kept").ok());
    EXPECT_EQ(valueOf("window -exists kept").asInt(), 1);
    EXPECT_EQ(valueOf("window -q -visible kept").asInt(), 0);
}

TEST_F(MelUiTest, ACommandMayNotDeleteItsOwnControlButMayDeferIt) {
    panel();
    ASSERT_TRUE(run("button -e -command \"deleteUI -window panel\" go").ok());
    const UiUser::Result refused = ui.user().click("go");
    EXPECT_EQ(refused.outcome, UiUser::Outcome::ScriptFailed);
    EXPECT_EQ(refused.message,
              "Cannot delete 'panel' while its own command runs: Maya would crash. Defer it "
              "with evalDeferred.");
    EXPECT_EQ(valueOf("window -exists panel").asInt(), 1);
    // Once the command is over, the same deletion is fine.
    ASSERT_TRUE(run("deleteUI -window panel").ok());
}

TEST_F(MelUiTest, AnOptionMenuChoosesAmongItsItemsAndAPersonsChoiceRunsItsCommand) {
    panel();
    ASSERT_TRUE(run("global proc chose(string $what) {"
                    "    global string $gChose[]; $gChose[size($gChose)] = $what; }")
                    .ok());
    EXPECT_EQ(error("optionMenu -value \"None\" early"),
              "optionMenu: no item of that label or number");
    EXPECT_EQ(error("menuItem -label \"Lost\""), "menuItem: there is no menu to put it in.");
    EXPECT_EQ(text("setParent column; optionMenu -label \"Drive\" -cc \"chose #1\" menu"),
              "panel|column|menu");
    EXPECT_EQ(text("optionMenu -q -value menu"), "");
    // Items go into the option menu made last.
    EXPECT_EQ(text("menuItem -label \"None\""), "panel|column|menu|menuItem1");
    ASSERT_TRUE(run("menuItem -l \"rig:Hero\"; menuItem -p menu -l \"Two words\" two").ok());
    EXPECT_EQ(text("optionMenu -q -value menu"), "None") << "the first item is chosen";
    EXPECT_EQ(valueOf("optionMenu -q -numberOfItems menu").asInt(), 3);
    EXPECT_EQ(strings("optionMenu -q -itemListShort menu"),
              (std::vector<std::string>{"menuItem1", "menuItem2", "two"}));
    EXPECT_EQ(strings("optionMenu -q -ill menu").back(), "panel|column|menu|two");
    EXPECT_EQ(text("menuItem -q -label two"), "Two words");

    // A script's choice runs nothing; one it cannot make is an error.
    ASSERT_TRUE(run("optionMenu -e -value \"rig:Hero\" menu").ok());
    EXPECT_EQ(valueOf("optionMenu -q -select menu").asInt(), 2);
    ASSERT_TRUE(run("optionMenu -e -sl 3 menu").ok());
    EXPECT_EQ(text("optionMenu -q -v menu"), "Two words");
    EXPECT_EQ(error("optionMenu -e -v \"Nobody\" menu"),
              "optionMenu: no item of that label or number: Nobody");
    EXPECT_EQ(error("optionMenu -e -sl 4 menu"), "optionMenu: no item of that label or number: 4");
    EXPECT_EQ(error("optionMenu -q -changeCommand menu"),
              "Flag '-changeCommand' cannot be used in query mode.");
    EXPECT_TRUE(strings("global string $gChose[]; $gChose").empty());

    // A person's choice runs the change command with #1 replaced by the label as it is, once
    // per change: a label of two words is two arguments.
    UiUser& user = ui.user();
    EXPECT_TRUE(user.chooseMenuItem("menu", "rig:Hero").ok());
    EXPECT_TRUE(user.chooseMenuItem("menu", "rig:Hero").ok());
    EXPECT_EQ(strings("global string $gChose[]; $gChose"), (std::vector<std::string>{"rig:Hero"}));
    EXPECT_EQ(user.chooseMenuItem("menu", "Two words").outcome, UiUser::Outcome::ScriptFailed);
    EXPECT_EQ(user.chooseMenuItem("menu", "Nobody").outcome, UiUser::Outcome::NotFound);

    // Opening it runs its before-show command first, which may remake the items; a command may
    // not delete the item being chosen.
    ASSERT_TRUE(run("optionMenu -e -cc \"deleteUI -menuItem menuItem1\" -bsp \"menuItem -l Late\""
                    " menu")
                    .ok());
    EXPECT_EQ(user.chooseMenuItem("menu", "None").outcome, UiUser::Outcome::ScriptFailed);
    EXPECT_EQ(strings("optionMenu -q -isl menu"),
              (std::vector<std::string>{"menuItem1", "menuItem2", "two", "menuItem3"}));
    // Without the chosen item the first is chosen; the items go with the menu.
    ASSERT_TRUE(run("deleteUI -menuItem menuItem1").ok());
    EXPECT_EQ(text("optionMenu -q -v menu"), "rig:Hero");
    EXPECT_EQ(error("deleteUI -control two"), "Object 'two' not found.");
    ASSERT_TRUE(run("deleteUI menu").ok());
    EXPECT_TRUE(valueOf("lsUI -menuItems").strings().empty());
}

TEST_F(MelUiTest, ShelvesLiveInTheMainWindowsShelfTabLayout) {
    EXPECT_EQ(text("global string $gShelfTopLevel; $gShelfTopLevel"), "MayaWindow|ShelfLayout");
    EXPECT_EQ(text("global string $gShelfTopLevel; shelfLayout -parent $gShelfTopLevel Tools"),
              "MayaWindow|ShelfLayout|Tools");
    EXPECT_EQ(text("shelfButton -parent Tools -label \"Hi\" -command \"print \\\"hi\\\"\" -iol "
                   "\"Hi\" -image1 \"a.png\" -sourceType \"mel\""),
              "MayaWindow|ShelfLayout|Tools|shelfButton1");
    ASSERT_TRUE(
        run("shelfButton -parent Tools -label \"Py\" -stp \"python\" -c \"print(1)\" py").ok());
    EXPECT_EQ(text("shelfTabLayout -q -selectTab \"MayaWindow|ShelfLayout\""), "Tools");
    EXPECT_EQ(text("shelfButton -q -sourceType shelfButton1"), "mel");
    EXPECT_TRUE(ui.user().click("shelfButton1").ok());
    EXPECT_EQ(mel.console().printed(), "hi");
    EXPECT_EQ(ui.user().click("py").message,
              "'MayaWindow|ShelfLayout|Tools|py' runs python, which this host does not run.");
    EXPECT_EQ(error("shelfTabLayout -e -selectTab Nothing ShelfLayout"),
              "Object 'Nothing' not found.");
}

TEST_F(MelUiTest, BatchModeHasNoUi) {
    ui.startUp(true);
    EXPECT_EQ(text("global string $gShelfTopLevel; $gShelfTopLevel"), "");
    EXPECT_EQ(valueOf("global string $gShelfTopLevel; layout -exists $gShelfTopLevel").asInt(), 0);
    EXPECT_EQ(error("window w"), "window: UI commands are not available in batch mode.");
    EXPECT_EQ(error("deleteUI w"), "deleteUI: UI commands are not available in batch mode.");
    EXPECT_TRUE(valueOf("lsUI -windows").strings().empty());
}

TEST_F(MelUiTest, TheDumpShowsWhatAPersonSees) {
    panel();
    ASSERT_TRUE(run("checkBox -e -value 1 live; button -e -enable 0 go;"
                    "scrollField -e -editable 0 -text \"a\\tb\" notes")
                    .ok());
    EXPECT_EQ(mayahost::UiDump::text(*ui.tree().find("panel")),
              "window panel \"Panel\" shown\n"
              "  columnLayout column\n"
              "    text greeting \"Hello\"\n"
              "    checkBox live \"Live\" on\n"
              "    button go \"Go\" disabled\n"
              "    scrollField notes \"a\\tb\" read-only\n");
}

}  // namespace
