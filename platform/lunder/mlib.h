#pragma once

// The library files of one kind ("DEVICE LIBRARY", "SYMBOL LIBRARY"): every file matching a
// pattern in a list of folders, each with its index (dlib.h), kept fresh through one index cache
// file per library in a cache folder. A file met in an earlier folder hides one of the same name
// in a later folder. The set's order is the order of rdlibnames(), which a caller may rearrange
// (the symbol pick dialog's "Set Library Order").
// Callers: the schematic module (its device and symbol libraries), the device tools, the library
// browser and the pick dialogs.

#include "platform/lunder/dlib.h"

#include <memory>
#include <string>
#include <vector>

class MLIB {
public:
    // indexing: keep keywords of the entries (device libraries); classify (may be null) tells
    // what an indexed entry holds. room: the number of libraries to make room for.
    MLIB(int room, int indexing, LIBCLASSIFY classify);
    MLIB(const MLIB&) = delete;
    MLIB& operator=(const MLIB&) = delete;
    ~MLIB();

    // Closes what is open, then opens every library of the kind that matches pattern in the
    // folders (Windows paths separated by ';'), taking indexes from cachefolder (null or empty:
    // no cache) where they are fresh. A library that cannot be opened is left out and its message
    // (naming the file) kept in problems(). Returns the number of libraries open.
    int openidx(const char* folders, const char* cachefolder, const char* pattern, const char* kind);
    // Looks again: libraries that appeared are opened, those gone are closed, changed ones
    // indexed again; unchanged ones stay as they are (their DLIB and entries too). Returns the
    // number open.
    int refresh();
    // Frees every library.
    void close();

    int count() const { return static_cast<int>(order.size()); }
    // The names of the libraries in the set's order; a caller may rearrange the array, and
    // rdlib(i) follows it.
    char** rdlibnames() { return order.data(); }
    // The library at place i of rdlibnames(); null when out of range.
    DLIB* rdlib(int i) const;
    // The same for the writable libraries, in the set's order.
    int wrcount() const;
    char** wrlibnames();
    DLIB* wrlib(int i) const;

    // Puts into found (up to max) the libraries that hold an entry of that name, in the set's
    // order; returns how many hold it.
    int find(const char* name, DLIB** found, int max) const;
    // The entry of that name with the latest creation time (the first in the set's order among
    // equal times), and its library; 0 when no library holds it.
    int getnewest(const char* name, DLIB_INDEX_ENTRY** entry, DLIB** library) const;

    // The messages of the libraries the last openidx or refresh left out.
    const std::vector<std::string>& problems() const { return messages; }

private:
    // The Windows paths of the library files the folders hold, in the set's first order.
    std::vector<std::string> scan() const;
    DLIB* byname(const char* name) const;

    int indexing;
    LIBCLASSIFY classify;
    std::string folders;
    std::string cachefolder;
    std::string pattern;
    std::string kind;
    std::vector<std::unique_ptr<DLIB>> libraries; // in the order they were opened
    std::vector<char*> order; // names of the libraries (their DLIB::name) in the set's order
    mutable std::vector<char*> writable;
    std::vector<std::string> messages;
};
