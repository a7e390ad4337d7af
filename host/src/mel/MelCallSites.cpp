#include "MelCallSites.h"

#include <memory>

#include "MelNode.h"
#include "MelParser.h"

namespace mayahost {

namespace {

void visit(const MelNode& node, std::vector<MelCallSites::Call>& calls,
           std::vector<MelCallSites::Definition>& definitions) {
    if (node.kind == MelNode::Kind::Call) {
        calls.push_back({node.text, node.line, node.column});
    } else if (node.kind == MelNode::Kind::ProcedureDefinition) {
        definitions.push_back({node.text, node.isGlobal, node.line});
    }
    for (const auto& child : node.children) {
        if (child != nullptr) {
            visit(*child, calls, definitions);
        }
    }
}

}  // namespace

bool MelCallSites::scan(const std::string& text, std::string& error) {
    calls_.clear();
    definitions_.clear();
    MelParser::Failure failure;
    const std::unique_ptr<MelNode> root = MelParser::parse(text, failure);
    if (root == nullptr) {
        error = "Line " + std::to_string(failure.line) + "." + std::to_string(failure.column) +
                ": " + failure.message;
        return false;
    }
    visit(*root, calls_, definitions_);
    return true;
}

bool MelCallSites::defines(const std::string& name) const {
    for (const Definition& definition : definitions_) {
        if (definition.name == name) {
            return true;
        }
    }
    return false;
}

}  // namespace mayahost
