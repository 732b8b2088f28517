#pragma once

#include "engines/nerith/largepages.h"

#include <bit>
#include <cstddef>
#include <iterator>
#include <new>
#include <type_traits>
#include <vector>

namespace nerith {

// Objects that never move once made, kept in blocks and visited in the order they were made: the
// circuit's nodes and instances, of which there are millions in large decks, without a memory block
// or a lookup table of their own each. Block b holds `First` << b objects, so a large store has a
// few large blocks (on large pages); an object is constructed when made, so a block's unused tail
// is never touched.
template <class T, std::size_t First = 1024> class Store {
    static_assert(alignof(T) <= alignof(std::max_align_t));

public:
    template <bool Constant> class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = std::conditional_t<Constant, const T*, T*>;
        using reference = std::conditional_t<Constant, const T&, T&>;

        using Owner = std::conditional_t<Constant, const Store, Store>;

        Iterator() = default;
        Iterator(Owner* store, std::size_t at)
            : owner(store)
            , index(at)
        {
        }
        reference operator*() const { return (*owner)[index]; }
        pointer operator->() const { return &**this; }
        Iterator& operator++()
        {
            ++index;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator before = *this;
            ++index;
            return before;
        }
        bool operator==(const Iterator& other) const { return index == other.index; }

    private:
        Owner* owner = nullptr;
        std::size_t index = 0;
    };

    Store() = default;
    ~Store()
    {
        for (std::size_t k = 0; k < count; ++k)
            (*this)[k].~T();
        for (std::size_t b = 0; b < blocks.size(); ++b)
            freelarge(blocks[b], sizeof(T) * (First << b));
    }
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    T& emplace_back()
    {
        const Place place = placeof(count);
        if (place.block == blocks.size()) {
            blocks.reserve(blocks.size() + 1);
            blocks.push_back(static_cast<T*>(allocatelarge(sizeof(T) * (First << place.block))));
        }
        T* made = ::new (static_cast<void*>(blocks[place.block] + place.offset)) T();
        ++count;
        return *made;
    }
    std::size_t size() const { return count; }
    bool empty() const { return count == 0; }
    T& operator[](std::size_t index)
    {
        const Place place = placeof(index);
        return blocks[place.block][place.offset];
    }
    const T& operator[](std::size_t index) const
    {
        const Place place = placeof(index);
        return blocks[place.block][place.offset];
    }
    T& back() { return (*this)[count - 1]; }

    Iterator<false> begin() { return { this, 0 }; }
    Iterator<false> end() { return { this, count }; }
    Iterator<true> begin() const { return { this, 0 }; }
    Iterator<true> end() const { return { this, count }; }

private:
    struct Place {
        std::size_t block;
        std::size_t offset;
    };
    // Blocks 0 .. b - 1 hold First * (2^b - 1) objects.
    static Place placeof(std::size_t index)
    {
        const std::size_t block = std::bit_width(index / First + 1) - 1;
        return { block, index - First * ((std::size_t { 1 } << block) - 1) };
    }

    std::vector<T*> blocks;
    std::size_t count = 0;
};

} // namespace nerith
