#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "JournalReader.h"
#include "TakeSidecar.h"

// The takes journaled beside a scene, as their sidecars describe them, and the recovery of
// takes whose writer died. Host-free: the main thread calls it when a user or a scene event
// asks; it reads only sidecars, and a journal's other files only to recover it.
class TakeList {
public:
    struct Row {
        int take = 0;
        std::string node;
        double seconds = -1.0;  // timeline time covered; negative when the sidecar cannot say
        std::uint64_t frames = 0;
        std::uint64_t gaps = 0;
        std::string state;
        std::string sidecarPath;
    };

    // <project root>/data/tulvex/<scene file name without extension, or "untitled">.
    static std::string journalFolder(const std::string& projectRoot, const std::string& scenePath);
    // Timeline units per second of a `currentUnit -q -time` name; 0 for one it does not know.
    static double unitsPerSecond(const std::string& unit);
    static Row rowOf(const TakeSidecar& sidecar, const std::string& sidecarPath);
    // The takes of `node` (every node when empty) in `folder`, by node and take number. A
    // sidecar that cannot be read is left out, with a line naming it and why in `problems`.
    static std::vector<Row> read(const std::string& folder, const std::string& node,
                                 std::vector<std::string>& problems);
    // Takes still marked recording whose writer is gone: no process holds their capture open.
    static std::vector<Row> unfinished(const std::vector<Row>& rows);
    static bool writerAlive(const std::string& sidecarPath);

    // Take number, seconds, frames, gaps, state, node and sidecar path, tab-separated; the
    // path last, since only it may hold any character. "?" for a length the sidecar cannot say.
    static std::string rowText(const Row& row);
    // "1 unfinished take found: <file>, <length> s", and the plural for more; empty for none.
    static std::string unfinishedMessage(const std::vector<Row>& rows);

    // Marks a recovered journal's sidecar with what was recovered from it, so it is no longer
    // listed as unfinished: a new file renamed over the old one.
    static bool markRecovered(const std::string& sidecarPath,
                              const JournalReader::Contents& contents, std::string& error);

    TakeList() = delete;
};
