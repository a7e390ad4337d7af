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

    bool ok() const { return ok_; }
    const MelValue& value() const { return value_; }
    const std::string& message() const { return message_; }
    bool withContext() const { return withContext_; }

private:
    bool ok_ = true;
    bool withContext_ = true;
    MelValue value_;
    std::string message_;
};

}  // namespace mayahost
