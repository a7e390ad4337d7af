#include "MelInterpreter.h"

#include <utility>

namespace mayahost {

namespace {

// Deep enough for any real script; shallow enough that runaway recursion fails as a MEL error
// long before the C++ stack runs out (under the sanitizers too).
constexpr std::size_t kMaxFrames = 200;

}  // namespace

MelInterpreter::MelInterpreter() : owner_(std::this_thread::get_id()) {
    registerBuiltins();
}

MelInterpreter::~MelInterpreter() = default;

MelInterpreter::FrameGuard::FrameGuard(MelInterpreter& interpreter,
                                       std::shared_ptr<const MelUnit> unit,
                                       const MelProcedure* procedure, const MelNode* at)
    : interpreter_(interpreter) {
    if (interpreter_.frames_.size() >= kMaxFrames) {
        // Maya does not document a limit; the message is the host's own.
        const std::string message =
            "Procedure calls are nested too deeply (more than " + std::to_string(kMaxFrames) + ").";
        if (at != nullptr) {
            interpreter_.fail(*at, message);
        }
        interpreter_.failWithoutContext(message);
    }
    interpreter_.frames_.push_back(std::make_unique<MelFrame>(std::move(unit), procedure));
    interpreter_.frames_.back()->pushScope();
}

// ---- hooks and state ------------------------------------------------------------------------

void MelInterpreter::setOutput(MelOutput* output) {
    output_ = output;
}

void MelInterpreter::setScriptLocator(MelScriptLocator* locator) {
    locator_ = locator;
}

bool MelInterpreter::registerCommand(MelSyntax syntax, MelCommand::Handler handler) {
    return commands_.add(std::move(syntax), std::move(handler));
}

bool MelInterpreter::registerRawCommand(const std::string& name, MelCommand::RawHandler handler) {
    return commands_.addRaw(name, std::move(handler));
}

bool MelInterpreter::deregisterCommand(const std::string& name) {
    if (builtins_.count(name) != 0) {
        return false;
    }
    return commands_.remove(name);
}

bool MelInterpreter::globalValue(const std::string& name, MelValue& value) const {
    const auto found = globals_.find(name);
    if (found == globals_.end()) {
        return false;
    }
    value = found->second->value;
    return true;
}

void MelInterpreter::reset() {
    procedures_.clear();
    globals_.clear();
    sourced_.clear();
    autoSourcing_.clear();
    for (const std::string& name : commands_.names()) {
        if (builtins_.count(name) == 0) {
            commands_.remove(name);
        }
    }
}

void MelInterpreter::print(const std::string& text) {
    output().print(text);
}

void MelInterpreter::warning(const std::string& message) {
    output().warning(message, "// Warning: " + context(site_, Framing::Line) + message + " //");
}

// ---- running MEL ----------------------------------------------------------------------------

template <typename Body>
MelResult MelInterpreter::topLevel(Body&& body) {
    if (std::this_thread::get_id() != owner_) {
        // Nothing is printed: the output belongs to the main thread.
        return MelResult::failure("MEL can only be run on the main thread.");
    }
    // A top-level run is independent MEL, even when it starts inside other MEL (a callback).
    struct Restore {
        MelInterpreter& self;
        int quiet;
        const MelNode* site;
        ~Restore() {
            self.quiet_ = quiet;
            self.site_ = site;
        }
    } restore{*this, quiet_, site_};
    quiet_ = 0;
    site_ = nullptr;
    try {
        return MelResult::success(body());
    } catch (const Abort& abort) {
        return MelResult::failure(abort.message);
    }
}

MelResult MelInterpreter::execute(const std::string& text) {
    return topLevel([&] { return runUnit(parse(text, std::string()), nullptr); });
}

MelResult MelInterpreter::runCallback(const std::string& script) {
    return execute(script);
}

MelResult MelInterpreter::sourceFile(const std::string& fileName) {
    return topLevel([&] {
        const std::string path = locator().resolve(scriptFileName(fileName));
        if (path.empty()) {
            failWithoutContext("Cannot find file \"" + fileName + "\" for source statement.");
        }
        runFile(path, nullptr);
        return MelValue();
    });
}

std::shared_ptr<const MelUnit> MelInterpreter::parse(const std::string& text,
                                                     const std::string& path) {
    auto unit = std::make_shared<MelUnit>();
    unit->path = path;
    unit->text = text;
    MelParser::Failure failure;
    unit->root = MelParser::parse(unit->text, failure);
    if (unit->root == nullptr) {
        // Maya shows "Line L.C:" for syntax errors; in a file, the host uses the file form.
        const std::string where =
            path.empty() ? "Line " + std::to_string(failure.line) + "." +
                               std::to_string(failure.column) + ": "
                         : "file: " + path + " line " + std::to_string(failure.line) + ": ";
        reportError(failure.message, where);
        throw Abort{failure.message};
    }
    if (binding_ == CommandBinding::AtCompile) {
        bindCalls(*unit->root);
    }
    return unit;
}

void MelInterpreter::bindCalls(MelNode& node) const {
    if (node.kind == MelNode::Kind::Call && !isIntrinsic(node.text)) {
        node.binding = commands_.find(node.text) != nullptr ? MelNode::Binding::Command
                                                            : MelNode::Binding::Procedure;
    }
    for (const auto& child : node.children) {
        if (child != nullptr) {
            bindCalls(*child);
        }
    }
}

MelValue MelInterpreter::runUnit(const std::shared_ptr<const MelUnit>& unit, const MelNode* at) {
    const FrameGuard guard(*this, unit, nullptr, at);
    for (const auto& statement : unit->root->children) {
        run(*statement);
    }
    return frame().lastResult;
}

MelValue MelInterpreter::runFile(const std::string& path, const MelNode* at) {
    std::string text;
    if (!locator().read(path, text)) {
        const std::string message = "Cannot read file \"" + path + "\".";
        if (at != nullptr) {
            fail(*at, message);
        }
        failWithoutContext(message);
    }
    auto unit = parse(text, path);
    sourced_.push_back(path);
    return runUnit(unit, at);
}

std::string MelInterpreter::scriptFileName(const std::string& name) const {
    const std::size_t slash = name.find_last_of('/');
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return name + ".mel";
    }
    return name;
}

// ---- reporting ------------------------------------------------------------------------------

void MelInterpreter::fail(const MelNode& at, const std::string& message, Framing framing) {
    reportError(message, context(&at, framing));
    throw Abort{message};
}

void MelInterpreter::failWithoutContext(const std::string& message) {
    reportError(message, std::string());
    throw Abort{message};
}

void MelInterpreter::failShown() {
    throw Abort{std::string()};
}

void MelInterpreter::reportError(const std::string& message, const std::string& where) {
    if (quiet_ == 0) {
        output().error(message, "// Error: " + where + message + " //");
    }
}

std::string MelInterpreter::context(const MelNode* at, Framing framing) const {
    if (at == nullptr || frames_.empty()) {
        return std::string();
    }
    const MelUnit& unit = frames_.back()->unit();
    const std::string line = std::to_string(at->line);
    if (!unit.path.empty()) {
        return "file: " + unit.path + " line " + line + ": ";
    }
    if (framing == Framing::LineColumn) {
        return "Line " + line + "." + std::to_string(at->column) + ": ";
    }
    return "line " + line + ": ";
}

}  // namespace mayahost
