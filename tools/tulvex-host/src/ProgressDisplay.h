#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

// One status line per node. On a terminal the lines are redrawn in place; otherwise (a log,
// a pipe) they are printed as plain lines now and then, so a log does not fill up with them.
class ProgressDisplay {
public:
    ProgressDisplay(std::FILE* out, bool interactive);

    static bool isTerminal(std::FILE* stream);

    // A line that stays: the status block, if shown, is redrawn below it.
    void note(const std::string& text);
    // The current status lines; shown at most a few times per second.
    void update(const std::vector<std::string>& lines);
    // Shows the last lines once more and leaves them standing.
    void finish();

private:
    void draw();
    void erase();

    std::FILE* mOut;
    bool mInteractive;
    std::vector<std::string> mLines;
    std::size_t mShownLines = 0;  // lines of the block currently on the terminal
    std::chrono::steady_clock::time_point mLastDraw;
    bool mDrawn = false;
};
