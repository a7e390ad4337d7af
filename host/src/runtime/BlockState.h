#pragma once

#include <maya/MDGContext.h>
#include <maya/MTypes.h>

#include <cstdint>
#include <list>
#include <map>
#include <utility>
#include <vector>

#include "NodeRecord.h"
#include "PlugRef.h"

namespace mayahost {

class AttributeRecord;

// The private data one compute works on. Data handles point into it, so the node's own
// storage is touched only under its mutex: values are copied in on first use and the
// outputs written back, with the clean marks, once compute returns.
class BlockState {
public:
    struct Slot;
    // What an MDataHandle refers to: one value in every shape the handle can hand out.
    struct Value {
        BlockState* block = nullptr;
        const AttributeRecord* attribute = nullptr;
        int element = -1;           // logical index of an array element, else -1
        Slot* arraySlot = nullptr;  // set on the handle of a whole array
        bool b = false;
        int i = 0;
        float f = 0.0F;
        double d = 0.0;
        float3 f3 = {0.0F, 0.0F, 0.0F};
        double3 d3 = {0.0, 0.0, 0.0};

        void load(const NodeRecord::Cell& cell);
        void store(NodeRecord::Cell& cell) const;
        void setNumber(double value);
    };
    struct Slot {
        const AttributeRecord* root = nullptr;
        Value value;
        std::map<unsigned int, Value> elements;
        bool output = false;
    };
    struct Builder {
        const AttributeRecord* root = nullptr;
        BlockState* block = nullptr;
        std::map<unsigned int, Value> elements;
    };

    explicit BlockState(NodeRecord& node);
    // A block for a compute in another context, at `ticks` (1/6000 s): inputs driven through
    // a connection are read at that time, and commit() is not called.
    BlockState(NodeRecord& node, double ticks);
    BlockState(const BlockState&) = delete;
    BlockState& operator=(const BlockState&) = delete;

    Slot& slot(const AttributeRecord* root, bool output);
    Value& element(Slot& slot, unsigned int index);
    Value& childValue(const AttributeRecord* child, const NodeRecord::Cell& cell);
    Builder& newBuilder(const AttributeRecord* root);
    Value newValue(const AttributeRecord* root, int element = -1);
    // Clean marks, applied when compute returns: one plug, or a whole attribute with every
    // element of an array.
    void markClean(const AttributeRecord* root, const NodeRecord::PlugKey& plug);
    void markAllClean(const AttributeRecord* root);
    // Writes the outputs back and applies the clean marks not overtaken by a newer change.
    void commit();
    // The components of an output plug as compute left them; false when it wrote none.
    bool result(const PlugRef& plug, std::vector<double>& values);

    // What MDataBlock::context() hands out.
    MDGContext context;

    NodeRecord& node;

private:
    // Each attribute's generation when compute began, in the node's order: a flat copy, as
    // a block is made for every evaluation.
    std::vector<std::pair<const AttributeRecord*, std::uint64_t>> generations_;
    std::map<const AttributeRecord*, Slot> slots_;
    std::list<Builder> builders_;
    std::list<Value> extras_;
    struct CleanMark {
        const AttributeRecord* root;
        NodeRecord::PlugKey plug;
        bool all;
    };
    std::vector<CleanMark> cleaned_;
};

}  // namespace mayahost
