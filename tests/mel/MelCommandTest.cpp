// C++ commands run from MEL: the call is checked against the command's syntax before the
// handler runs, results come back typed, failures stop the script, and raw commands get the
// words as written.
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "MelCallSites.h"
#include "MelFixture.h"

namespace {

using mayahost::MelArgType;
using mayahost::MelContext;
using mayahost::MelFlag;
using mayahost::MelInvocation;
using mayahost::MelResult;
using mayahost::MelSyntax;
using mayahost::MelType;
using mayahost::MelValue;

constexpr unsigned kCQE = MelFlag::kCreate | MelFlag::kQuery | MelFlag::kEdit;

class MelCommandTest : public MelFixture {
protected:
    void SetUp() override {
        MelFixture::SetUp();
        MelSyntax syntax("probe");
        syntax.addFlag("label", "l", {MelArgType::String}, kCQE)
            .addFlag("enable", "en", {MelArgType::Bool}, kCQE)
            .addFlag("offset", "o", {MelArgType::Float}, MelFlag::kCreate | MelFlag::kEdit)
            .addFlag("size", "s", {MelArgType::Int, MelArgType::Int}, kCQE)
            .addFlag("command", "c", {MelArgType::Script}, kCQE)
            .addFlag("exists", "ex")
            .setPositionals(0, 1, MelArgType::String);
        ASSERT_TRUE(mel.registerCommand(syntax, [this](const MelInvocation& call, MelContext&) {
            ++calls;
            last = call;
            if (call.has("exists")) {
                return MelResult::success(MelValue::ofInt(1));
            }
            return MelResult::success(MelValue::ofString("probe1"));
        }));
    }

    int calls = 0;
    MelInvocation last;
};

TEST_F(MelCommandTest, CommandSyntaxFlagsReachTheHandlerTyped) {
    ASSERT_TRUE(run("int $on = 1;\n"
                    "probe -l \"Live\" -enable $on -offset -10 -s 380 (200 + 50) name1;")
                    .ok())
        << shown();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(last.isCreate());
    EXPECT_EQ(last.stringValue("label"), "Live");
    EXPECT_TRUE(last.boolValue("enable"));
    EXPECT_DOUBLE_EQ(last.floatValue("offset"), -10.0);
    EXPECT_EQ(last.intValue("size", 0, 1), 250);
    ASSERT_EQ(last.positionals().size(), 1U);
    EXPECT_EQ(last.positionals()[0].asString(), "name1");
}

TEST_F(MelCommandTest, FunctionSyntaxPassesFlagsAsStrings) {
    const MelValue result = valueOf("probe(\"-e\", \"-label\", \"-new\", \"name2\")");
    EXPECT_EQ(result, MelValue::ofString("probe1"));
    EXPECT_TRUE(last.isEdit());
    EXPECT_EQ(last.stringValue("label"), "-new");
    EXPECT_EQ(last.positionals()[0].asString(), "name2");
}

TEST_F(MelCommandTest, QueryModeFlagsTakeNoValue) {
    ASSERT_TRUE(run("probe -q -label -size w;").ok()) << shown();
    EXPECT_TRUE(last.isQuery());
    EXPECT_TRUE(last.has("label"));
    EXPECT_TRUE(last.values("size").empty());
}

TEST_F(MelCommandTest, CheckedBeforeTheHandlerRunsWithMayaStyleErrors) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"probe -bogus 1;", "// Error: line 1: Invalid flag '-bogus' //"},
        {"probe -enable maybe;",
         "// Error: line 1: Flag '-enable' must be passed a boolean argument. //"},
        {"probe -size 1;", "// Error: line 1: Flag '-size' needs 2 arguments. //"},
        {"probe -q -offset;", "// Error: line 1: Flag '-offset' cannot be used in query mode. //"},
        {"probe -e -exists;", "// Error: line 1: Flag '-exists' cannot be used in edit mode. //"},
        {"probe a b;", "// Error: line 1: Wrong number of arguments on call to probe. //"},
        {"probe -l \"x\" -label \"y\";",
         "// Error: line 1: Flag '-label' can be used only once. //"},
        {"string $a[] = {\"x\"};\nprobe -label $a;",
         "// Error: line 2: Cannot convert data of type string[] to type string. //"},
    };
    for (const auto& [text, line] : cases) {
        mel.console().take();
        const MelResult result = run(text + "\nprint \"after\";");
        EXPECT_FALSE(result.ok()) << text;
        EXPECT_EQ(lines(), std::vector<std::string>{line}) << text;
        EXPECT_EQ(mel.console().printed(), "") << "the script must stop: " << text;
    }
    EXPECT_EQ(calls, 0);
}

