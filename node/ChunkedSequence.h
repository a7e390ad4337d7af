#pragma once

#include <cstddef>
#include <memory>
#include <vector>

// A growable sequence in fixed-size blocks. Appending never moves what is stored, so a long
// take grows by one block allocation at a time instead of copying itself; clearing keeps the
// blocks for the next take. T must be default-constructible and copy-assignable.
template <typename T, std::size_t BlockSize = 1024>
class ChunkedSequence {
public:
    static_assert(BlockSize > 0, "blocks hold at least one element");

    static constexpr std::size_t kBlockSize = BlockSize;

    // Makes room for at least `capacity` elements.
    void reserve(std::size_t capacity) {
        while (mBlocks.size() * BlockSize < capacity) {
            addBlock();
        }
    }

    void push_back(const T& value) {
        const std::size_t block = mSize / BlockSize;
        if (block == mBlocks.size()) {
            addBlock();
        }
        mBlocks[block][mSize % BlockSize] = value;
        ++mSize;
    }

    // Whether the next push_back needs another block.
    bool full() const { return mSize == mBlocks.size() * BlockSize; }
    // Gives the sequence `block`, of BlockSize elements, for the pushes to come.
    void addBlock(std::unique_ptr<T[]> block) { mBlocks.push_back(std::move(block)); }

    const T& operator[](std::size_t index) const {
        return mBlocks[index / BlockSize][index % BlockSize];
    }

    std::size_t size() const { return mSize; }
    bool empty() const { return mSize == 0; }
    std::size_t capacity() const { return mBlocks.size() * BlockSize; }

    // Forgets the elements, keeps the storage.
    void clear() { mSize = 0; }
    // Forgets the elements and gives the storage back.
    void release() {
        mSize = 0;
        std::vector<std::unique_ptr<T[]>>().swap(mBlocks);
    }

private:
    // Default-initialised, not zeroed: a new block costs an allocation, not a pass over it,
    // and its pages are touched only as samples arrive.
    void addBlock() { addBlock(std::unique_ptr<T[]>(new T[BlockSize])); }

    std::vector<std::unique_ptr<T[]>> mBlocks;
    std::size_t mSize = 0;
};
