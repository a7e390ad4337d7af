#include "ProgressDisplay.h"

#include <unistd.h>

namespace {

constexpr std::chrono::milliseconds kTerminalInterval(100);
constexpr std::chrono::milliseconds kLogInterval(1000);

}  // namespace

ProgressDisplay::ProgressDisplay(std::FILE* out, bool interactive)
    : mOut(out), mInteractive(interactive) {}

bool ProgressDisplay::isTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) == 1;
}

void ProgressDisplay::note(const std::string& text) {
    erase();
    std::fprintf(mOut, "%s\n", text.c_str());
    if (mInteractive && !mLines.empty()) {
        draw();
    }
    std::fflush(mOut);
}

void ProgressDisplay::update(const std::vector<std::string>& lines) {
    mLines = lines;
    const auto now = std::chrono::steady_clock::now();
    const auto interval = mInteractive ? kTerminalInterval : kLogInterval;
    if (mDrawn && now - mLastDraw < interval) {
        return;
    }
    erase();
    draw();
    mLastDraw = now;
    mDrawn = true;
}

void ProgressDisplay::finish() {
    erase();
    draw();
    mShownLines = 0;  // they stay on the terminal
    mDrawn = false;
}

void ProgressDisplay::draw() {
    for (const std::string& line : mLines) {
        std::fprintf(mOut, "%s\n", line.c_str());
    }
    mShownLines = mInteractive ? mLines.size() : 0;
    std::fflush(mOut);
}

void ProgressDisplay::erase() {
    // Cursor up over the block and clear each line; the plug-in's own prints may have
    // scrolled some of it away, which only leaves a stale line behind.
    for (std::size_t i = 0; i < mShownLines; ++i) {
        std::fputs("\x1b[1A\x1b[2K\r", mOut);
    }
    mShownLines = 0;
}
