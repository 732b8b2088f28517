#pragma once

#include "core/containers/didx.h"
#include "core/files/paths.h"

#include <cstdint>
#include <string>
#include <vector>

// A library file: the general format of the system's model, symbol and package libraries, told
// apart by their signatures. Little-endian throughout:
//
//   header       32 bytes at 0: signature char[16] (NUL-padded), int16 version (at most 400),
//                int16 prefix capacity, int16 directory capacity, int16 prefixes in use,
//                int16 members in use, int16 kind word, 4 bytes not interpreted
//   prefixes     at 32, capacity x 8 bytes, each a name prefix (NUL-padded)
//   directory    after the prefixes, capacity records of 16 bytes (versions below 200: name
//                char[12], int32 offset at 12), 32 bytes (200 to 399: name char[20], int32 offset
//                at 20, int32 stamp at 24, int16 checksum at 28) or 80 bytes (400: name char[64],
//                int32 offset at 64, int32 stamp at 68, int16 checksum at 72); empty names unused
//   member data  at its offset: the block's length (int16 below version 300, else int32; the
//                prefix counted), then the contents; a non-zero checksum is the 16-bit sum of
//                every byte of the block
//
// Member names are stored without the longest prefix entry they begin with (unless the prefix is
// the whole name). A stamp grows by one with every write of a member. Everything read is checked
// against the file's size: a header whose counts or records do not fit is a corrupted library,
// a member whose block does not fit is absent.

constexpr int DLIB_SIGNATURESIZE = 16;
constexpr int DLIB_HEADERSIZE = 32;
constexpr int DLIB_PREFIXSIZE = 8;
constexpr int DLIB_NAMESIZE = 64; // member names and keys: at most 63 characters
constexpr int16_t DLIB_VERSION = 400; // the newest version read, and the version written
constexpr int16_t DLIB_WRITABLEVERSION = 300; // older libraries open read-only
constexpr int DLIB_DIRECTORYGROWTH = 100;

// Fatal codes of opening a library (thrown through throwfatal with the library's full path).
constexpr uint32_t DLIB_CANNOTOPEN = 200; // "Could not open library '%s'."
constexpr uint32_t DLIB_CORRUPTED = 201; // "File %s is corrupted or not a library"
constexpr uint32_t DLIB_TOONEW = 202; // "Library %s has newer version than library manager"

struct DLIBHEADER {
    char signature[DLIB_SIGNATURESIZE];
    int16_t version;
    int16_t prefixcapacity;
    int16_t directorycapacity;
    int16_t prefixcount;
    int16_t membercount;
    int16_t kind;
    uint8_t reserved[4];
};

// The header's signature as read, with the older signatures taken as their current forms.
void mapoldsignature(char signature[DLIB_SIGNATURESIZE]);

// The texts an index gives a member, in the order of the index cache.
enum DLIB_TEXT { DLIB_CAT, DLIB_TYPE, DLIB_SUBCAT, DLIB_MFR, DLIB_CODE, DLIB_DESC, DLIB_TEXTS };

// One member in memory: its directory record in the 80-byte form, then what indexing found.
struct DLIB_INDEX_ENTRY {
    char name[DLIB_NAMESIZE]; // the stored key
    int32_t offset;
    int32_t stamp;
    uint16_t checksum;
    uint8_t unused[6];
    char* texts[DLIB_TEXTS] = {}; // heap copies; null when absent
    int32_t size = 0; // the block's length, kept with the texts (0 until indexed)

    DLIB_INDEX_ENTRY() = default;
    DLIB_INDEX_ENTRY(const DLIB_INDEX_ENTRY&) = delete;
    DLIB_INDEX_ENTRY& operator=(const DLIB_INDEX_ENTRY&) = delete;
    ~DLIB_INDEX_ENTRY() { cleartexts(); }
    void cleartexts();
};

template <> struct GDIDXKEY<DLIB_INDEX_ENTRY> : GDIDXINLINEKEY<DLIB_INDEX_ENTRY> {
};

// One library file. Unless opened for exclusive use it holds no open handle between operations:
// each read opens the file, locks its signature (a byte-range lock on the first 16 bytes), reads,
// unlocks and closes.
class DLIB {
public:
    DLIB(int indexing, const char* cachefolder);
    DLIB(const DLIB&) = delete;
    DLIB& operator=(const DLIB&) = delete;
    ~DLIB();

    // Opens the library at path and reads its directory (and, when indexing, its index cache or
    // a new index). 1 when open; 0 when the file does not exist. Throws through the module's
    // fatal path: DLIB_CANNOTOPEN, DLIB_CORRUPTED (also a wrong signature), DLIB_TOONEW.
    int open(const char* path, const char* signature, int exclusive);
    // Writes a changed index cache and releases the handle; the directory is forgotten.
    void close();

    // The key a member name is stored under (key holds DLIB_NAMESIZE bytes).
    void memberkey(const char* name, char* key) const;
    // The member of that name; null when absent.
    DLIB_INDEX_ENTRY* find(const char* name) const;
    // The member's block on the C heap: an int32 length (4 and the contents, whatever the file's
    // prefix width), the contents and a NUL after them. Null when the block does not fit the file,
    // its checksum fails or the file cannot be read.
    char* readmember(const DLIB_INDEX_ENTRY& entry);

    // Adds a member, or replaces the one of that name (writing raises the library to version 400,
    // grows the directory by 100 when full and moves data out of the directory's way). The file
    // is rewritten beside and renamed over. 1, or 0 when the library is read-only, the key would
    // be empty, or the file cannot be written.
    int putmember(const char* name, const void* data, int32_t size);
    // Writes a new, empty library of the newest version with a directory of 100 slots; 1, or 0
    // when the file cannot be written.
    static int create(const char* path, const char* signature, int16_t kind);

    char path[PATHBUFFER] = {}; // full path
    int handle = -1; // -1 when closed
    int readonly = 0; // the file cannot be written, or is older than version 300
    int exclusive = 0; // the handle stays open between operations
    int prefixwidth = 4; // of the member blocks' length prefix: 2 below version 300
    DLIBHEADER header = {};
    std::vector<std::string> prefixes; // the prefix entries in use, sorted
    GDIDX<DLIB_INDEX_ENTRY> members; // by key; owns the entries
    std::vector<DLIB_INDEX_ENTRY*> directory; // the same entries in directory order
    int opened = 0;
    int indexing;
    int dirty = 0; // members changed since the index cache was written
    const char* cachefolder; // not owned; null or empty: caches lie beside the libraries

private:
    // The file's handle for one operation (the kept one when exclusive); -1 when it cannot be
    // opened. Every successful call is paired with release.
    int acquire();
    void release(int fd);
    // Decodes the header, prefixes and directory from the file's first size bytes (at least the
    // header); 0, DLIB_TOONEW or DLIB_CORRUPTED (counts or records that do not fit).
    int parse(const uint8_t* bytes, int64_t size);
    void clearmembers();

    // Index cache (modellibraryindex.cpp).
    void loadindex();
    void indexmember(DLIB_INDEX_ENTRY& entry);
    bool readcache(int& reindexed);
    void writecache();
};

// The index cache's file name for a library (Windows path in out, PATHBUFFER bytes): the library's
// path with the extension IDX, or in the cache folder "<folder>\<checksum of the path>#<file name>"
// with the extension IDX; empty when that name would not fit.
void indexcachename(char* out, const char* librarypath, const char* cachefolder);
// The 32-bit checksum of a path that names its cache file.
uint32_t pathchecksum(const char* path);
