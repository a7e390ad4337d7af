#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "MelContext.h"
#include "MelInvocation.h"
#include "MelResult.h"
#include "MelSyntax.h"

namespace mayahost {

// A C++-implemented MEL command. Either it has a syntax, and its handler receives a checked
// invocation; or it is raw, as a plug-in command registered without a syntax, and its handler
// receives every word as text in order, flags included (Maya hands those an MArgList).
// A raw command may take precedence over MEL procedures of its name: an embedder standing in
// for a script's procedure.
class MelCommand {
public:
    using Handler = std::function<MelResult(const MelInvocation&, MelContext&)>;
    using RawHandler = std::function<MelResult(const std::vector<std::string>&, MelContext&)>;

    MelCommand(MelSyntax syntax, Handler handler)
        : name_(syntax.name()), syntax_(std::move(syntax)), handler_(std::move(handler)) {}
    MelCommand(std::string name, RawHandler handler)
        : name_(std::move(name)), syntax_(name_), rawHandler_(std::move(handler)) {}

    const std::string& name() const { return name_; }
    bool isRaw() const { return static_cast<bool>(rawHandler_); }
    const MelSyntax& syntax() const { return syntax_; }
    const Handler& handler() const { return handler_; }
    const RawHandler& rawHandler() const { return rawHandler_; }

private:
    std::string name_;
    MelSyntax syntax_;
    Handler handler_;
    RawHandler rawHandler_;
};

}  // namespace mayahost
