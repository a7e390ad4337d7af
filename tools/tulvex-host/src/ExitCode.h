#pragma once

// Process exit codes; scripts that drive the host tell failures apart by them.
enum class ExitCode : int {
    kSuccess = 0,
    kFailure = 1,  // anything not listed below
    kBadArguments = 2,
    kModuleNotLoaded = 3,
    kDecodingLibraryMissing = 4,
    kPortInUse = 5,
    kNoStream = 6,
    kTakeNotSaved = 7,  // no bake, or the scene file cannot be written (checked first)
    kBadJournal = 8,    // --rebake: the journal is missing, damaged or not a take's
    kInterrupted = 130,
};
