#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "UiElement.h"

namespace mayahost {

// Maya's UI as a tree: windows at the top, layouts and controls below, each named uniquely
// among its siblings (windows among windows). Keeps the default parent that new elements go
// into, the menu new items go into, the window made last (for showWindow with no name) and
// the elements whose own command is running. Main thread only.
class UiTree {
public:
    using Filter = std::function<bool(const UiElement&)>;
    using RemovalListener = std::function<void(const UiElement&)>;

    // Makes an element under `parent` (null for a window). An empty name gets the next free
    // "<type>N". Null, with Maya's message or the host's, when the name is taken there.
    UiElement* create(UiElement::Kind kind, const std::string& type, const std::string& name,
                      UiElement* parent, std::string& error);

    // By full path ("win|layout|ctl"), by a path's tail ("layout|ctl"), or by name: looked up
    // under the default parent first, then everywhere in creation order. Only elements the
    // filter accepts count. Null when none.
    UiElement* find(const std::string& nameOrPath, const Filter& filter = Filter()) const;

    // Deletes an element and everything below it, telling the listener about each one (the
    // children first). False, deleting nothing, when it or something below it is running its
    // own command: Maya crashes then.
    bool remove(UiElement* element);
    void setRemovalListener(RemovalListener listener) { listener_ = std::move(listener); }

    std::vector<UiElement*> windows() const;
    // Every element, depth first in creation order.
    std::vector<UiElement*> all() const;

    UiElement* defaultParent() const { return defaultParent_; }
    void setDefaultParent(UiElement* parent) { defaultParent_ = parent; }
    UiElement* lastWindow() const { return lastWindow_; }
    // The menu new menu items go into: the option menu made last, or set with setParent -menu.
    UiElement* menuParent() const { return menuParent_; }
    void setMenuParent(UiElement* menu) { menuParent_ = menu; }

    // While an element's own command runs (a click), it may not be deleted.
    void markRunning(const UiElement* element, bool running);
    bool runningWithin(const UiElement* element) const;

    // Deletes everything, without telling the listener.
    void clear();

private:
    bool nameTaken(const std::string& name, const UiElement* parent) const;
    std::string freeName(const std::string& type, const UiElement* parent);
    static void collect(UiElement* element, std::vector<UiElement*>& out);
    void notifyRemoval(const UiElement& element);

    std::vector<std::unique_ptr<UiElement>> windows_;
    UiElement* defaultParent_ = nullptr;
    UiElement* lastWindow_ = nullptr;
    UiElement* menuParent_ = nullptr;
    std::map<std::string, unsigned long> counters_;  // last number given per type
    std::multiset<const UiElement*> running_;
    // Every element by its name: most names are unique, and a lookup of one is then no walk.
    std::unordered_multimap<std::string, UiElement*> byName_;
    RemovalListener listener_;
};

}  // namespace mayahost
