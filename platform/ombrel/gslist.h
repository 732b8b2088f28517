#pragma once

// A short list of values (context ids and the like) over the core's intrusive singly linked list.
// Unlike the intrusive list it owns its nodes: each value is held in a node the list allocates and
// frees.

#include <cstddef>
#include <iterator>

#include "core/containers/slist.h"

template <class T> class GSLIST : private SLIST_BASE {
    struct NODE : SLINK_BASE {
        explicit NODE(const T& v)
            : value(v)
        {
        }
        T value;
    };

public:
    GSLIST() = default;
    GSLIST(const GSLIST& other) { *this = other; }
    GSLIST& operator=(const GSLIST& other)
    {
        if (this == &other)
            return *this;
        clear();
        for (const T& value : other)
            append(value);
        return *this;
    }
    ~GSLIST() { clear(); }

    void append(const T& value) { SLIST_BASE::append(new NODE(value)); }
    void insert(const T& value) { SLIST_BASE::insert(new NODE(value)); }
    // Takes the head's value into value; 0 (value untouched) when the list is empty.
    int get(T& value)
    {
        NODE* node = static_cast<NODE*>(SLIST_BASE::get());
        if (!node)
            return 0;
        value = node->value;
        delete node;
        return 1;
    }
    void clear()
    {
        T value;
        while (get(value)) { }
    }
    bool empty() const { return head == nullptr; }
    int count() const
    {
        int n = 0;
        for (const SLINK_BASE* node = head; node; node = node->next)
            ++n;
        return n;
    }
    bool contains(const T& value) const
    {
        for (const T& item : *this)
            if (item == value)
                return true;
        return false;
    }

    class iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = const T*;
        using reference = const T&;

        explicit iterator(const SLINK_BASE* node)
            : at(node)
        {
        }
        const T& operator*() const { return static_cast<const NODE*>(at)->value; }
        iterator& operator++()
        {
            at = at->next;
            return *this;
        }
        bool operator==(const iterator&) const = default;

    private:
        const SLINK_BASE* at;
    };
    iterator begin() const { return iterator(head); }
    iterator end() const { return iterator(nullptr); }
};
