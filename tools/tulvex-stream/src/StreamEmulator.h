#pragma once

#include <cstdint>
#include <iosfwd>
#include <vector>

#include "StreamOptions.h"

// Streams the performers of the options in real time on one thread: every frame period each
// performer sends its frame (after its definition when one is due), to its own port.
class StreamEmulator {
public:
    struct Counts {
        int port = 0;
        std::int64_t definitions = 0;
        std::int64_t frames = 0;
        std::int64_t dropped = 0;  // by --loss; frames in a pause are not counted
    };

    StreamEmulator(StreamOptions options, std::ostream& out);

    // Until the duration is over or StopFlag is raised. Throws ToolError on failure, after
    // printing the summary when sending had begun.
    void run();

    const std::vector<Counts>& counts() const { return counts_; }

private:
    void printSummary() const;

    StreamOptions options_;
    std::ostream& out_;
    std::vector<Counts> counts_;
};