TEST_F(MelCommandTest, ResultsComeBackWithTheirTypes) {
    mel.registerCommand(MelSyntax("numbers"), [](const MelInvocation&, MelContext&) {
        return MelResult::success(MelValue::ofFloats({1.5, 2}));
    });
    mel.registerCommand(MelSyntax("names"), [](const MelInvocation&, MelContext&) {
        return MelResult::success(MelValue::ofStrings({"a", "b"}));
    });
    mel.registerCommand(MelSyntax("nothing"),
                        [](const MelInvocation&, MelContext&) { return MelResult::success(); });
    EXPECT_EQ(valueOf("float $f[] = `numbers`; $f[1] + $f[0];"), MelValue::ofFloat(3.5));
    EXPECT_EQ(valueOf("string $n[] = names(); size($n);"), MelValue::ofInt(2));
    EXPECT_EQ(valueOf("int $i = `probe -exists`; $i;"), MelValue::ofInt(1));
    EXPECT_EQ(valueOf("names;").type(), MelType::StringArray);
    EXPECT_TRUE(valueOf("nothing;").isNone());
    mel.console().take();
    EXPECT_FALSE(run("float $x = `numbers`;").ok());
    EXPECT_EQ(lines(),
              std::vector<std::string>{
                  "// Error: line 1: Cannot convert data of type float[] to type float. //"});
    mel.console().take();
    EXPECT_FALSE(run("string $s = `nothing`;").ok());
    EXPECT_EQ(lines(), std::vector<std::string>{"// Error: line 1: The procedure or command "
                                                "\"nothing\" returns no value. //"});
}

TEST_F(MelCommandTest, AFailingHandlerStopsTheScriptUnlessCaught) {
    mel.registerCommand(MelSyntax("refuse").setPositionals(0, 1),
                        [](const MelInvocation&, MelContext&) {
                            return MelResult::failure("Object 'ctl' not found.");
                        });
    const MelResult result =
        run("global proc tryIt() { refuse; print \"never\"; }\n"
            "print (catch(tryIt()) + \"\\n\");\n"
            "tryIt;\n"
            "print \"never\";");
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.message(), "Object 'ctl' not found.");
    EXPECT_EQ(shown(),
              "// Error: line 1: Object 'ctl' not found. //\n"
              "1\n"
              "// Error: line 1: Object 'ctl' not found. //\n");
}

TEST_F(MelCommandTest, UnknownCommandsAndRegistrationRules) {
    EXPECT_FALSE(run("noSuchCommand -flag 1;").ok());
    EXPECT_EQ(lines(), std::vector<std::string>{
                           "// Error: line 1: Cannot find procedure \"noSuchCommand\". //"});
    const auto handler = [](const MelInvocation&, MelContext&) { return MelResult::success(); };
    EXPECT_FALSE(mel.registerCommand(MelSyntax("probe"), handler));
    EXPECT_FALSE(mel.registerCommand(MelSyntax("print"), handler));
    EXPECT_FALSE(mel.deregisterCommand("print"));
    EXPECT_TRUE(mel.deregisterCommand("probe"));
    EXPECT_FALSE(mel.hasCommand("probe"));
    EXPECT_FALSE(run("probe;").ok());
    mel.reset();
    EXPECT_TRUE(mel.hasCommand("print"));
}

TEST_F(MelCommandTest, RawCommandsReceiveEveryWordAsWritten) {
    std::vector<std::string> received;
    ASSERT_TRUE(mel.registerRawCommand(
        "TulvexDidCharacterize", [&](const std::vector<std::string>& words, MelContext&) {
            received = words;
            return MelResult::success(MelValue::ofInt(static_cast<int>(words.size())));
        }));
    EXPECT_EQ(valueOf("string $n[] = {\"a\", \"b\"};\n"
                      "TulvexDidCharacterize -node tulvexDevice0 -2 0.25 \"q s\" $n;"),
              MelValue::ofInt(7));
    EXPECT_EQ(received,
              (std::vector<std::string>{"-node", "tulvexDevice0", "-2", "0.25", "q s", "a", "b"}));
    valueOf("TulvexDidCharacterize(\"-x\", 1)");
    EXPECT_EQ(received, (std::vector<std::string>{"-x", "1"}));
}

