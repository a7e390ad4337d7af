#pragma once

#include <cstddef>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "MelCommand.h"
#include "MelCommandTable.h"
#include "MelConsole.h"
#include "MelContext.h"
#include "MelFrame.h"
#include "MelNode.h"
#include "MelParser.h"
#include "MelProcedure.h"
#include "MelResult.h"
#include "MelScriptFolders.h"
#include "MelScriptLocator.h"
#include "MelSyntax.h"
#include "MelUnit.h"
#include "MelValue.h"
#include "MelVariable.h"

namespace mayahost {

// The host's MEL interpreter: parses and runs MEL texts and script files, keeps MEL's global
// variables and procedures, and calls the C++ commands registered with it.
//
// Threads: main thread only. Maya runs MEL on its main thread (commands, sourced files, the
// idle queue, UI callbacks), so nothing here is locked. Every entry point checks that it is
// called on the thread that owns the interpreter (the constructing one, or the one that last
// called adoptCurrentThread) and fails otherwise, the way the host fails loudly wherever Maya
// would misbehave.
//
// Errors are printed where they happen, with Maya's "line N:" or "file: <path> line N:"
// context, and stop the script that raised them and every caller up to the top level or the
// nearest catch/catchQuiet.
class MelInterpreter : public MelContext {
public:
    MelInterpreter();
    ~MelInterpreter() override;
    MelInterpreter(const MelInterpreter&) = delete;
    MelInterpreter& operator=(const MelInterpreter&) = delete;

    // ---- hooks ----------------------------------------------------------------------------
    // Where print text, warnings and errors go; null restores the built-in console, which
    // echoes to stdout/stderr and keeps every entry. The output must outlive its use.
    void setOutput(MelOutput* output);
    MelConsole& console() { return console_; }
    // How `source` and auto-sourcing find files; null restores the built-in folder list.
    void setScriptLocator(MelScriptLocator* locator);
    MelScriptFolders& scriptFolders() { return folders_; }
    // Makes the calling thread the one allowed to run MEL.
    void adoptCurrentThread() { owner_ = std::this_thread::get_id(); }

    // ---- points Maya leaves open ----------------------------------------------------------
    // AtCompile: a call's name is bound when its text is parsed (a file when it is sourced):
    // a name that is a command then calls a command, any other name a procedure, even if a
    // command of that name is registered later. AtCall: looked up as the call runs.
    enum class CommandBinding { AtCall, AtCompile };
    void setCommandBinding(CommandBinding binding) { binding_ = binding; }
    CommandBinding commandBinding() const { return binding_; }
    // Whether && and || skip their right side once the left one decides; off, both sides
    // always run.
    void setShortCircuit(bool shortCircuit) { shortCircuit_ = shortCircuit; }
    bool shortCircuit() const { return shortCircuit_; }

    // ---- running MEL ----------------------------------------------------------------------
    // Runs a text at top level, as MGlobal::executeCommand or the Script Editor does. Its
    // value is the result of the last expression or call statement run (nothing if none).
    MelResult execute(const std::string& text);
    // Sources a script file as the `source` directive does: a name without a suffix gets
    // ".mel"; a relative name is searched on the script path.
    MelResult sourceFile(const std::string& fileName);
    // Runs a stored callback (a control's command, a scriptJob's script) at top level. Safe to
    // call while other MEL is running: the callback sees none of its variables, and its errors
    // are printed without stopping the MEL that is running.
    MelResult runCallback(const std::string& script) override;

    // ---- C++ commands ---------------------------------------------------------------------
    // False when the name is already a command (the built-in ones included).
    bool registerCommand(MelSyntax syntax, MelCommand::Handler handler);
    bool registerRawCommand(const std::string& name, MelCommand::RawHandler handler);
    // False for an unknown name and for the interpreter's own commands.
    bool deregisterCommand(const std::string& name);
    bool hasCommand(const std::string& name) const { return commands_.contains(name); }

    // ---- state ----------------------------------------------------------------------------
    bool hasProcedure(const std::string& name) const { return procedures_.count(name) != 0; }
    // The value of a global variable (name with its '$'); false when there is none.
    bool globalValue(const std::string& name, MelValue& value) const;
    // Resolved paths of the files sourced (by `source`, sourceFile or auto-sourcing), in order.
    const std::vector<std::string>& sourcedFiles() const { return sourced_; }
    // Forgets procedures, global variables, registered commands and sourced files; keeps the
    // built-in commands and the hooks.
    void reset();

    // ---- MelContext -----------------------------------------------------------------------
    void print(const std::string& text) override;
    void warning(const std::string& message) override;

private:
    // Thrown once an error has been printed; unwinds to the nearest catch or the top level.
    struct Abort {
        std::string message;
    };
    enum class Flow { Normal, Break, Continue, Return };
    // Run-time errors say "line N:"; errors Maya finds while compiling say "Line L.C:".
    enum class Framing { Line, LineColumn };

    class FrameGuard;
    class ScopeGuard;
    class SiteGuard;

    // ---- reporting
    [[noreturn]] void fail(const MelNode& at, const std::string& message,
                           Framing framing = Framing::Line);
    [[noreturn]] void failWithoutContext(const std::string& message);
    [[noreturn]] void failShown();
    void reportError(const std::string& message, const std::string& context);
    std::string context(const MelNode* at, Framing framing) const;
    MelOutput& output() { return output_ != nullptr ? *output_ : console_; }
    MelScriptLocator& locator() { return locator_ != nullptr ? *locator_ : folders_; }
    MelFrame& frame() { return *frames_.back(); }

