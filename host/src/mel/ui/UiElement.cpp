#include "UiElement.h"

#include <algorithm>
#include <utility>

namespace mayahost {

std::string UiElement::path() const {
    return parent_ == nullptr ? name_ : parent_->path() + "|" + name_;
}

const UiElement* UiElement::window() const {
    const UiElement* at = this;
    while (at != nullptr && at->kind_ != Kind::Window) {
        at = at->parent_;
    }
    return at;
}

UiElement* UiElement::adopt(std::unique_ptr<UiElement> child) {
    children_.push_back(std::move(child));
    return children_.back().get();
}

std::unique_ptr<UiElement> UiElement::release(const UiElement* child) {
    const auto found =
        std::find_if(children_.begin(), children_.end(),
                     [child](const std::unique_ptr<UiElement>& c) { return c.get() == child; });
    if (found == children_.end()) {
        return nullptr;
    }
    std::unique_ptr<UiElement> taken = std::move(*found);
    children_.erase(found);
    return taken;
}

MelValue UiElement::value(const std::string& flag, const MelValue& fallback) const {
    const auto found = values_.find(flag);
    return found != values_.end() ? found->second : fallback;
}

std::string UiElement::text(const std::string& flag, const std::string& fallback) const {
    const auto found = values_.find(flag);
    return found != values_.end() ? found->second.asString() : fallback;
}

int UiElement::integer(const std::string& flag, int fallback) const {
    const auto found = values_.find(flag);
    return found != values_.end() ? found->second.asInt() : fallback;
}

UiElement* UiElement::chosenItem() const {
    for (const auto& child : children_) {
        if (child->name_ == chosen_) {
            return child.get();
        }
    }
    return children_.empty() ? nullptr : children_.front().get();
}

bool UiElement::visible() const {
    // Windows are made hidden and shown by showWindow; everything else is visible by default.
    return integer("visible", kind_ == Kind::Window ? 0 : 1) != 0;
}

std::string UiElement::caption() const {
    if (kind_ == Kind::Window) {
        return text("title", name_);
    }
    if (type_ == "scrollField") {
        return text("text");
    }
    return text("label", kind_ != Kind::Layout ? name_ : std::string());
}

}  // namespace mayahost
