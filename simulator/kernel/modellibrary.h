#pragma once

#include "core/containers/dpa.h"
#include "simulator/kernel/modellibraryfile.h"

#include <cstdint>

// The model library manager: the library files of a list of folders, opened for the time of a
// task load, whose members the SPICE model reader asks for by model and library name. The
// libraries' search order, and the libraries hidden from it, are kept in the registry of the
// application context under a key named after the signature ("Spice Library"): the values "000",
// "001", ... of its subkeys "Order" and "Hidden" name libraries.

constexpr const char* SPICELIBRARYSIGNATURE = "SPICE LIBRARY\x1a";
constexpr const char* SPICELIBRARYPATTERN = "*.SML";

// One library in the manager.
struct MLIB_MEMBER {
    char name[520]; // the file name without its extension
    DLIB library;

    MLIB_MEMBER(int indexing, const char* cachefolder)
        : name {}
        , library(indexing, cachefolder)
    {
    }
};

class MLIBMANAGER {
public:
    // The three lists grow by step; indexing keeps an index and its cache for every library, in
    // cachefolder (null: beside the libraries). The simulator passes 10, 0, null.
    MLIBMANAGER(int step, int indexing, const char* cachefolder);
    MLIBMANAGER(const MLIBMANAGER&) = delete;
    MLIBMANAGER& operator=(const MLIBMANAGER&) = delete;
    // Frees the libraries and the lists (the search order is saved only by unload).
    ~MLIBMANAGER();

    // Opens every library file matching pattern in the folders (separated by ';'; an empty one is
    // the current folder; a folder's files in name order, letters compared without case) whose header has the
    // signature (and a kind word of 0 or the kind filter). A file name met in an earlier folder is passed
    // over. A library that cannot be opened (damaged, newer than this manager) is left out with a warning on
    // the simulation log; the others load. Then builds the search order.
    void load(const char* folders, const char* pattern, const char* signature, int exclusive);
    // The block of the model in the library (library name without regard to case, cut at its
    // first '.'; the last of several visible libraries of that name): an int32 length (4 and the
    // text's), the model's text and a NUL, on the C heap. Null when the library or the model is
    // not there, or its data is damaged.
    char* findmodel(const char* model, const char* library);
    // Saves the search order, then closes and frees every library and empties the lists.
    void unload();

    // The registry key of the order lists: the signature's letters, digits and blanks, each word
    // capitalised ("Spice Library").
    void keyname(char* out) const; // out holds DLIB_SIGNATURESIZE + 1 bytes

    char signature[DLIB_SIGNATURESIZE] = {};
    int32_t kind = 0; // 0: any; else libraries whose kind word is neither 0 nor this are passed over
    int32_t indexing;
    const char* cachefolder; // not owned
    GDPA<MLIB_MEMBER> libraries; // every library loaded, in load order; owned
    GDPA<MLIB_MEMBER> searchorder; // the visible libraries in search order; not owned
    GDPA<MLIB_MEMBER> writable; // the visible libraries that can be written, in search order; not owned

private:
    void buildsearchorder();
    void savesearchorder();
};
