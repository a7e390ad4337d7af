#include "PlugFlags.h"

#include "AttributeRecord.h"

namespace mayahost {

PlugFlags::Key PlugFlags::key(const PlugRef& plug, Flag flag) {
    const int element =
        plug.attribute->root()->array && plug.hasIndex ? static_cast<int>(plug.index) : -1;
    return {plug.node, plug.attribute, element, flag};
}

bool PlugFlags::defaultOf(const PlugRef& plug, Flag flag) {
    switch (flag) {
        case Flag::Keyable:
            return plug.attribute->keyable;
        case Flag::Caching:
            return plug.attribute->cached;
        default:
            return false;
    }
}

bool PlugFlags::get(const PlugRef& plug, Flag flag) const {
    const auto found = flags_.find(key(plug, flag));
    if (found != flags_.end()) {
        return found->second;
    }
    // A child of a locked compound is locked with it.
    if (flag == Flag::Lock && plug.attribute->parent != nullptr) {
        PlugRef whole = plug;
        whole.attribute = plug.attribute->parent;
        return get(whole, flag);
    }
    return defaultOf(plug, flag);
}

void PlugFlags::set(const PlugRef& plug, Flag flag, bool value) {
    flags_[key(plug, flag)] = value;
}

}  // namespace mayahost
