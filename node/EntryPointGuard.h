#pragma once

#include <maya/MStatus.h>

#include <exception>
#include <string>

// Keeps C++ exceptions from crossing into Maya. Each entry point Maya calls (compute, a
// command's doIt, a callback, the capture thread, the idle bake) runs its body through one of
// these: an exception becomes kFailure and one error message, the table's UNEXPECTED_ERROR
// text naming the entry point and the exception.
class EntryPointGuard {
public:
    // Main thread: the text is looked up and shown with MGlobal::displayError.
    template <typename Body>
    static MStatus onMainThread(const char* entryPoint, const Body& body) noexcept {
        try {
            return body();
        } catch (const std::exception& error) {
            reportOnMainThread(entryPoint, error.what());
        } catch (...) {
            reportOnMainThread(entryPoint, kUnknown);
        }
        return MStatus::kFailure;
    }

    // Any thread (compute on a worker, the capture thread), where no text may be looked up:
    // `format` is the text looked up on the main thread beforehand, and the error is queued
    // as a MEL `error` for the main thread.
    template <typename Body>
    static MStatus onAnyThread(const std::string& format, const char* entryPoint,
                               const Body& body) noexcept {
        try {
            return body();
        } catch (const std::exception& error) {
            reportQueued(format, entryPoint, error.what());
        } catch (...) {
            reportQueued(format, entryPoint, kUnknown);
        }
        return MStatus::kFailure;
    }

    // The message: each of the first two "%s" of `format` replaced, by the entry point and by
    // the exception's text; a format with fewer keeps what it has.
    static std::string describe(const std::string& format, const char* entryPoint,
                                const char* what);

    EntryPointGuard() = delete;

private:
    static constexpr const char* kUnknown = "unknown exception";
    // Both swallow an exception of their own: the report is best effort, the status is not.
    static void reportOnMainThread(const char* entryPoint, const char* what) noexcept;
    static void reportQueued(const std::string& format, const char* entryPoint,
                             const char* what) noexcept;
};
