#pragma once

// One library file of devices, packages, symbols or models, read lazily: opening takes its index
// (names, time stamps and, for indexed libraries, the keywords of every entry) from the index cache
// or from the file's directory, and an entry's packed data is read only when it is asked for. A
// write rewrites the whole file beside it and renames it into place (platform/win/replacefile.h)
// under a lock on the library's folder, so that writers in several processes lose nothing; a
// read-only library is never written. The file layout is in libfile.h, the cache's in libcache.h.
//
// An entry of an indexed library is a packed record (DPKB, 32-bit length words) that opens with
// its length word and then the u32 distance from the record's start to its property text, a TEXT
// record (TEXT::pack): the library reads the text's block "INDEX" for the keywords CAT, TYPE,
// SUBCAT, MFR, CODE and DESC, and hands the text to the set's classification. Entries whose names
// begin with '[' (pinout scripts) carry no keywords.
// Callers: the library sets (mlib.h), the loaded entries (rlib.h), the device tools, the pick
// dialogs and their search.

#include "core/files/paths.h"
#include "platform/lunder/libname.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class DIDX;
class DPKB;
class PROPTEXT;
struct LIBFILEHEAD;

constexpr int LIBWORDSIZE = 50; // one keyword of tag: at most 49 characters
constexpr int LIBMAXWORDS = 50;
constexpr size_t LIBKEYWORDMAX = 1023; // a keyword text longer than this is cut

// The classification of an entry from its property text: LIBCLASS_MODEL when it has a simulator
// model, plus LIBCLASS_PACKAGING when it has a packaging.
using LIBCLASSIFY = int (*)(const PROPTEXT& text);
constexpr uint8_t LIBCLASS_MODEL = 1;
constexpr uint8_t LIBCLASS_PACKAGING = 2;

// Matching options of tag: which texts a keyword is sought in.
constexpr unsigned LIBMATCH_LIBRARY = 1; // the library's name
constexpr unsigned LIBMATCH_NAME = 2;
constexpr unsigned LIBMATCH_DESCRIPTION = 8;
constexpr unsigned LIBMATCH_MANUFACTURER = 16;
constexpr unsigned LIBMATCH_STOCKCODE = 32;
constexpr unsigned LIBMATCH_CLASSES = 64; // category, type and sub-category
// Filter flags of tag and get_index_lists.
constexpr unsigned LIBFILTER_MODELS = 1; // only entries with a simulator model

// A library error: what add throws, its text ready to show.
class LIBERROR : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One entry of a library's index.
struct DLIB_INDEX_ENTRY {
    DLIB_INDEX_ENTRY() = default;
    // An entry for the record packed in data (up to its write position), created now; keywords
    // are added with DLIB::index_keywords.
    DLIB_INDEX_ENTRY(const char* name, const DPKB& data);
    DLIB_INDEX_ENTRY(const DLIB_INDEX_ENTRY&) = delete;
    DLIB_INDEX_ENTRY& operator=(const DLIB_INDEX_ENTRY&) = delete;

    // Copies the six keyword texts (CAT, TYPE, SUBCAT, MFR, CODE, DESC; null or empty: absent),
    // each cut to LIBKEYWORDMAX characters.
    void setkeywords(const char* const texts[6]);

    char name[LIBNAMESIZE] = {};
    uint32_t created = 0; // seconds since 1970
    // Keyword texts, null when absent; they point into an owned block.
    char* category = nullptr;
    char* type = nullptr;
    char* subcategory = nullptr;
    char* manufacturer = nullptr;
    char* stockcode = nullptr;
    char* description = nullptr;
    uint8_t tagged = 0; // set by the last tag
    uint8_t classes = 0; // LIBCLASS_ bits
    uint8_t mode = 1; // packing of the data: 0 16-bit length words, 1 32-bit
    uint32_t offset = 0; // of the data in the file
    uint32_t length = 0; // of the data

private:
    std::unique_ptr<char[]> keywords;
};

class DLIB {
public:
    // A library at path (a Windows path), not yet open. indexing: keep keywords; classify (may be
    // null) classifies indexed entries.
    DLIB(const char* path, int indexing, LIBCLASSIFY classify);
    DLIB(const DLIB&) = delete;
    DLIB& operator=(const DLIB&) = delete;
    ~DLIB();

    // Results of open.
    static constexpr int OPENED = 1;
    static constexpr int OTHERKIND = 2; // a library of another kind: nothing kept
    static constexpr int FAILED = 0; // error holds the message, naming the file

