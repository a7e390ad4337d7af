#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "MelInterpreter.h"

// An interpreter with its console kept quiet, and a fresh temporary folder on its script path
// for the script files a case writes.
class MelFixture : public ::testing::Test {
protected:
    void SetUp() override {
        mel.console().setEcho(false);
        char pattern[] = "/tmp/tulvex-mel-XXXXXX";
        const char* made = mkdtemp(pattern);
        ASSERT_NE(made, nullptr);
        folder = made;
        mel.scriptFolders().setFolders({folder});
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    mayahost::MelResult run(const std::string& text) { return mel.execute(text); }

    // The value a text leaves, with a failure reported as a test failure.
    mayahost::MelValue valueOf(const std::string& text) {
        const mayahost::MelResult result = mel.execute(text);
        EXPECT_TRUE(result.ok()) << text << "\n" << shown();
        return result.value();
    }

    // Everything shown: print text as is, then each warning or error line with a newline.
    std::string shown() {
        std::string text;
        for (const auto& entry : mel.console().entries()) {
            if (entry.kind == mayahost::MelConsole::Entry::Kind::Print) {
                text += entry.message;
            } else {
                text += entry.line + "\n";
            }
        }
        return text;
    }

    std::vector<std::string> lines() { return mel.console().lines(); }

    // Writes a script into the folder on the script path; returns its full path.
    std::string writeScript(const std::string& name, const std::string& text) {
        const std::string path = folder + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    mayahost::MelInterpreter mel;
    std::string folder;
};
