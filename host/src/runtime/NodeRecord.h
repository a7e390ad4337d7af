#pragma once

#include <maya/MApiNamespace.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>

#include "HostObject.h"

namespace mayahost {

class AnimCurveKeys;
class AttributeRecord;
class CaptureThread;
class NodeType;

// One node of the scene: its values, dirty flags and, for device nodes, its capture thread.
class NodeRecord final : public HostObject {
public:
    // The values of one attribute or array element; compounds use one entry per child.
    struct Cell {
        double v[3] = {0.0, 0.0, 0.0};
    };
    // One plug of an attribute: the element (-1 for the attribute's own plug, which for an
    // array is the array plug) and the compound child (-1 for the whole value).
    using PlugKey = std::pair<int, int>;
    static constexpr PlugKey kWholePlug{-1, -1};

    // Maya keeps a dirty flag per plug and computes each requested plug on its own (R3): an
    // attribute dirtied as a whole is clean again only plug by plug, as computes clean them,
    // or all at once when a compute cleans the whole array.
    struct Slot {
        Cell value;
        std::map<unsigned int, Cell> elements;
        bool dirty = false;
        std::set<PlugKey> cleaned;     // plugs cleaned one by one since the attribute got dirty
        std::uint64_t generation = 0;  // bumped on every change, so a stale clean is refused

        bool isDirty(const PlugKey& plug) const;
        void markDirty();
        // Cleans one plug; the own plug of an attribute that is no array cleans it all.
        void clean(const PlugKey& plug, bool array);
        void cleanAll();
    };

    explicit NodeRecord(const NodeType& nodeType);
    ~NodeRecord() override;
    MFn::Type apiType() const override;

    // Fills every attribute with its default and marks computed attributes dirty.
    void initializeStorage();
    static Cell defaultCell(const AttributeRecord* root);

    const NodeType& type;
    std::mutex mutex;  // any host thread, capture threads included; guards slots and alive
    std::unordered_map<const AttributeRecord*, Slot> slots;
    bool alive = true;

    std::string name;  // guarded by the scene's mutex
    // DAG nodes (transforms and joints) only: the transform above it, null at the top. Kept
    // while the node waits on the undo queue, so undo puts it back where it was. Guarded by
    // the scene's mutex.
    NodeRecord* parent = nullptr;
    // Created and destroyed on the main thread; other threads use it only while the node lives.
    MPxNode* user = nullptr;
    // Main thread only: created after postConstructor, stopped before the node is destroyed.
    std::unique_ptr<CaptureThread> capture;
    // Animation curves only: made with the node and never replaced; the keys guard themselves.
    std::unique_ptr<AnimCurveKeys> curve;
};

}  // namespace mayahost
