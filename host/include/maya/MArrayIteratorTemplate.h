#pragma once

#include <maya/MApiNamespace.h>
#include <cstddef>
#include <iterator>

OPENMAYA_MAJOR_NAMESPACE_OPEN

// Index-based iterators over the API array classes, so that range-for works on them.
template <typename ArrayType, typename ElementType>
class MArrayIteratorTemplate {
public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = ElementType;
    using difference_type = std::ptrdiff_t;
    using pointer = ElementType*;
    using reference = ElementType&;

    MArrayIteratorTemplate(ArrayType& array, unsigned int index) : fArray(&array), fIndex(index) {}
    reference operator*() const { return (*fArray)[fIndex]; }
    pointer operator->() const { return &(*fArray)[fIndex]; }
    MArrayIteratorTemplate& operator++() {
        ++fIndex;
        return *this;
    }
    MArrayIteratorTemplate operator++(int) {
        MArrayIteratorTemplate before(*this);
        ++fIndex;
        return before;
    }
    MArrayIteratorTemplate& operator--() {
        --fIndex;
        return *this;
    }
    difference_type operator-(const MArrayIteratorTemplate& other) const {
        return static_cast<difference_type>(fIndex) - static_cast<difference_type>(other.fIndex);
    }
    bool operator==(const MArrayIteratorTemplate& other) const {
        return fArray == other.fArray && fIndex == other.fIndex;
    }
    bool operator!=(const MArrayIteratorTemplate& other) const { return !(*this == other); }

private:
    ArrayType* fArray;
    unsigned int fIndex;
};

template <typename ArrayType, typename ElementType>
class MArrayConstIteratorTemplate {
public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = ElementType;
    using difference_type = std::ptrdiff_t;
    using pointer = const ElementType*;
    using reference = ElementType;

    MArrayConstIteratorTemplate(const ArrayType& array, unsigned int index)
        : fArray(&array), fIndex(index) {}
    reference operator*() const { return (*fArray)[fIndex]; }
    MArrayConstIteratorTemplate& operator++() {
        ++fIndex;
        return *this;
    }
    MArrayConstIteratorTemplate operator++(int) {
        MArrayConstIteratorTemplate before(*this);
        ++fIndex;
        return before;
    }
    MArrayConstIteratorTemplate& operator--() {
        --fIndex;
        return *this;
    }
    difference_type operator-(const MArrayConstIteratorTemplate& other) const {
        return static_cast<difference_type>(fIndex) - static_cast<difference_type>(other.fIndex);
    }
    bool operator==(const MArrayConstIteratorTemplate& other) const {
        return fArray == other.fArray && fIndex == other.fIndex;
    }
    bool operator!=(const MArrayConstIteratorTemplate& other) const { return !(*this == other); }

private:
    const ArrayType* fArray;
    unsigned int fIndex;
};

OPENMAYA_NAMESPACE_CLOSE
