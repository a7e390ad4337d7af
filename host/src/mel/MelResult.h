#pragma once

#include <string>
#include <utility>

#include "MelValue.h"

namespace mayahost {

// What running MEL, or a C++ command, gives back: a value (nothing for commands that return
// none) or a failure with its message. A failing command stops the script that called it.
class MelResult {
public:
    static MelResult success(MelValue value = MelValue()) {
        MelResult result;
        result.value_ = std::move(value);
        return result;
    }
    // `withContext` false leaves the "line N:" context out of the printed error
    // (error -noContext).
    static MelResult failure(std::string message, bool withContext = true) {
        MelResult result;
        result.ok_ = false;
        result.message_ = std::move(message);
        result.withContext_ = withContext;
        return result;
    }

    // A failure the command has already shown (as a plug-in command does with displayError):
    // it stops the script like any other, and nothing more is printed.
    static MelResult failureShown() {
        MelResult result = failure(std::string());
        result.shown_ = true;
        return result;
    }

    bool ok() const { return ok_; }
    bool shown() const { return shown_; }
    const MelValue& value() const { return value_; }
    const std::string& message() const { return message_; }
    bool withContext() const { return withContext_; }

private:
    bool ok_ = true;
    bool withContext_ = true;
    bool shown_ = false;
    MelValue value_;
    std::string message_;
};

}  // namespace mayahost
