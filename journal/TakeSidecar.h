#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// What a journal's sidecar (<node>_take<N>.json) says about its take, and its JSON text.
// Reading checks every field's presence and type and refuses a newer format version.
struct TakeSidecar {
    static constexpr int kFormatVersion = 1;
    static constexpr const char* kFormatName = "tulvex-take-journal";

    // Filled in when the take starts.
    std::string pluginVersion;
    std::string node;
    int deviceId = 0;
    int port = 0;
    int streamRate = 0;        // frames per second the phone sends; 0 when not detected
    std::string timeUnit;      // the scene's UI time unit, as `currentUnit -q -time` names it
    double playbackMin = 0.0;  // playback range and step, in that unit
    double playbackMax = 0.0;
    double playbackStep = 1.0;
    std::string skeletonName;  // curves are named <skeletonName>_<bone>_tx ...
    std::vector<std::string> bones;
    // Settings that shaped the take, by name (frameRate, maxFilledGapSeconds, ...).
    std::vector<std::pair<std::string, double>> settings;

    // Filled in by the journal's writer.
    int take = 0;
    std::string state = "recording";  // "recording", "complete" or "incomplete"
    std::string reason;               // why it is incomplete
    std::uint64_t datagrams = 0;
    std::uint64_t samples = 0;
    std::string pcapFile;  // names beside the sidecar
    std::string samplesFile;
    // What a list of takes shows without reading the sample map; `samples` counts frames.
    // Optional on read: sidecars from before it have none and read back with hasSummary off.
    bool hasSummary = false;
    double firstTime = 0.0;  // timeline time of the first and last sample
    double lastTime = 0.0;
    std::uint64_t gaps = 0;  // steps between samples that isGap counts

    // The setting named `key`; `otherwise` when the take has none, as takes from before it.
    double setting(const std::string& key, double otherwise) const;

    // Adds a sample at `time` to the summary.
    void summarise(double time);
    // A step from one sample to the next is a gap when it exceeds the playback step by more
    // than half a step: one or more frames of the timeline got no sample.
    static bool isGap(double from, double to, double step);

    // The version of the plug-in this library is built into.
    static const char* currentPluginVersion();

    std::string toJson() const;
    // False, with the reason in `error`, for text that is not a sidecar this version reads.
    static bool fromJson(const std::string& text, TakeSidecar& out, std::string& error);
};
