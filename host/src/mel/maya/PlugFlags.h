#pragma once

#include <map>
#include <tuple>

#include "PlugRef.h"

namespace mayahost {

class AttributeRecord;

// The per-plug flags `setAttr -lock/-keyable/-channelBox/-caching` set and `getAttr` reads.
// Only MEL's scene commands honour the lock (setAttr and connectAttr refuse a locked plug);
// the API's MPlug writes do not look at it. Main thread only.
class PlugFlags {
public:
    enum class Flag { Lock, Keyable, ChannelBox, Caching };

    bool get(const PlugRef& plug, Flag flag) const;
    void set(const PlugRef& plug, Flag flag, bool value);
    void clear() { flags_.clear(); }

private:
    using Key = std::tuple<const NodeRecord*, const AttributeRecord*, int, Flag>;
    static Key key(const PlugRef& plug, Flag flag);
    static bool defaultOf(const PlugRef& plug, Flag flag);

    std::map<Key, bool> flags_;
};

}  // namespace mayahost
