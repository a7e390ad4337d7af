#pragma once

#include <vector>

#include "KeySource.h"

// Keys held in memory, read through the KeySource interface. Refers to the vector.
class VectorKeySource : public KeySource {
public:
    explicit VectorKeySource(const std::vector<SceneData::Key>& keys) : mKeys(keys) {}
    std::size_t count() const override { return mKeys.size(); }
    SceneData::Key at(std::size_t index) const override { return mKeys[index]; }

private:
    const std::vector<SceneData::Key>& mKeys;
};
