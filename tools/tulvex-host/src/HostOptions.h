#pragma once

#include <string>

// When the panels' controls are printed.
enum class PanelDisplay { kNever, kAtEnd, kAlways };

// What one run of the host does. Empty paths mean: found next to the executable.
struct HostOptions {
    std::string pluginPath;
    std::string scriptsDir;
    int performers = 1;
    int port = 12351;
    double recordSeconds = 5.0;
    double waitTimeoutSeconds = 15.0;
    std::string outputPath = "take.ma";
    // The project folder the takes are journaled under (<DIR>/data/tulvex/untitled/); empty:
    // the folder of outputPath.
    std::string journalDir;
    // A journal to bake again instead of recording; empty: record.
    std::string rebakePath;
    // Take options, set on every node before it records (or bakes again); off by default.
    bool continuousRotations = false;
    bool smoothing = false;
    double smoothingMinCutoff = 0.0;  // Hz, when smoothing
    double smoothingBeta = 0.0;
    double floorOffsetCm = 0.0;
    // Whether the command line set them; a take baked again keeps its own otherwise.
    bool smoothingGiven = false;
    bool floorOffsetGiven = false;
    // A MEL script sourced once the take is baked, before the scene is written; empty: none.
    std::string melPath;
    PanelDisplay panels = PanelDisplay::kNever;
    bool help = false;
};
