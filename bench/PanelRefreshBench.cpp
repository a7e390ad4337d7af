// What the panels' status refresh costs the main thread: the staged plug-in and scripts in
// the stand-in host, N device nodes with their panels open, and the timer's refresh of every
// open panel timed on its own. Nodes are measured not live and live (socket open, nothing
// arriving), and live with a sender's frames arriving between refreshes.
// Usage: tulvex_panel_refresh_bench [refreshes per case, default 2000]
#include <maya/MGlobal.h>
#include <maya/MStatus.h>
#include <mayahost/HostControl.h>
#include <zmf/ZmfCodec.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "LoopbackSender.h"
#include "Percentiles.h"

namespace {

using Clock = std::chrono::steady_clock;

bool mel(const std::string& text) {
    const MStatus status = MGlobal::executeCommand(MString(text.c_str()));
    if (status != MStatus::kSuccess) {
        std::fprintf(stderr, "failed: %s\n", text.c_str());
        for (const std::string& error : mayahost::takeScriptErrors()) {
            std::fprintf(stderr, "  %s\n", error.c_str());
        }
        return false;
    }
    return true;
}

void idle() {
    for (int round = 0; round < 20 && mayahost::runIdleQueue() > 0; ++round) {
    }
}

// Lets the nodes' threads and evaluations catch up, as Maya's loop would between refreshes.
void pump(int nodes) {
    mayahost::processRefreshes();
    for (int n = 0; n < nodes; ++n) {
        mayahost::pullDirtyOutputs(mayahost::findNode("tulvexDevice" + std::to_string(n)));
    }
    idle();
}

// A frame to each node's port before every refresh, when there is a sender.
struct Stream {
    const LoopbackSender* sender = nullptr;
    std::vector<int> ports;
    std::vector<std::byte> frame;
};

std::vector<std::byte> frameDatagram() {
    zmf::FramePacket frame;
    frame.frameNumber = 1;
    frame.timestamp = 1.0;
    for (int bone = 0; bone < 27; ++bone) {
        frame.boneIds.push_back(bone);
        frame.bones.push_back({{0, 0, 0, 1}, {0, 0, 0}});
    }
    return zmf::encode(frame);
}

Percentiles timeRefreshes(int nodes, int refreshes, const Stream& stream = {}) {
    std::vector<double> micros;
    micros.reserve(static_cast<std::size_t>(refreshes));
    for (int r = 0; r < refreshes; ++r) {
        if (stream.sender != nullptr) {
            for (const int port : stream.ports) {
                stream.sender->send(port, stream.frame);
            }
        }
        pump(nodes);
        const Clock::time_point start = Clock::now();
        MGlobal::executeCommand("tulvexRefreshPanels");
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return Percentiles::of(micros);
}

void print(const char* what, int nodes, const Percentiles& p) {
    // The timer refreshes once a second, so the median in microseconds per second is also the
    // share of the main thread in millionths.
    std::printf(
        "%-34s %2d panel(s): median %8.1f us  p99 %8.1f us  max %8.1f us  "
        "(%.4f%% of the main thread)\n",
        what, nodes, p.median, p.p99, p.max, p.median / 1e4);
}

}  // namespace

int main(int argc, char** argv) {
    const int refreshes = argc > 1 ? std::atoi(argv[1]) : 2000;
    if (refreshes <= 0) {
        std::fprintf(stderr, "usage: %s [refreshes per case]\n", argv[0]);
        return 2;
    }
    mayahost::setScriptEcho(false);
    mayahost::setScriptPath({TULVEX_BENCH_SCRIPTS_DIR});
    if (mayahost::loadPlugin(TULVEX_BENCH_PLUGIN_MODULE) != MStatus::kSuccess) {
        std::fprintf(stderr, "the plug-in did not load\n");
        return 1;
    }
    idle();
    std::printf("Panel status refresh (tulvexRefreshPanels), %d refreshes per case\n", refreshes);
    std::vector<int> ports;
    int made = 0;
    for (const int nodes : {1, 4, 8}) {
        for (; made < nodes; ++made) {
            ports.push_back(LoopbackSender::freePort());
            if (!mel("tulvexNewDevice") || !mel("setAttr tulvexDevice" + std::to_string(made) +
                                                ".inputPort " + std::to_string(ports.back()))) {
                return 1;
            }
            idle();
        }
        print("not live", nodes, timeRefreshes(nodes, refreshes));
        for (int n = 0; n < nodes; ++n) {
            mel("setAttr tulvexDevice" + std::to_string(n) + ".live 1");
        }
        pump(nodes);
        print("live, nothing arriving", nodes, timeRefreshes(nodes, refreshes));
        const LoopbackSender sender;
        Stream stream{&sender, std::vector<int>(ports.begin(), ports.begin() + nodes),
                      frameDatagram()};
        print("live, frames arriving", nodes, timeRefreshes(nodes, refreshes, stream));
        for (int n = 0; n < nodes; ++n) {
            mel("setAttr tulvexDevice" + std::to_string(n) + ".live 0");
        }
        pump(nodes);
    }
    const std::vector<std::string> errors = mayahost::takeScriptErrors();
    for (const std::string& error : errors) {
        std::fprintf(stderr, "script error: %s\n", error.c_str());
    }
    mel("file -force -new");
    idle();
    mayahost::unloadPlugin(TULVEX_BENCH_PLUGIN_MODULE);
    return errors.empty() ? 0 : 1;
}
