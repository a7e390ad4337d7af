#pragma once

// Process exit codes; scripts driving the emulator tell failures apart by them.
enum class ExitCode : int {
    kSuccess = 0,
    kFailure = 1,  // anything not listed below, e.g. an output file that cannot be written
    kBadArguments = 2,
    kUnknownHost = 3,
    kBadPcap = 4,
    kSocketFailure = 5,
};
