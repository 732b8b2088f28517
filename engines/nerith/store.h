#pragma once

#include <cstddef>
#include <iterator>
#include <memory>
#include <type_traits>
#include <vector>

namespace nerith {

// Objects that never move once made, kept in blocks of `Block` and visited in the order they were
// made: the circuit's nodes and instances, of which there are millions in large decks, without a
// memory block or a lookup table of their own each.
template <class T, std::size_t Block = 1024> class Store {
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

    T& emplace_back()
    {
        if (count % Block == 0)
            blocks.push_back(std::make_unique<T[]>(Block));
        return (*this)[count++];
    }
    std::size_t size() const { return count; }
    bool empty() const { return count == 0; }
    T& operator[](std::size_t index) { return blocks[index / Block][index % Block]; }
    const T& operator[](std::size_t index) const { return blocks[index / Block][index % Block]; }
    T& back() { return (*this)[count - 1]; }

    Iterator<false> begin() { return { this, 0 }; }
    Iterator<false> end() { return { this, count }; }
    Iterator<true> begin() const { return { this, 0 }; }
    Iterator<true> end() const { return { this, count }; }

private:
    std::vector<std::unique_ptr<T[]>> blocks;
    std::size_t count = 0;
};

} // namespace nerith
