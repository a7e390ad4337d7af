#include "MelFrame.h"

#include <utility>

namespace mayahost {

void MelFrame::popScope() {
    while (!bindings_.empty() && bindings_.back().depth == depth_) {
        bindings_.pop_back();
    }
    --depth_;
}

std::shared_ptr<MelVariable> MelFrame::find(const std::string& name) const {
    for (auto it = bindings_.rbegin(); it != bindings_.rend(); ++it) {
        if (it->name == name) {
            return it->variable;
        }
    }
    return nullptr;
}

std::shared_ptr<MelVariable> MelFrame::findInnermost(const std::string& name) const {
    for (auto it = bindings_.rbegin(); it != bindings_.rend() && it->depth == depth_; ++it) {
        if (it->name == name) {
            return it->variable;
        }
    }
    return nullptr;
}

void MelFrame::bind(const std::string& name, std::shared_ptr<MelVariable> variable) {
    for (auto it = bindings_.rbegin(); it != bindings_.rend() && it->depth == depth_; ++it) {
        if (it->name == name) {
            it->variable = std::move(variable);
            return;
        }
    }
    bindings_.push_back({name, depth_, std::move(variable)});
}

}  // namespace mayahost
