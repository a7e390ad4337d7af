// The user guide quotes the texts Tulvex shows a person. Each quote is checked against where
// those texts come from: the plug-in's message table, the strings the scripts register and the
// warnings the scripts write out in full. A reworded message then cannot leave the guide
// behind, and a text the scripts show that the guide never explains is caught too.
//
// The guide's markup: a text Tulvex shows is a code span in double quotes, `"Not live"`, with
// an example value where the text carries one; a control label is bold, **Live**.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "TulvexMessages.h"

namespace {

struct ProductText {
    std::string source;  // where it is written: the plug-in's table or a script file
    std::string key;     // its table key; empty for a text a script writes out in full
    std::string text;
};

struct Marked {
    int line;
    std::string text;
};

// What the guide marks, outside fenced code blocks.
struct GuideMarks {
    std::vector<Marked> quotes;  // `"..."` code spans, without the double quotes
    std::vector<Marked> labels;  // **...**
    std::vector<int> unclosed;   // lines with a code span left open: a quote could hide there
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> split(const std::string& joined, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(joined);
    std::string part;
    while (std::getline(in, part, separator)) {
        if (!part.empty()) {
            parts.push_back(part);
        }
    }
    return parts;
}

std::string fileName(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

// Table texts end in the line breaks and blanks printf output wants; a reader sees none.
std::string trimEnd(std::string text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
        text.pop_back();
    }
    return text;
}

// ---- What the guide marks ---------------------------------------------------------------------

GuideMarks collectMarks(const std::string& markdown) {
    GuideMarks marks;
    std::istringstream in(markdown);
    std::string line;
    int number = 0;
    bool fenced = false;
    while (std::getline(in, line)) {
        ++number;
        const std::size_t indent = line.find_first_not_of(' ');
        if (indent != std::string::npos && line.compare(indent, 3, "```") == 0) {
            fenced = !fenced;
            continue;
        }
        if (fenced) {
            continue;
        }
        std::string prose;  // the line with its code spans taken out
        std::size_t at = 0;
        while (at < line.size()) {
            const std::size_t open = line.find('`', at);
            if (open == std::string::npos) {
                prose += line.substr(at);
                break;
            }
            const std::size_t close = line.find('`', open + 1);
            if (close == std::string::npos) {
                marks.unclosed.push_back(number);
                prose += line.substr(at);
                break;
            }
            prose += line.substr(at, open - at) + " ";
            const std::string span = line.substr(open + 1, close - open - 1);
            if (span.size() >= 2 && span.front() == '"' && span.back() == '"') {
                marks.quotes.push_back({number, span.substr(1, span.size() - 2)});
            }
            at = close + 1;
        }
        for (std::size_t bold = prose.find("**"); bold != std::string::npos;) {
            const std::size_t end = prose.find("**", bold + 2);
            if (end == std::string::npos) {
                break;
            }
            marks.labels.push_back({number, prose.substr(bold + 2, end - bold - 2)});
            bold = prose.find("**", end + 2);
        }
    }
    return marks;
}

// ---- The texts in the scripts -----------------------------------------------------------------

// Stands for a variable joined into a string: the same mark as a format placeholder, so it
// matches any value.
constexpr const char* kVariable = "^0s";

std::string unescapeMel(const std::string& raw) {
    std::string text;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\' || i + 1 == raw.size()) {
            text += raw[i];
            continue;
        }
        const char next = raw[++i];
        text += next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
    }
    return text;
}

std::vector<ProductText> registeredResources(const std::string& file, const std::string& code) {
    static const std::regex registration(
        R"re(registerPluginResource\s+\S+\s+"((?:[^"\\]|\\.)*)"\s+"((?:[^"\\]|\\.)*)")re");
    std::vector<ProductText> texts;
    for (auto match = std::sregex_iterator(code.begin(), code.end(), registration);
         match != std::sregex_iterator(); ++match) {
        texts.push_back({file, unescapeMel((*match)[1].str()), unescapeMel((*match)[2].str())});
    }
    return texts;
}