    // Reads the index: from cachefile when that holds a fresh index of this file, else from the
    // library itself (then written into cachefile). An empty cachefile keeps no cache.
    int open(const char* kind, const char* cachefile, std::string& error);
    // Whether the file was changed since its index was read (or it is gone).
    bool changed() const;

    // Writes a new, empty library of that kind; false, with the message in error, when it cannot.
    static bool create(const char* path, const char* kind, uint32_t capacity, std::string& error);

    int count() const { return static_cast<int>(entries.size()); }
    int capacity() const { return static_cast<int>(libcapacity); }
    int isreadonly() const { return readonly; }
    const char* kind() const { return libkind.c_str(); }
    // The entries in index order (names compared with alnumicmp).
    DLIB_INDEX_ENTRY* const* indexbase() const { return entries.data(); }
    DLIB_INDEX_ENTRY* entry(int i) const;
    DLIB_INDEX_ENTRY* entry(const char* name) const;

    // The packed data of the entry of that name (the caller's), its time stamp in created; null,
    // with the reason in error, when the library lacks it or it cannot be read. A file changed
    // since it was indexed is indexed again first.
    DPKB* read(const char* name, uint32_t& created, std::string& error);
    // Stores the record packed in data under name, created now, replacing an entry of that name
    // (compared without regard to case). Throws LIBERROR, the file unchanged, when the library
    // is read-only or full, the name or data cannot be stored, or the file cannot be read or
    // written.
    void add(const char* name, DPKB& data);

    // Marks the entries that pass every filter and hold every word (words[0..count-1]; whole:
    // only as whole words) in the texts the options name, and clears the mark of the others.
    // A filter of null passes everything, an empty one only entries lacking that text; the rest
    // compare without regard to case. Entries whose names begin with '[' are never marked.
    // Returns the number marked.
    int tag(const char (*words)[LIBWORDSIZE], int count, const char* cat, const char* type,
        const char* subcat, const char* mfr, int whole, unsigned options, unsigned filters);
    // Adds to each given index (null: not wanted) the distinct texts of its field (as strdup'ed
    // strings) over the entries of category cat and type type (null or empty: any), only tagged
    // ones when tagged is set, only those with models under LIBFILTER_MODELS. unused takes
    // nothing. Returns 1 when some such entry lacks a category (catidx given), 2 when one lacks
    // a type (typeidx given) or a sub-category (subcatidx given), 4 when one lacks a
    // manufacturer (mfridx given).
    int get_index_lists(const char* cat, const char* type, DIDX* catidx, DIDX* typeidx, DIDX* subcatidx,
        DIDX* mfridx, DIDX* unused, int tagged, unsigned filters);
    // Reads the property text of the record packed in data (up to its write position) into text
    // and fills the entry's keywords and classes from it; 0, the entry without keywords, when
    // data holds no text.
    int index_keywords(DLIB_INDEX_ENTRY& entry, const DPKB& data, PROPTEXT& text) const;

    char path[PATHBUFFER] = {}; // full Windows path
    char name[PATHBUFFER] = {}; // the file name without its extension
    int32_t number = -1; // its place in the set that loaded it

private:
    int readindex(int fd, const char* wanted, std::string& error);
    int unreadable(std::string& error) const; // FAILED, error saying why the file cannot be read
    // Makes the library's index the parsed entries of a file of that kind, head, size and time.
    void takeindex(const std::string& kind, const LIBFILEHEAD& head, int64_t size, int64_t time,
        std::vector<std::unique_ptr<DLIB_INDEX_ENTRY>>& parsed, const uint8_t* data, const char* renewed);
    int readcache(const char* wanted, int64_t size, int64_t time);
    void writecache() const;
    // Makes fresh the index: keywords are kept from the entries it replaces that are unchanged
    // (same name, time, length and mode; never the renewed name), else read from data, the data
    // region of the file in memory (null: none).
    void takeentries(std::vector<DLIB_INDEX_ENTRY*>&& fresh, const uint8_t* data, const char* renewed);
    void indexentry(DLIB_INDEX_ENTRY& entry, const uint8_t* record, PROPTEXT& text) const;
    void fillkeywords(DLIB_INDEX_ENTRY& entry, const PROPTEXT& text) const;
    void clear();

    std::vector<DLIB_INDEX_ENTRY*> entries; // owned
    uint32_t serial = 0;
    uint32_t libcapacity = 0;
    uint32_t dataoffset = 0;
    std::string libkind;
    std::string cachefile;
    int readonly = 0;
    int indexing;
    LIBCLASSIFY classify;
    int64_t filesize = -1; // of the file when indexed
    int64_t filetime = 0; // its modification time then, nanoseconds since 1970
};
