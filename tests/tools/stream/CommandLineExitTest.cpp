#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DocumentPointers.h"
#include "LoopbackReceiver.h"
#include "Subprocess.h"

namespace {

using Args = std::vector<std::string>;

Subprocess::Result run(Args args) {
    args.insert(args.begin(), TULVEX_STREAM_EXE);
    return Subprocess::run(args);
}

bool mentions(const std::string& text, const std::string& what) {
    return text.find(what) != std::string::npos;
}

TEST(CommandLineExitTest, HelpListsEveryOptionAndSucceeds) {
    const auto r = run({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    for (const char* option :
         {"--host", "--port", "--fps", "--duration", "--performers", "--loss", "--seed", "--jitter",
          "--pause-at", "--pause-for", "--quiet", "--repeat-definition", "capture", "--output",
          "--count", "replay", "--input", "--speed"}) {
        EXPECT_TRUE(mentions(r.out, option)) << option;
    }
    const std::vector<std::string> documents = documentsNamedIn(r.out);
    EXPECT_EQ(documents, (std::vector<std::string>{"docs/wire-format.md", "docs/user-guide.md"}));
    for (const std::string& document : documents) {
        EXPECT_TRUE(documentExists(document)) << document;
    }
}

TEST(CommandLineExitTest, BadArgumentsExitTwoWithTheUsageNamingTheCulprit) {
    const std::pair<Args, std::string> cases[] = {
        {{"--colour", "red"}, "--colour"},
        {{"extra"}, "extra"},
        {{"--port"}, "--port"},
        {{"--port", "--fps", "30"}, "--port"},
        {{"--fps", "45"}, "--fps"},
        {{"--port", "0"}, "--port"},
        {{"--port", "65536"}, "--port"},
        {{"--port", "99999999999999999999"}, "--port"},
        {{"--duration", "-1"}, "--duration"},
        {{"--duration", "nan"}, "--duration"},
        {{"--jitter=-5"}, "--jitter"},
        {{"--loss", "101"}, "--loss"},
        {{"--performers", "0"}, "--performers"},
        {{"--port", "65535", "--performers", "2"}, "65535"},
        {{"--pause-at", "1"}, "--pause-for"},
        {{"--repeat-definition", "0"}, "--repeat-definition"},
        {{"--quiet=yes"}, "--quiet"},
        {{"capture", "--port", "5000"}, "--output"},
        {{"capture", "--output", "x.pcap", "--count", "-2"}, "--count"},
        {{"replay"}, "--input"},
        {{"replay", "--input", "x.pcap", "--speed", "0"}, "--speed"},
        {{"replay", "--input", "x.pcap", "--fps", "30"}, "--fps"},
    };
    for (const auto& [args, culprit] : cases) {
        const auto r = run(args);
        EXPECT_EQ(r.exitCode, 2) << culprit;
        EXPECT_TRUE(mentions(r.err, culprit)) << r.err;
        EXPECT_TRUE(mentions(r.err, "usage: tulvex-stream")) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

TEST(CommandLineExitTest, HostPcapAndSocketFailuresHaveTheirOwnCodes) {
    // An empty label fails inside the resolver: no name server is ever asked.
    const auto host = run({"--host", "no..such.host", "--duration", "0.1"});
    EXPECT_EQ(host.exitCode, 3);
    EXPECT_TRUE(mentions(host.err, "no..such.host")) << host.err;

    const auto pcap = run({"replay", "--input", "/nonexistent/take.pcap"});
    EXPECT_EQ(pcap.exitCode, 4);
    EXPECT_TRUE(mentions(pcap.err, "/nonexistent/take.pcap")) << pcap.err;

    const LoopbackReceiver holder;  // keeps its port bound
    const std::string port = std::to_string(holder.port());
    const auto busy = run({"capture", "--bind", "127.0.0.1", "--port", port, "--output",
                           "/nonexistent/x.pcap", "--duration", "0.1"});
    EXPECT_EQ(busy.exitCode, 5);
    EXPECT_TRUE(mentions(busy.err, "127.0.0.1:" + port)) << busy.err;

    const int freePort = LoopbackReceiver().port();  // released at the semicolon
    const auto unwritable =
        run({"capture", "--bind", "127.0.0.1", "--port", std::to_string(freePort), "--output",
             "/nonexistent/x.pcap", "--duration", "0.1"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(mentions(unwritable.err, "/nonexistent/x.pcap")) << unwritable.err;
}

}  // namespace