// A MEL string literal starting at `at` (its opening quote); returns its raw content and moves
// `at` past the closing quote.
std::string literalAt(const std::string& code, std::size_t& at) {
    std::string raw;
    std::size_t i = at + 1;
    while (i < code.size() && code[i] != '"') {
        if (code[i] == '\\' && i + 1 < code.size()) {
            raw += code[i++];
        }
        raw += code[i++];
    }
    at = i + 1;
    return raw;
}

std::size_t skipBlanks(const std::string& code, std::size_t at) {
    while (at < code.size() && std::isspace(static_cast<unsigned char>(code[at])) != 0) {
        ++at;
    }
    return at;
}

bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// The texts given in full to `warning` or `error`, also inside command strings the scripts
// build (the shelf's command is one): every joined string is read again as MEL.
void collectFixedTexts(const std::string& file, const std::string& code,
                       std::vector<ProductText>& texts, int depth) {
    std::string lastWord;  // the word just before, blanks between allowed
    std::size_t i = 0;
    while (i < code.size()) {
        const char c = code[i];
        if (c == '/' && i + 1 < code.size() && code[i + 1] == '/') {
            i = code.find('\n', i);
            continue;
        }
        if (c == '/' && i + 1 < code.size() && code[i + 1] == '*') {
            const std::size_t end = code.find("*/", i + 2);
            i = end == std::string::npos ? code.size() : end + 2;
            continue;
        }
        if (c == '"') {
            // "a" + "b" + $v + "c": one string, the variable standing for any value.
            std::string value = unescapeMel(literalAt(code, i));
            for (;;) {
                const std::size_t plus = skipBlanks(code, i);
                if (plus >= code.size() || code[plus] != '+') {
                    break;
                }
                std::size_t next = skipBlanks(code, plus + 1);
                if (next < code.size() && code[next] == '"') {
                    value += unescapeMel(literalAt(code, next));
                } else if (next < code.size() && code[next] == '$') {
                    ++next;
                    while (next < code.size() && isWordChar(code[next])) {
                        ++next;
                    }
                    value += kVariable;
                } else {
                    break;
                }
                i = next;
            }
            if (lastWord == "warning" || lastWord == "error") {
                texts.push_back({file, "", value});
            } else if (depth < 3) {
                collectFixedTexts(file, value, texts, depth + 1);
            }
            lastWord.clear();
            continue;
        }
        if (isWordChar(c)) {
            lastWord.clear();
            while (i < code.size() && isWordChar(code[i])) {
                lastWord += code[i++];
            }
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(c)) == 0) {
            lastWord.clear();
        }
        ++i;
    }
}

// ---- Matching ---------------------------------------------------------------------------------

// A product text as a pattern: MEL's ^1s and printf's %s, %u, % d match any value, the rest
// only itself.
std::regex patternOf(const std::string& text) {
    std::string pattern;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::size_t end = i + 1;
        if (c == '^') {
            while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) != 0) {
                ++end;
            }
            if (end > i + 1 && end < text.size() && text[end] == 's') {
                pattern += "(.+)";
                i = end;
                continue;
            }
        }
        if (c == '%') {
            while (end < text.size() && std::strchr("-+ #0", text[end]) != nullptr) {
                ++end;
            }
            while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) != 0) {
                ++end;
            }
            if (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end])) != 0) {
                pattern += "(.+)";
                i = end;
                continue;
            }
        }
        if (std::strchr("\\^$.|?*+()[]{}", c) != nullptr) {
            pattern += '\\';
        }
        pattern += c;
    }
    return std::regex(pattern);
}

bool quotes(const std::string& quote, const ProductText& text) {
    return std::regex_match(quote, patternOf(text.text));
}

bool anyQuotes(const std::vector<Marked>& quoted, const ProductText& text) {
    for (const Marked& quote : quoted) {
        if (quotes(quote.text, text)) {
            return true;
        }
    }
    return false;
}

// ---- The product's texts and the guide --------------------------------------------------------

struct Catalogue {
    std::vector<ProductText> table;      // the plug-in's message table
    std::vector<ProductText> resources;  // registerPluginResource in the scripts
    std::vector<ProductText> fixed;      // warnings and errors the scripts give in full
};

