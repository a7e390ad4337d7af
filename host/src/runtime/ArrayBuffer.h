#pragma once

// Storage shared by the API array classes: a plain growable buffer, since their headers
// may not pull in standard containers.

#include <algorithm>

namespace mayahost {

template <typename T>
struct ArrayBuffer {
    static void assign(T*& data, unsigned int& length, unsigned int& capacity, const T* from,
                       unsigned int count) {
        T* fresh = count > 0 ? new T[count] : nullptr;
        std::copy(from, from + count, fresh);
        delete[] data;
        data = fresh;
        length = count;
        capacity = count;
    }

    static void append(T*& data, unsigned int& length, unsigned int& capacity, const T& value) {
        if (length == capacity) {
            const unsigned int grown = capacity == 0 ? 4 : capacity * 2;
            T* fresh = new T[grown];
            std::copy(data, data + length, fresh);
            delete[] data;
            data = fresh;
            capacity = grown;
        }
        data[length++] = value;
    }

    // Maya leaves an index past the end undefined; the stand-in hands out a scratch value
    // rather than corrupt memory.
    static T& at(T* data, unsigned int length, unsigned int index) {
        static thread_local T scratch;
        if (index >= length) {
            scratch = T();
            return scratch;
        }
        return data[index];
    }
};

}  // namespace mayahost
