#include "UiTree.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace mayahost {

namespace {

bool accepted(const UiTree::Filter& filter, const UiElement& element) {
    return !filter || filter(element);
}

UiElement* findBelow(UiElement* element, const std::string& name, const UiTree::Filter& filter) {
    for (const auto& child : element->children()) {
        if (child->name() == name && accepted(filter, *child)) {
            return child.get();
        }
        if (UiElement* found = findBelow(child.get(), name, filter)) {
            return found;
        }
    }
    return nullptr;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

bool UiTree::nameTaken(const std::string& name, const UiElement* parent) const {
    if (parent == nullptr) {
        return std::any_of(windows_.begin(), windows_.end(),
                           [&](const std::unique_ptr<UiElement>& w) { return w->name() == name; });
    }
    return std::any_of(
        parent->children().begin(), parent->children().end(),
        [&](const std::unique_ptr<UiElement>& child) { return child->name() == name; });
}

std::string UiTree::freeName(const std::string& type, const UiElement* parent) {
    unsigned long& counter = counters_[type];
    for (;;) {
        std::string candidate = type + std::to_string(++counter);
        if (!nameTaken(candidate, parent)) {
            return candidate;
        }
    }
}

UiElement* UiTree::create(UiElement::Kind kind, const std::string& type, const std::string& name,
                          UiElement* parent, std::string& error) {
    if (!name.empty() && nameTaken(name, parent)) {
        // Maya's wording for this is not documented; the host's own.
        error = "Object's name '" + name + "' is not unique.";
        return nullptr;
    }
    const std::string given = name.empty() ? freeName(type, parent) : name;
    auto element = std::make_unique<UiElement>(kind, type, given, parent);
    byName_.emplace(given, element.get());
    if (parent == nullptr) {
        windows_.push_back(std::move(element));
        lastWindow_ = windows_.back().get();
        return lastWindow_;
    }
    return parent->adopt(std::move(element));
}

UiElement* UiTree::find(const std::string& nameOrPath, const Filter& filter) const {
    if (nameOrPath.empty()) {
        return nullptr;
    }
    if (nameOrPath.find('|') != std::string::npos) {
        const std::string path = nameOrPath[0] == '|' ? nameOrPath.substr(1) : nameOrPath;
        UiElement* byTail = nullptr;
        for (UiElement* element : all()) {
            if (!accepted(filter, *element)) {
                continue;
            }
            const std::string full = element->path();
            if (full == path) {
                return element;
            }
            if (byTail == nullptr && endsWith(full, "|" + path)) {
                byTail = element;
            }
        }
        return byTail;
    }
    const auto named = byName_.equal_range(nameOrPath);
    if (named.first == named.second) {
        return nullptr;
    }
    if (std::next(named.first) == named.second) {
        return accepted(filter, *named.first->second) ? named.first->second : nullptr;
    }
    // Several share the name: the one below the default parent, else the first in order.
    if (defaultParent_ != nullptr) {
        if (UiElement* found = findBelow(defaultParent_, nameOrPath, filter)) {
            return found;
        }
    }
    // The same depth-first order as all(), without listing every element first: panels
    // look their controls up by name many times a second.
    for (const auto& window : windows_) {
        if (window->name() == nameOrPath && accepted(filter, *window)) {
            return window.get();
        }
        if (UiElement* found = findBelow(window.get(), nameOrPath, filter)) {
            return found;
        }
    }
    return nullptr;
}

void UiTree::collect(UiElement* element, std::vector<UiElement*>& out) {
    out.push_back(element);
    for (const auto& child : element->children()) {
        collect(child.get(), out);
    }
}

std::vector<UiElement*> UiTree::windows() const {
    std::vector<UiElement*> result;
    for (const auto& window : windows_) {
        result.push_back(window.get());
    }
    return result;
}

std::vector<UiElement*> UiTree::all() const {
    std::vector<UiElement*> result;
    for (const auto& window : windows_) {
        collect(window.get(), result);
    }
    return result;
}

void UiTree::markRunning(const UiElement* element, bool running) {
    if (running) {
        running_.insert(element);
    } else if (const auto found = running_.find(element); found != running_.end()) {
        running_.erase(found);
    }
}

bool UiTree::runningWithin(const UiElement* element) const {
    return std::any_of(running_.begin(), running_.end(), [element](const UiElement* busy) {
        for (const UiElement* at = busy; at != nullptr; at = at->parent()) {
            if (at == element) {
                return true;
            }
        }
        return false;
    });
}

void UiTree::notifyRemoval(const UiElement& element) {
    for (const auto& child : element.children()) {
        notifyRemoval(*child);
    }
    if (listener_) {
        listener_(element);
    }
}

bool UiTree::remove(UiElement* element) {
    if (element == nullptr || runningWithin(element)) {
        return false;
    }
    std::vector<UiElement*> doomed;
    collect(element, doomed);
    std::unique_ptr<UiElement> taken;
    if (element->parent() == nullptr) {
        const auto found = std::find_if(
            windows_.begin(), windows_.end(),
            [element](const std::unique_ptr<UiElement>& w) { return w.get() == element; });
        if (found == windows_.end()) {
            return false;
        }
        taken = std::move(*found);
        windows_.erase(found);
    } else {
        taken = element->parent()->release(element);
    }
    for (const UiElement* gone : doomed) {
        const auto named = byName_.equal_range(gone->name());
        for (auto it = named.first; it != named.second; ++it) {
            if (it->second == gone) {
                byName_.erase(it);
                break;
            }
        }
        if (defaultParent_ == gone) {
            defaultParent_ = nullptr;
        }
        if (lastWindow_ == gone) {
            lastWindow_ = nullptr;
        }
        if (menuParent_ == gone) {
            menuParent_ = nullptr;
        }
    }
    notifyRemoval(*taken);
    return true;
}

void UiTree::clear() {
    windows_.clear();
    byName_.clear();
    defaultParent_ = nullptr;
    lastWindow_ = nullptr;
    menuParent_ = nullptr;
    counters_.clear();
    running_.clear();
}

}  // namespace mayahost
