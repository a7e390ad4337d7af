#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "MelNode.h"
#include "MelUnit.h"
#include "MelValue.h"
#include "MelVariable.h"

namespace mayahost {

// The variables one activation sees: a procedure call, or one top-level run of a text. Blocks
// open nested scopes; a name resolves to the innermost declaration. Globals are visible only
// where a `global` declaration has bound them into a scope.
class MelFrame {
public:
    MelFrame(std::shared_ptr<const MelUnit> unit, const MelProcedure* procedure)
        : unit_(std::move(unit)), procedure_(procedure) {}

    void pushScope() { ++depth_; }
    void popScope();

    std::shared_ptr<MelVariable> find(const std::string& name) const;
    // Only a declaration in the innermost scope.
    std::shared_ptr<MelVariable> findInnermost(const std::string& name) const;
    // Declares `name` in the innermost scope, replacing a declaration already there.
    void bind(const std::string& name, std::shared_ptr<MelVariable> variable);

    const MelUnit& unit() const { return *unit_; }
    const std::shared_ptr<const MelUnit>& sharedUnit() const { return unit_; }
    const MelProcedure* procedure() const { return procedure_; }

    // What `return` hands back, and where, for a conversion error.
    MelValue returned;
    const MelNode* returnNode = nullptr;
    // The value of the last expression or call statement, the result of a top-level run.
    MelValue lastResult;

private:
    struct Binding {
        std::string name;
        int depth;
        std::shared_ptr<MelVariable> variable;
    };

    std::shared_ptr<const MelUnit> unit_;
    const MelProcedure* procedure_;
    int depth_ = 0;
    std::vector<Binding> bindings_;  // innermost last
};

}  // namespace mayahost
