#pragma once

#include <cstddef>

#include "SceneData.h"

// The keys of one animation curve, in time order, read one at a time by index, so that a
// curve need not be copied whole to be written or counted.
class KeySource {
public:
    virtual ~KeySource() = default;
    virtual std::size_t count() const = 0;
    virtual SceneData::Key at(std::size_t index) const = 0;
};
