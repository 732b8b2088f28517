#pragma once

// A list of strings that owns them: each is a heap copy freed with the list.

#include "core/containers/dpa.h"

class STRINGLIST : public DPA {
public:
    STRINGLIST() = default;
    STRINGLIST(const STRINGLIST& other);
    STRINGLIST& operator=(const STRINGLIST& other);
    ~STRINGLIST() override;

    // Adds a copy of text (empty for null) before slot pos (-1 or past the end appends); the slot
    // used, or pos itself when it is below -1 (nothing added). zap() frees and removes them all.
    int add(const char* text, int pos = -1);
    // The string at index; null when out of range.
    const char* get(int index) const { return ptr(index); }
    const char* operator[](int index) const { return ptr(index); }
    // Index of the first string equal to text (exactly, or ASCII case ignored); -1 when absent.
    int find(const char* text, int ignorecase = 0) const;
};