    // ---- top level
    template <typename Body>
    MelResult topLevel(Body&& body);
    std::shared_ptr<const MelUnit> parse(const std::string& text, const std::string& path);
    void bindCalls(MelNode& node) const;
    MelValue runUnit(const std::shared_ptr<const MelUnit>& unit, const MelNode* at);
    MelValue runFile(const std::string& path, const MelNode* at);
    std::string scriptFileName(const std::string& name) const;

    // ---- statements
    Flow run(const MelNode& statement);
    Flow runBlock(const MelNode& block);
    Flow runLoop(const MelNode& body, bool& stop);
    Flow runFor(const MelNode& statement);
    Flow runForIn(const MelNode& statement);
    Flow runSwitch(const MelNode& statement);
    void declare(const MelNode& declaration);
    MelValue initialValue(MelType type, const MelNode& declarator);
    void defineProcedure(const MelNode& definition);
    void source(const MelNode& directive);

    // ---- expressions
    MelValue evaluate(const MelNode& expression);  // nothing for calls returning nothing
    MelValue value(const MelNode& expression);     // a value, or an error
    bool truth(const MelNode& expression);
    bool truth(const MelNode& at, const MelValue& tested);
    MelValue literalArray(const MelNode& literal);
    MelValue operate(const std::string& op, const MelValue& a, const MelValue& b,
                     const MelNode& at);
    MelValue assign(const MelNode& assignment);
    MelValue increment(const MelNode& increment);
    MelValue load(const MelNode& target);
    MelValue store(const MelNode& target, const MelValue& value, const MelNode& at);
    std::shared_ptr<MelVariable> variable(const MelNode& name);
    std::size_t index(const MelNode& expression);
    MelValue convert(const MelValue& value, MelType type, const MelNode& at);

    // ---- calls
    MelValue call(const MelNode& call);
    std::shared_ptr<const MelProcedure> findProcedure(const std::string& name,
                                                      const MelNode& at) const;
    MelValue callProcedure(const MelProcedure& procedure, const MelNode& call);
    MelValue callCommand(const MelCommand& command, const MelNode& call);
    bool autoSource(const std::string& name, const MelNode& at);
    bool isIntrinsic(const std::string& name) const;
    MelValue catchCall(const MelNode& call, bool quiet);
    MelValue clearCall(const MelNode& call);
    MelValue tokenizeCall(const MelNode& call);

    // ---- built-in commands (MelInterpreterBuiltins.cpp)
    void registerBuiltins();
    void addBuiltin(MelSyntax syntax, MelCommand::Handler handler);
    MelValue evalText(const std::string& text);
    std::string whatIs(const std::string& name);
    bool exists(const std::string& name);

    // Everything below: main thread only (see the class comment).
    MelConsole console_;
    MelOutput* output_ = nullptr;
    MelScriptFolders folders_;
    MelScriptLocator* locator_ = nullptr;
    MelCommandTable commands_;
    std::set<std::string> builtins_;
    std::unordered_map<std::string, std::shared_ptr<MelVariable>> globals_;
    std::unordered_map<std::string, std::shared_ptr<const MelProcedure>> procedures_;
    std::vector<std::unique_ptr<MelFrame>> frames_;  // the running activations, innermost last
    const MelNode* site_ = nullptr;                  // the command call being run
    std::set<std::string> autoSourcing_;             // files being auto-sourced now
    std::vector<std::string> sourced_;
    int quiet_ = 0;  // open catchQuiet calls: errors are not printed
    CommandBinding binding_ = CommandBinding::AtCompile;
    bool shortCircuit_ = true;
    std::thread::id owner_;
};

// Opens a scope in a frame for as long as it lives.
class MelInterpreter::ScopeGuard {
public:
    explicit ScopeGuard(MelFrame& frame) : frame_(frame) { frame_.pushScope(); }
    ~ScopeGuard() { frame_.popScope(); }
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

private:
    MelFrame& frame_;
};

// Pushes an activation (with its outermost scope) for as long as it lives; fails at `at` when
// the activations nest too deeply.
class MelInterpreter::FrameGuard {
public:
    FrameGuard(MelInterpreter& interpreter, std::shared_ptr<const MelUnit> unit,
               const MelProcedure* procedure, const MelNode* at);
    ~FrameGuard() { interpreter_.frames_.pop_back(); }
    FrameGuard(const FrameGuard&) = delete;
    FrameGuard& operator=(const FrameGuard&) = delete;

private:
    MelInterpreter& interpreter_;
};

// Makes `site` the call that warnings from C++ commands are reported at, for as long as it
// lives.
class MelInterpreter::SiteGuard {
public:
    SiteGuard(MelInterpreter& interpreter, const MelNode* site)
        : interpreter_(interpreter), saved_(interpreter.site_) {
        interpreter_.site_ = site;
    }
    ~SiteGuard() { interpreter_.site_ = saved_; }
    SiteGuard(const SiteGuard&) = delete;
    SiteGuard& operator=(const SiteGuard&) = delete;

private:
    MelInterpreter& interpreter_;
    const MelNode* saved_;
};

}  // namespace mayahost
