// Maya's node, attribute and connection commands on the host's scene: names and DAG paths,
// values in UI units, the conversions a connection makes, and Maya's errors.
#define MNoVersionString
#include <maya/MFnDependencyNode.h>
#include <maya/MPlug.h>

#include <cmath>
#include <string>
#include <vector>

#include "MelFixture.h"

namespace {

using MelSceneTest = MelHostTest;

MPlug plugOf(const std::string& node, const std::string& attribute) {
    return MFnDependencyNode(mayahost::findNode(node)).findPlug(attribute.c_str(), false);
}

TEST_F(MelSceneTest, CreateNodeNamesParentsAndRefuses) {
    EXPECT_EQ(mel("createNode transform"), "transform1");
    EXPECT_EQ(mel("createNode -name \"grp\" transform"), "grp");
    EXPECT_EQ(mel("createNode -n arm -p grp joint"), "arm");
    EXPECT_EQ(mel("createNode -n hand -parent \"|grp|arm\" joint"), "hand");
    EXPECT_EQ(mel("createNode -n grp transform"), "grp1") << "a taken name becomes a free one";
    EXPECT_EQ(mel("createNode -shared -n grp transform"), "grp") << "-shared keeps what exists";
    EXPECT_EQ(
        list("ls -long -type transform"),
        (std::vector<std::string>{"|transform1", "|grp", "|grp|arm", "|grp|arm|hand", "|grp1"}));
    EXPECT_EQ(failure("createNode nurbsDragon"), "Unknown object type: nurbsDragon");
    EXPECT_EQ(failure("createNode -p nowhere joint"), "No object matches name: nowhere");
    EXPECT_NE(failure("createNode -p time1 joint").find("only DAG nodes"), std::string::npos);
    EXPECT_EQ(failure("createNode -nmae x transform"), "Invalid flag '-nmae'");
    EXPECT_EQ(failure("createNode"), "Wrong number of arguments on call to createNode.");
}

TEST_F(MelSceneTest, DeletingAParentTakesItsChildrenAndUndoBringsThemBack) {
    mel("createNode -n grp transform; createNode -n arm -p grp joint; "
        "createNode -n hand -p arm joint; createNode -n other transform");
    mel("delete grp");
    EXPECT_EQ(list("ls -type transform"), std::vector<std::string>{"other"});
    EXPECT_EQ(mel("objExists hand"), "0");
    mel("undo");
    EXPECT_EQ(list("ls -long -type joint"),
              (std::vector<std::string>{"|grp|arm", "|grp|arm|hand"}));
    // A child named after its parent is deleted once.
    mel("delete grp hand");
    EXPECT_EQ(list("ls -type transform"), std::vector<std::string>{"other"});
    mel("flushUndo; undo");
    EXPECT_EQ(mayahost::takeScriptWarnings(),
              std::vector<std::string>{"There are no more commands to undo."});
    // Undone one at a time, a child comes back under its parent once that is back.
    mel("createNode -n top transform; createNode -n mid -p top joint");
    mel("delete mid; delete top; undo");
    EXPECT_EQ(list("ls -long top mid"), std::vector<std::string>{"|top"});
    mel("undo");
    EXPECT_EQ(list("ls -long top mid"), (std::vector<std::string>{"|top", "|top|mid"}));
    EXPECT_EQ(failure("delete ghost"), "No object matches name: ghost");
    EXPECT_EQ(failure("delete"), "Not enough objects or values.");
}

// Nodes are found by name: a name a delete, a rename or a new scene frees is free again.
TEST_F(MelSceneTest, NamesFreedByDeleteRenameAndANewSceneAreFreeAgain) {
    mel("createNode -n a transform");
    mel("delete a");
    EXPECT_EQ(mel("objExists a"), "0");
    mel("createNode -n b joint");
    EXPECT_EQ(mel("rename b a"), "a");
    EXPECT_EQ(mel("nodeType a"), "joint");
    EXPECT_EQ(mel("objExists b"), "0") << "the old name goes with the rename";
    EXPECT_EQ(mel("createNode -n b transform"), "b");
    EXPECT_EQ(mel("createNode -n a transform"), "a1") << "a name in use is not given twice";
    mel("file -force -new");
    for (const char* name : {"a", "a1", "b"}) {
        EXPECT_EQ(mel(std::string("objExists ") + name), "0") << name;
    }
    EXPECT_EQ(mel("createNode -n a transform"), "a");
}

TEST_F(MelSceneTest, LsFindsByTypeNameAndPattern) {
    mel("createNode -n rootGrp transform; createNode -n armJoint -p rootGrp joint; "
        "createNode -n legJoint joint");
    EXPECT_EQ(list("ls -type joint"), (std::vector<std::string>{"armJoint", "legJoint"}));
    EXPECT_EQ(list("ls -exactType transform"), std::vector<std::string>{"rootGrp"});
    EXPECT_EQ(list("ls \"*Joint\""), (std::vector<std::string>{"armJoint", "legJoint"}));
    EXPECT_EQ(list("ls -long \"rootGrp|*\""), std::vector<std::string>{"|rootGrp|armJoint"});
    EXPECT_EQ(list("ls -showType legJoint"), (std::vector<std::string>{"legJoint", "joint"}));
    EXPECT_EQ(list("ls -dag"), (std::vector<std::string>{"rootGrp", "armJoint", "legJoint"}));
    EXPECT_TRUE(list("ls nothingLikeThis").empty()) << "no match is an empty answer";
    EXPECT_TRUE(list("ls -selection").empty());
    EXPECT_EQ(failure("ls -type notAType"), "Unknown object type: notAType");
    EXPECT_EQ(list("string $names[] = {\"legJoint\", \"time1\"}; ls $names"),
              (std::vector<std::string>{"time1", "legJoint"}));
}

TEST_F(MelSceneTest, ObjExistsNodeTypeAndRename) {
    mel("createNode -n j joint");
    EXPECT_EQ(mel("objExists j"), "1");
    EXPECT_EQ(mel("objExists j.translateX"), "1");
    EXPECT_EQ(mel("objExists j.noSuch"), "0");
    EXPECT_EQ(mel("nodeType j"), "joint");
    EXPECT_EQ(
        list("nodeType -inherited j"),
        (std::vector<std::string>{"containerBase", "entity", "dagNode", "transform", "joint"}));
    EXPECT_EQ(mel("nodeType -apiType j"), "kJoint");
    EXPECT_EQ(mel("nodeType -isTypeName -apiType time"), "kTime");
    EXPECT_EQ(mel("rename j limb"), "limb");
    mel("createNode -n k joint");
    EXPECT_EQ(mel("rename k limb"), "limb1");
    EXPECT_EQ(mel("rename limb1 \"part#\""), "part1");
    EXPECT_EQ(mel("rename part1 \"a-b c\""), "a_b_c");
    EXPECT_EQ(mayahost::takeScriptWarnings(),
              std::vector<std::string>{
                  "New name contains invalid characters. Illegal characters were converted to "
                  "\"_\"."});
    EXPECT_EQ(failure("rename ghost x"), "No object matches name: ghost");
}

TEST_F(MelSceneTest, AttributesAreSetAndReadInUiUnits) {
    mel("createNode -n j joint");
    mel("setAttr j.tx 2.5; setAttr \"j.rotateY\" 90; setAttr j.ro 3");
    EXPECT_DOUBLE_EQ(mayahost::plugValues(plugOf("j", "rotateY")).at(0), M_PI / 2.0)
        << "plugs keep radians";
    EXPECT_EQ(mel("getAttr j.ry"), "90");
    EXPECT_EQ(mel("getAttr j.tx"), "2.5");
    mel("currentUnit -linear mm");
    EXPECT_EQ(mel("getAttr j.tx"), "25");
    mel("setAttr j.ty 10");
    EXPECT_DOUBLE_EQ(mayahost::plugValues(plugOf("j", "translateY")).at(0), 1.0) << "cm inside";
    mel("currentUnit -linear cm");

    // Integers read as int, compounds as float[], with MEL's boolean words accepted.
    EXPECT_EQ(mel("int $ro = `getAttr j.rotateOrder`; $ro + 1"), "4");
    mel("setAttr j.visibility off");
    EXPECT_EQ(mel("getAttr j.v"), "0");
    mel("setAttr j.t 1 2 3");
    EXPECT_EQ(list("string $t[] = `getAttr j.translate`; $t"),
              (std::vector<std::string>{"1", "2", "3"}));
    mel("setAttr j.s -type double3 2 2 2");
    EXPECT_EQ(mel("getAttr j.scale"), "2 2 2");
    EXPECT_EQ(mel("getAttr -type j.translate"), "double3");
    EXPECT_EQ(mel("getAttr -type j.tx"), "doubleLinear");
    EXPECT_EQ(mel("getAttr -type j.v"), "bool");

    EXPECT_EQ(failure("setAttr j.tx abc"), "setAttr: Error reading data element number 1: abc");
    EXPECT_EQ(failure("setAttr j.t 1 2"), "setAttr: 'j.translate' takes 3 value(s); 2 were given.");
    EXPECT_EQ(failure("setAttr j.nope 1"), "No object matches name: j.nope");
    EXPECT_EQ(failure("setAttr time1.outTime 3"),
              "setAttr: The attribute 'time1.outTime' is not writable.");
    EXPECT_EQ(failure("setAttr j.tx -type \"string\" x"),
              "setAttr: 'j.translateX' does not hold data of type string.");
    EXPECT_EQ(failure("float $f = `getAttr j.translate`"),
              "Cannot convert data of type float[] to type float.");
}

TEST_F(MelSceneTest, LockedAndConnectedAttributesCannotBeSet) {
    mel("createNode -n j joint; createNode -n k joint");
    mel("setAttr -lock true j.tx");
    EXPECT_EQ(mel("getAttr -lock j.tx"), "1");
    EXPECT_EQ(mel("getAttr -settable j.tx"), "0");
    EXPECT_EQ(failure("setAttr j.tx 1"),
              "setAttr: The attribute 'j.translateX' is locked or connected and cannot be "
              "modified.");
    mel("setAttr -lock false j.tx 4");
    EXPECT_EQ(mel("getAttr j.tx"), "4");
    mel("connectAttr k.tx j.ty");
    EXPECT_EQ(failure("setAttr j.ty 1"),
              "setAttr: The attribute 'j.translateY' is locked or connected and cannot be "
              "modified.");
    mel("setAttr -lock on j.tz");
    EXPECT_EQ(failure("connectAttr k.tx j.tz"),
              "connectAttr: The destination attribute 'j.translateZ' is locked.");
    mel("connectAttr -lock false k.tx j.tz");
    EXPECT_EQ(mel("getAttr -lock j.tz"), "0");
}

TEST_F(MelSceneTest, ConnectionsConvertUnitsFixedWhenMade) {
    mel("createNode -n j joint; createNode -n k joint");
    EXPECT_EQ(mel("connectAttr time1.outTime j.tx"), "Connected time1.outTime to j.translateX.");
    // A time output into a distance goes through a conversion of film's rate (1/250 s).
    EXPECT_EQ(list("ls -type timeToUnitConversion"),
              std::vector<std::string>{"timeToUnitConversion1"});
    EXPECT_DOUBLE_EQ(number("getAttr timeToUnitConversion1.conversionFactor"), 0.004);
    EXPECT_EQ(list("listConnections -source true -destination false j.tx"),
              std::vector<std::string>{"timeToUnitConversion1"});
    EXPECT_EQ(list("listConnections -s 1 -d 0 -scn 1 -p 1 j.tx"),
              std::vector<std::string>{"time1.outTime"});
    EXPECT_EQ(list("listConnections -d 1 -s 0 -scn 1 time1"), std::vector<std::string>{"j"});
    EXPECT_EQ(list("listConnections -c 1 -p 1 -s 1 -d 0 j"),
              (std::vector<std::string>{"j.translateX", "timeToUnitConversion1.output"}));
    EXPECT_EQ(list("listConnections -type joint time1"), std::vector<std::string>{})
        << "the conversion node is what time1 drives";

    // The same connection again: a warning, and the conversion node stays, -force or not.
    mel("connectAttr -force time1.outTime j.tx");
    EXPECT_EQ(mayahost::takeScriptWarnings(),
              std::vector<std::string>{"'time1.outTime' is already connected to 'j.translateX'."});
    // A new unit changes nothing made before; disconnecting and connecting again does.
    mel("currentUnit -time ntsc");
    EXPECT_DOUBLE_EQ(number("getAttr timeToUnitConversion1.conversionFactor"), 0.004);
    EXPECT_EQ(mel("disconnectAttr time1.outTime j.tx"),
              "Disconnect time1.outTime from j.translateX.");
    EXPECT_TRUE(list("ls -type timeToUnitConversion").empty()) << "its conversion goes with it";
    mel("connectAttr time1.outTime j.tx");
    const std::vector<std::string> conversions = list("ls -type timeToUnitConversion");
    ASSERT_EQ(conversions.size(), 1U);
    EXPECT_DOUBLE_EQ(number("getAttr " + conversions[0] + ".conversionFactor"), 1.0 / 200.0);

    // Another source needs -force, which drops the old conversion.
    EXPECT_EQ(failure("connectAttr k.tx j.tx"),
              "connectAttr: 'j.translateX' already has an incoming connection.");
    mel("connectAttr -f k.tx j.tx");
    EXPECT_TRUE(list("ls -type timeToUnitConversion").empty());
    EXPECT_EQ(list("listConnections -s 1 -d 0 j.tx"), std::vector<std::string>{"k"});
    EXPECT_EQ(failure("disconnectAttr time1.outTime j.tx"),
              "There is no connection from 'time1.outTime' to 'j.translateX' to disconnect");
    EXPECT_EQ(failure("connectAttr k.t j.tx"),
              "connectAttr: The attributes 'k.translate' and 'j.translateX' are not compatible.");
}

TEST_F(MelSceneTest, ConnectedValuesArePulledThroughTheConversion) {
    mel("createNode -n j joint; connectAttr time1.outTime j.tx; currentTime 12");
    EXPECT_DOUBLE_EQ(number("getAttr j.tx"), 12.0) << "frames of film in centimetres";
    EXPECT_DOUBLE_EQ(number("currentTime -q"), 12.0);
    mel("currentTime 1sec");
    EXPECT_DOUBLE_EQ(number("currentTime -query"), 24.0);
}

// What a scene says about itself: set, read back (escaped, as from a file), removed, and gone
// with File > New.
TEST_F(MelSceneTest, FileInfoIsKeptWithTheSceneUntilFileNew) {
    mel("fileInfo \"tulvexDrive0\" \"rig:Hero;\"; fileInfo \"quoted\" \"say \\\"hi\\\"\"");
    mel("fileInfo \"tulvexDrive0\" \"Villain;rig:Hero\"");
    EXPECT_EQ(list("fileInfo -q \"tulvexDrive0\""), std::vector<std::string>{"Villain;rig:Hero"});
    EXPECT_EQ(list("fileInfo -q \"quoted\""), std::vector<std::string>{"say \\\"hi\\\""});
    EXPECT_EQ(list("fileInfo -query"), (std::vector<std::string>{"tulvexDrive0", "Villain;rig:Hero",
                                                                 "quoted", "say \\\"hi\\\""}));
    EXPECT_TRUE(list("fileInfo -q \"missing\"").empty());
    EXPECT_EQ(failure("fileInfo \"alone\""), "fileInfo: give a keyword and a value.");
    mel("fileInfo -remove \"quoted\"");
    EXPECT_EQ(mayahost::fileInfo().size(), 1U);
    mel("file -new -force");
    EXPECT_TRUE(mayahost::fileInfo().empty());
}

}  // namespace