Catalogue productTexts() {
    Catalogue catalogue;
    for (const TulvexMessage& message : TulvexMessages::kRegistered) {
        catalogue.table.push_back({"plug-in", message.key, trimEnd(message.defaultText)});
    }
    const TulvexMessage& unregistered = TulvexMessages::kRegStringsError;
    catalogue.table.push_back({"plug-in", unregistered.key, trimEnd(unregistered.defaultText)});
    for (const std::string& path : split(TULVEX_SCRIPT_SOURCES, '|')) {
        const std::string code = readFile(path);
        const std::vector<ProductText> registered = registeredResources(fileName(path), code);
        catalogue.resources.insert(catalogue.resources.end(), registered.begin(), registered.end());
        collectFixedTexts(fileName(path), code, catalogue.fixed, 0);
    }
    return catalogue;
}

std::string describe(const ProductText& text) {
    return text.source + (text.key.empty() ? "" : " " + text.key) + ": \"" + text.text + "\"";
}

class UserGuide : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string guide = readFile(TULVEX_USER_GUIDE);
        ASSERT_FALSE(guide.empty()) << "cannot read " << TULVEX_USER_GUIDE;
        const GuideMarks marks = collectMarks(guide);
        mQuotes = marks.quotes;
        mLabels = marks.labels;
        mUnclosed = marks.unclosed;
        mTexts = productTexts();
    }

    std::vector<Marked> mQuotes;
    std::vector<Marked> mLabels;
    std::vector<int> mUnclosed;
    Catalogue mTexts;
};

TEST_F(UserGuide, EveryQuotedMessageIsATextTheProductShows) {
    std::string unclosed;
    for (const int line : mUnclosed) {
        unclosed += " " + std::to_string(line);
    }
    EXPECT_TRUE(unclosed.empty()) << "code spans run past the end of line(s)" << unclosed
                                  << ": a message quoted there would go unchecked";
    std::string unknown;
    for (const Marked& quote : mQuotes) {
        bool found = false;
        for (const std::vector<ProductText>* texts :
             {&mTexts.table, &mTexts.resources, &mTexts.fixed}) {
            for (const ProductText& text : *texts) {
                found = found || quotes(quote.text, text);
            }
        }
        if (!found) {
            unknown += "\n  line " + std::to_string(quote.line) + ": \"" + quote.text + "\"";
        }
    }
    EXPECT_TRUE(unknown.empty()) << "quoted in the guide, shown by no table or script:" << unknown;
}

TEST_F(UserGuide, EveryBoldLabelIsAControlLabelTheScriptsRegister) {
    std::string unknown;
    for (const Marked& label : mLabels) {
        bool found = false;
        for (const ProductText& text : mTexts.resources) {
            found = found || text.text == label.text;
        }
        if (!found) {
            unknown += "\n  line " + std::to_string(label.line) + ": **" + label.text + "**";
        }
    }
    EXPECT_TRUE(unknown.empty()) << "bold in the guide, but no control is labelled so:" << unknown;
}

// Everything the scripts show is explained, and so are the plug-in's messages a person meets:
// an empty or partial guide fails here.
TEST_F(UserGuide, TheGuideCoversEveryTextTheScriptsShowAndThePluginsCoreMessages) {
    std::string missing;
    for (const ProductText& text : mTexts.resources) {
        bool labelled = false;
        for (const Marked& label : mLabels) {
            labelled = labelled || label.text == text.text;
        }
        if (!labelled && !anyQuotes(mQuotes, text)) {
            missing += "\n  " + describe(text);
        }
    }
    for (const ProductText& text : mTexts.fixed) {
        if (!anyQuotes(mQuotes, text)) {
            missing += "\n  " + describe(text);
        }
    }
    const TulvexMessage core[] = {
        TulvexMessages::kPortInUseError,         TulvexMessages::kZmfImportError,
        TulvexMessages::kZmfFunctionImportError, TulvexMessages::kAwaitingSkelDef,
        TulvexMessages::kSkelDefReceived,        TulvexMessages::kYourIp,
        TulvexMessages::kGettingIpError,         TulvexMessages::kCreateCurvesError,
    };
    for (const TulvexMessage& message : core) {
        const ProductText text{"plug-in", message.key, trimEnd(message.defaultText)};
        if (!anyQuotes(mQuotes, text)) {
            missing += "\n  " + describe(text);
        }
    }
    EXPECT_TRUE(missing.empty()) << "not quoted in the guide:" << missing;
}

