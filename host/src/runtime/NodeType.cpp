#include "NodeType.h"

#include <algorithm>
#include <utility>

#include "AttributeRecord.h"

namespace mayahost {

NodeType::NodeType(std::string typeName, unsigned int typeId, MPxNode::Type nodeKind,
                   MFn::Type nodeApiType)
    : name(std::move(typeName)), id(typeId), kind(nodeKind), apiType(nodeApiType) {}

const AttributeRecord* NodeType::find(const std::string& attributeName) const {
    for (const AttributeRecord* attribute : attributes) {
        if (attribute->matchesName(attributeName)) {
            return attribute;
        }
    }
    return nullptr;
}

bool NodeType::owns(const AttributeRecord* attribute) const {
    return std::find(attributes.begin(), attributes.end(), attribute) != attributes.end();
}

bool NodeType::add(AttributeRecord* attribute) {
    std::vector<AttributeRecord*> adding{attribute};
    adding.insert(adding.end(), attribute->children.begin(), attribute->children.end());
    for (const AttributeRecord* a : adding) {
        if (owns(a) || find(a->longName) != nullptr || find(a->shortName) != nullptr) {
            return false;
        }
    }
    attributes.insert(attributes.end(), adding.begin(), adding.end());
    return true;
}

void NodeType::addAffects(const AttributeRecord* whenChanges, const AttributeRecord* isAffected) {
    std::vector<const AttributeRecord*>& targets = affects_[whenChanges->root()];
    if (std::find(targets.begin(), targets.end(), isAffected->root()) == targets.end()) {
        targets.push_back(isAffected->root());
    }
}

std::vector<const AttributeRecord*> NodeType::affectedBy(const AttributeRecord* root) const {
    std::vector<const AttributeRecord*> found;
    std::vector<const AttributeRecord*> pending{root};
    while (!pending.empty()) {
        const AttributeRecord* current = pending.back();
        pending.pop_back();
        auto it = affects_.find(current);
        if (it == affects_.end()) {
            continue;
        }
        for (const AttributeRecord* target : it->second) {
            if (target != root && std::find(found.begin(), found.end(), target) == found.end()) {
                found.push_back(target);
                pending.push_back(target);
            }
        }
    }
    return found;
}

bool NodeType::isComputed(const AttributeRecord* root) const {
    return std::any_of(affects_.begin(), affects_.end(), [root](const auto& entry) {
        return std::find(entry.second.begin(), entry.second.end(), root) != entry.second.end();
    });
}

std::vector<const AttributeRecord*> NodeType::roots() const {
    std::vector<const AttributeRecord*> result;
    for (const AttributeRecord* attribute : attributes) {
        if (attribute->parent == nullptr) {
            result.push_back(attribute);
        }
    }
    return result;
}

}  // namespace mayahost
