#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

// Storage base of the value containers: every block they hold is obtained, resized and released
// through these four operations (C heap by default).
template <class T> class VALLOC {
public:
    virtual ~VALLOC() = default;

    virtual T* allocmem(size_t size) { return static_cast<T*>(std::malloc(size)); } // null on failure
    virtual T* callocmem(size_t n) { return static_cast<T*>(std::calloc(n, sizeof(T))); } // n zeroed elements
    virtual T* reallocmem(T* block, size_t size) { return static_cast<T*>(std::realloc(block, size)); }
    virtual void freemem(T* block) { std::free(block); }
};

// A growable array of values. The values are moved with the block, so T must be trivially
// copyable. Element access is direct and unchecked: data[i] for 0 <= i < count.
template <class T> class DOA : public VALLOC<T> {
    static_assert(std::is_trivially_copyable_v<T>, "DOA moves its values as raw bytes");

public:
    explicit DOA(int growth = 10)
        : capacity(0)
        , step(growth > 0 ? growth : 10)
        , count(0)
        , data(nullptr)
    {
    }
    DOA(const DOA&) = delete;
    DOA& operator=(const DOA&) = delete;
    ~DOA() override { this->freemem(data); }

    // Inserts before index pos (-1 or past the end appends); returns the index used, or pos
    // unchanged when it is negative other than -1 (nothing added). The value may be an element of
    // this array: it is copied before the block can move.
    int add(const T& value, int pos = -1)
    {
        if (pos == -1 || pos > count)
            pos = count;
        if (pos < 0)
            return pos;
        const T copy = value;
        if (count == capacity) {
            T* grown = this->reallocmem(data, sizeof(T) * static_cast<size_t>(capacity + step));
            if (!grown)
                throw std::bad_alloc();
            data = grown;
            capacity += step;
        }
        std::memmove(data + pos + 1, data + pos, sizeof(T) * static_cast<size_t>(count - pos));
        data[pos] = copy;
        ++count;
        return pos;
    }

    T& operator[](int i) { return data[i]; }
    const T& operator[](int i) const { return data[i]; }

    int32_t capacity;
    int32_t step;
    int32_t count;
    T* data;
};