TEST_F(MelCommandTest, HandlersWarnAtTheCallingLineAndRunCallbacksApart) {
    std::string stored;
    mel.registerCommand(MelSyntax("button").addFlag("command", "c", {MelArgType::Script}),
                        [&](const MelInvocation& call, MelContext& context) {
                            stored = call.stringValue("command");
                            context.warning("stored");
                            return MelResult::success();
                        });
    mel.registerCommand(MelSyntax("click"), [&](const MelInvocation&, MelContext& context) {
        const MelResult clicked = context.runCallback(stored);
        return MelResult::success(MelValue::ofInt(clicked.ok() ? 1 : 0));
    });
    ASSERT_TRUE(
        run("int $local = 5;\n\nbutton -c \"print \\\"clicked\\\"; error \\\"bad\\\"\";").ok());
    EXPECT_EQ(lines(), std::vector<std::string>{"// Warning: line 3: stored //"});
    mel.console().take();
    // The callback's error is printed and reported to the command, but the caller runs on.
    EXPECT_EQ(valueOf("int $r = `click`; print \" after\"; $r;"), MelValue::ofInt(0));
    EXPECT_EQ(shown(), "clicked// Error: line 1: bad //\n after");
    mel.console().take();
    stored = "print $local;";
    EXPECT_EQ(valueOf("int $local = 2; click;"), MelValue::ofInt(0));
    EXPECT_EQ(lines(), std::vector<std::string>{
                           "// Error: line 1: \"$local\" is an undeclared variable. //"});
}

TEST_F(MelCommandTest, ExceptionsFromHandlersBecomeErrorsOfTheCall) {
    mel.registerCommand(MelSyntax("throws"), [](const MelInvocation&, MelContext&) -> MelResult {
        throw std::runtime_error("broken");
    });
    EXPECT_FALSE(run("print \"a\";\nthrows;").ok());
    EXPECT_EQ(lines(), std::vector<std::string>{
                           "// Error: line 2: Internal error in command \"throws\": broken //"});
}

TEST_F(MelCommandTest, AFailureTheCommandShowedItselfIsNotShownAgain) {
    ASSERT_TRUE(mel.registerRawCommand("quiet", [](const std::vector<std::string>&, MelContext&) {
        return MelResult::failureShown();
    }));
    ASSERT_TRUE(run("global int $gAfter; $gAfter = 0;").ok());
    EXPECT_FALSE(run("quiet; $gAfter = 1;").ok());
    EXPECT_EQ(valueOf("global int $gAfter; $gAfter").asInt(), 0) << "it stopped the script";
    EXPECT_TRUE(lines().empty()) << shown();
    EXPECT_EQ(valueOf("catch(`quiet`)").asInt(), 1);
}

TEST_F(MelCommandTest, ModesAllowedWithoutAFlag) {
    ASSERT_TRUE(mel.registerCommand(
        MelSyntax("clock").allowModes(MelFlag::kQuery).setPositionals(0, 1, MelArgType::Float),
        [](const MelInvocation& call, MelContext&) {
            return MelResult::success(MelValue::ofInt(call.isQuery() ? 1 : 0));
        }));
    EXPECT_EQ(valueOf("clock -q").asInt(), 1);
    EXPECT_EQ(valueOf("clock 5").asInt(), 0);
    EXPECT_FALSE(run("clock -e 5").ok()) << "edit is not allowed";
    EXPECT_EQ(lines().back(), "// Error: line 1: Invalid flag '-e' //");
}

TEST(MelCallSites, ListsEveryCallAndDefinition) {
    mayahost::MelCallSites sites;
    std::string error;
    ASSERT_TRUE(
        sites.scan("global proc a() { b 1; string $s = `c -q`; }\n"
                   "proc d(string $x) { print(size($x)); }\n"
                   "if (e()) a();",
                   error))
        << error;
    std::vector<std::string> calls;
    for (const auto& call : sites.calls()) {
        calls.push_back(call.name + "@" + std::to_string(call.line));
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"b@1", "c@1", "print@2", "size@2", "e@3", "a@3"}));
    ASSERT_EQ(sites.definitions().size(), 2U);
    EXPECT_TRUE(sites.definitions()[0].isGlobal);
    EXPECT_FALSE(sites.definitions()[1].isGlobal);
    EXPECT_TRUE(sites.defines("d"));
    EXPECT_FALSE(sites.defines("b"));
    EXPECT_FALSE(sites.scan("global proc broken( { }", error));
    EXPECT_EQ(error.rfind("Line 1.", 0), 0U) << error;
}

}  // namespace