// ---- The readers themselves, on small samples --------------------------------------------------

TEST(UserGuideReaders, PlaceholdersMatchAValueAndEverythingElseOnlyItself) {
    const ProductText silent{"", "", "No data for ^1s s"};
    EXPECT_TRUE(quotes("No data for 3 s", silent));
    EXPECT_TRUE(quotes("No data for ^1s s", silent));
    EXPECT_FALSE(quotes("No data for 3 seconds", silent));
    EXPECT_FALSE(quotes("No data for  s", silent)) << "a placeholder stands for a value";

    const ProductText title{"", "", "Tulvex Device ^1s (^2s)"};
    EXPECT_TRUE(quotes("Tulvex Device 0 (tulvexDevice0)", title));
    EXPECT_FALSE(quotes("Tulvex Device 0 tulvexDevice0", title));

    const ProductText port{"", "", "Try using a different port."};
    EXPECT_FALSE(quotes("Try using a different port!", port)) << "a dot is only a dot";
    EXPECT_FALSE(quotes("Try using a different port. ", port));

    EXPECT_TRUE(
        quotes("Bind failed [Address already in use]", ProductText{"", "", "Bind failed [%s]"}));
    EXPECT_TRUE(quotes("Initializing Socket 12351", ProductText{"", "", "Initializing Socket% d"}));
    EXPECT_TRUE(
        quotes("Bind failed with error 98", ProductText{"", "", "Bind failed with error %u"}));
}

TEST(UserGuideReaders, QuotesAndLabelsAreReadOutsideCodeBlocksOnly) {
    const GuideMarks marks = collectMarks(
        "Press **Live**; the panel shows `\"Not live\"`, then `\"No data for 2 s\"`.\n"
        "A command: `loadPlugin \"TulvexMayaPlugin\"`, and `**not a label**`.\n"
        "```\n"
        "`\"inside a block\"` **also inside**\n"
        "```\n"
        "  ```mel\n"
        "`\"indented block\"`\n"
        "  ```\n"
        "After: `\"Recording\"` and **Back to Live**\n"
        "A message broken `\"across\n"
        "two lines\"`.\n");
    ASSERT_EQ(marks.quotes.size(), 3U);
    EXPECT_EQ(marks.quotes[0].text, "Not live");
    EXPECT_EQ(marks.quotes[0].line, 1);
    EXPECT_EQ(marks.quotes[1].text, "No data for 2 s");
    EXPECT_EQ(marks.quotes[2].text, "Recording");
    EXPECT_EQ(marks.quotes[2].line, 9);
    ASSERT_EQ(marks.labels.size(), 2U);
    EXPECT_EQ(marks.labels[0].text, "Live");
    EXPECT_EQ(marks.labels[1].text, "Back to Live");
    EXPECT_EQ(marks.unclosed, (std::vector<int>{10, 11}));
}

TEST(UserGuideReaders, ScriptTextsAreFoundAsTheScriptsWriteThem) {
    const std::string code =
        "// warning \"a comment\";\n"
        "registerPluginResource $plugin \"kQuoted\" \"Say \\\"hi\\\" ^1s\";\n"
        "warning `format -stringArg $x (tulvexUiString(\"kQuoted\"))`;\n"
        "warning \"Tulvex: plain \" + \"and joined.\";\n"
        "return (\"if (1) eval \\\"\" + $procedure + \"\\\"; \"\n"
        "    + \"else warning \\\"Tulvex: built \"\n"
        "    + \"in a command.\\\";\");\n"
        "error (\"not \" + \"fixed\");\n";
    const std::vector<ProductText> registered = registeredResources("x.mel", code);
    ASSERT_EQ(registered.size(), 1U);
    EXPECT_EQ(registered[0].key, "kQuoted");
    EXPECT_EQ(registered[0].text, "Say \"hi\" ^1s");

    std::vector<ProductText> fixed;
    collectFixedTexts("x.mel", code, fixed, 0);
    ASSERT_EQ(fixed.size(), 2U);
    EXPECT_EQ(fixed[0].text, "Tulvex: plain and joined.");
    EXPECT_EQ(fixed[1].text, "Tulvex: built in a command.");
}

}  // namespace
