// The corpus: MEL programs, each with the exact output it must show (print text, and the
// warning and error lines as Maya's Script Editor shows them).
#include <fstream>
#include <sstream>
#include <string>

#include "MelFixture.h"

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class MelCorpus : public MelFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(MelCorpus, ShowsExactlyTheExpectedOutput) {
    const std::string base = std::string(TULVEX_MEL_CORPUS_DIR) + "/" + GetParam();
    const std::string program = readFile(base + ".mel");
    const std::string expected = readFile(base + ".out");
    ASSERT_FALSE(program.empty()) << base;
    ASSERT_FALSE(expected.empty()) << base;
    run(program);
    EXPECT_EQ(shown(), expected);
}

INSTANTIATE_TEST_SUITE_P(Programs, MelCorpus,
                         ::testing::Values("variables", "arrays", "operators", "conversions",
                                           "control", "procedures", "globals", "strings", "errors",
                                           "eval"));

}  // namespace
