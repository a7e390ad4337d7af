#include "BlockState.h"

#include <algorithm>
#include <mutex>

#include <maya/MTime.h>

#include "AttributeRecord.h"
#include "Evaluator.h"

namespace mayahost {

void BlockState::Value::load(const NodeRecord::Cell& cell) {
    b = cell.v[0] != 0.0;
    i = static_cast<int>(cell.v[0]);
    f = static_cast<float>(cell.v[0]);
    d = cell.v[0];
    for (int k = 0; k < 3; ++k) {
        f3[k] = static_cast<float>(cell.v[k]);
        d3[k] = cell.v[k];
    }
}

void BlockState::Value::store(NodeRecord::Cell& cell) const {
    const AttributeRecord* root = attribute->root();
    if (root->isCompound()) {
        // Handles hand out three floats or three doubles; other compounds keep their values.
        const MFnNumericData::Type component = componentType(root->numericType);
        for (unsigned int k = 0; k < root->width() && k < 3; ++k) {
            if (component == MFnNumericData::kFloat) {
                cell.v[k] = static_cast<double>(f3[k]);
            } else if (component == MFnNumericData::kDouble) {
                cell.v[k] = d3[k];
            }
        }
        return;
    }
    switch (root->numericType) {
        case MFnNumericData::kBoolean:
            cell.v[0] = b ? 1.0 : 0.0;
            break;
        case MFnNumericData::kByte:
        case MFnNumericData::kChar:
        case MFnNumericData::kShort:
        case MFnNumericData::kInt:
            cell.v[0] = convertForType(root->numericType, static_cast<double>(i));
            break;
        case MFnNumericData::kFloat:
            cell.v[0] = static_cast<double>(f);
            break;
        case MFnNumericData::kDouble:
        case MFnNumericData::kInt64:
        case MFnNumericData::kAddr:
            cell.v[0] = d;
            break;
        default:
            break;
    }
}

void BlockState::Value::setNumber(double value) {
    b = value != 0.0;
    i = static_cast<int>(value);
    f = static_cast<float>(value);
    d = value;
}

BlockState::BlockState(NodeRecord& owner) : node(owner) {
    std::lock_guard<std::mutex> lock(node.mutex);
    generations_.reserve(node.slots.size());
    for (const auto& [root, stored] : node.slots) {
        generations_.emplace_back(root, stored.generation);
    }
}

BlockState::BlockState(NodeRecord& owner, double ticks)
    : context(MTime(ticks, MTime::k6000FPS)), node(owner) {}

bool BlockState::result(const PlugRef& plug, std::vector<double>& values) {
    const AttributeRecord* root = plug.attribute->root();
    auto found = slots_.find(root);
    if (found == slots_.end() || !found->second.output) {
        return false;
    }
    const Value* value = &found->second.value;
    if (root->array) {
        auto element = found->second.elements.find(plug.index);
        if (!plug.hasIndex || element == found->second.elements.end()) {
            return false;
        }
        value = &element->second;
    }
    NodeRecord::Cell cell = NodeRecord::defaultCell(root);
    value->store(cell);
    if (plug.attribute->parent != nullptr) {
        values = {cell.v[plug.attribute->childIndex]};
    } else {
        values.assign(cell.v, cell.v + root->width());
    }
    return true;
}

BlockState::Slot& BlockState::slot(const AttributeRecord* root, bool output) {
    auto found = slots_.find(root);
    if (found == slots_.end()) {
        Slot fresh;
        fresh.root = root;
        {
            std::lock_guard<std::mutex> lock(node.mutex);
            const NodeRecord::Slot& stored = node.slots[root];
            fresh.value.load(stored.value);
            for (const auto& [index, cell] : stored.elements) {
                Value value;
                value.block = this;
                value.attribute = root;
                value.element = static_cast<int>(index);
                value.load(cell);
                fresh.elements.emplace(index, value);
            }
        }
        std::vector<double> atContextTime;
        if (!output && !context.isNormal() && Evaluator::contextInput(node, root, atContextTime)) {
            NodeRecord::Cell cell = NodeRecord::defaultCell(root);
            for (std::size_t k = 0; k < atContextTime.size() && k < root->width(); ++k) {
                cell.v[k] = atContextTime[k];
            }
            fresh.value.load(cell);
        }
        found = slots_.emplace(root, std::move(fresh)).first;
        Slot& made = found->second;
        made.value.block = this;
        made.value.attribute = root;
        made.value.arraySlot = root->array ? &made : nullptr;
    }
    found->second.output = found->second.output || output;
    return found->second;
}

BlockState::Value& BlockState::element(Slot& owner, unsigned int index) {
    auto found = owner.elements.find(index);
    if (found == owner.elements.end()) {
        found = owner.elements.emplace(index, newValue(owner.root, static_cast<int>(index))).first;
    }
    return found->second;
}

BlockState::Value& BlockState::childValue(const AttributeRecord* child,
                                          const NodeRecord::Cell& cell) {
    Value value;
    value.block = this;
    value.attribute = child;
    NodeRecord::Cell single;
    single.v[0] = cell.v[child->childIndex];
    value.load(single);
    extras_.push_back(value);
    return extras_.back();
}

BlockState::Builder& BlockState::newBuilder(const AttributeRecord* root) {
    builders_.emplace_back();
    Builder& builder = builders_.back();
    builder.root = root;
    builder.block = this;
    return builder;
}

BlockState::Value BlockState::newValue(const AttributeRecord* root, int element) {
    Value value;
    value.block = this;
    value.attribute = root;
    value.element = element;
    value.load(NodeRecord::defaultCell(root));
    return value;
}

void BlockState::markClean(const AttributeRecord* root, const NodeRecord::PlugKey& plug) {
    cleaned_.push_back({root, plug, false});
}

void BlockState::markAllClean(const AttributeRecord* root) {
    cleaned_.push_back({root, NodeRecord::kWholePlug, true});
}

void BlockState::commit() {
    std::lock_guard<std::mutex> lock(node.mutex);
    if (!node.alive) {
        return;
    }
    for (const auto& [root, held] : slots_) {
        if (!held.output) {
            continue;
        }
        NodeRecord::Slot& stored = node.slots[root];
        if (root->array) {
            // The same elements as before, as an evaluation mostly leaves them: in place.
            const bool sameElements =
                stored.elements.size() == held.elements.size() &&
                std::equal(stored.elements.begin(), stored.elements.end(), held.elements.begin(),
                           [](const auto& a, const auto& b) { return a.first == b.first; });
            if (!sameElements) {
                stored.elements.clear();
            }
            auto kept = stored.elements.begin();
            for (const auto& [index, value] : held.elements) {
                NodeRecord::Cell cell = NodeRecord::defaultCell(root);
                value.store(cell);
                if (sameElements) {
                    (kept++)->second = cell;
                } else {
                    stored.elements.emplace(index, cell);
                }
            }
        } else {
            held.value.store(stored.value);
        }
    }
    for (const CleanMark& mark : cleaned_) {
        NodeRecord::Slot& stored = node.slots[mark.root];
        const auto seen =
            std::find_if(generations_.begin(), generations_.end(),
                         [&mark](const auto& entry) { return entry.first == mark.root; });
        if (seen == generations_.end() || seen->second != stored.generation) {
            continue;  // changed while compute ran: the clean mark is stale
        }
        if (mark.all) {
            stored.cleanAll();
        } else {
            stored.clean(mark.plug, mark.root->array);
        }
    }
}

}  // namespace mayahost
