#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

// The scene file of a run, written so that a run that fails never leaves a truncated file
// nor destroys an earlier take at that path: everything goes to a temporary file in the same
// folder, which replaces the target only once it is complete and on disk.
//
// Made before anything is recorded, so a path that cannot be written ends the run at once
// rather than after the take.
class OutputFile {
public:
    // HostError kTakeNotSaved, with the reason, when the file cannot be written there: no such
    // folder, a folder in the way, no permission, a read-only or full file system.
    explicit OutputFile(const std::string& path);
    // Removes the temporary file unless it was committed.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Where the scene is written meanwhile.
    std::ostream& stream();
    // Flushes, syncs and moves the temporary file into place; HostError kTakeNotSaved (and
    // the target left as it was) when any of it fails.
    void commit();

    const std::filesystem::path& path() const { return mPath; }
    const std::filesystem::path& temporaryPath() const { return mTemporary; }

private:
    [[noreturn]] void fail(const std::string& what, int error);

    std::filesystem::path mPath;
    std::filesystem::path mTemporary;
    std::unique_ptr<char[]> mBuffer;
    std::ofstream mStream;
    bool mCommitted = false;
};
