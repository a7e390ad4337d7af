#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "SampleMapFormat.h"
#include "TakeSidecar.h"

// Reads a take journal back: the sidecar, the sample map and the capture, each checked
// against its whole length before a field is read. A journal still marked "recording" (its
// writer died) or "incomplete" yields every whole record it holds; a "complete" one must hold
// exactly what its sidecar counts.
class JournalReader {
public:
    struct Contents {
        TakeSidecar sidecar;
        std::vector<SampleMapFormat::Sample> samples;
        std::uint64_t datagrams = 0;  // whole records in the capture
        bool partial = false;         // a record was cut short at the end of a file
    };

    // Beyond this a sample map is refused rather than read into memory: about nine hours
    // of a 60 fps take.
    static constexpr std::uint64_t kMaxSampleMapBytes = std::uint64_t{4} << 30U;

    // `path` names any of the journal's files (.pcap, .json or .samples). False, with a
    // message naming the file and what is wrong, when the journal cannot be read.
    static bool read(const std::string& path, Contents& out, std::string& error);
    // The same on the three files' bytes.
    static bool parse(const std::string& sidecarText, const std::byte* pcap, std::size_t pcapSize,
                      const std::byte* samples, std::size_t samplesSize, Contents& out,
                      std::string& error);
    // Counts the whole records of a capture the journal wrote; false for anything else.
    static bool countDatagrams(const std::byte* pcap, std::size_t size, std::uint64_t& count,
                               bool& partial, std::string& error);

    // The UDP payloads of a journal's capture, in order; `path` names any of its files.
    static bool readPayloads(const std::string& path, std::vector<std::vector<std::byte>>& out,
                             std::string& error);

    JournalReader() = delete;
};
