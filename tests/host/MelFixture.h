#pragma once

#include <maya/MCommandResult.h>
#include <maya/MGlobal.h>
#include <maya/MStringArray.h>
#include <mayahost/HostControl.h>

#include <string>
#include <vector>

#include "HostFixture.h"

// A fresh host whose MEL output is kept quiet, with short ways to run MEL and read what it
// gave or said.
class MelHostTest : public HostFixture {
protected:
    void SetUp() override {
        HostFixture::SetUp();
        mayahost::setScriptEcho(false);
    }

    // Runs MEL that must succeed; its result as text (an array's elements joined by blanks).
    static std::string mel(const std::string& text) {
        MCommandResult result;
        EXPECT_EQ(MGlobal::executeCommand(MString(text.c_str()), result), MStatus::kSuccess)
            << text << "\n"
            << errors();
        return result.stringResult().asChar();
    }
    // Runs MEL that must give a string array.
    static std::vector<std::string> list(const std::string& text) {
        MStringArray array;
        EXPECT_EQ(MGlobal::executeCommand(MString(text.c_str()), array), MStatus::kSuccess)
            << text << "\n"
            << errors();
        std::vector<std::string> out;
        for (unsigned int i = 0; i < array.length(); ++i) {
            out.emplace_back(array[i].asChar());
        }
        return out;
    }
    static double number(const std::string& text) {
        double value = 0.0;
        EXPECT_EQ(MGlobal::executeCommand(MString(text.c_str()), value), MStatus::kSuccess)
            << text << "\n"
            << errors();
        return value;
    }
    // Runs MEL that must fail; the bare text of the error it showed.
    static std::string failure(const std::string& text) {
        EXPECT_NE(MGlobal::executeCommand(MString(text.c_str())), MStatus::kSuccess) << text;
        const std::vector<std::string> shown = mayahost::takeScriptErrors();
        return shown.empty() ? std::string("(no error shown)") : shown.back();
    }
    static std::string errors() {
        std::string all;
        for (const std::string& line : mayahost::takeScriptLines()) {
            all += line + "\n";
        }
        return all;
    }
};
