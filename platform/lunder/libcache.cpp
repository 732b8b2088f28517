#include "platform/lunder/libcache.h"

#include "core/files/paths.h"
#include "platform/lunder/dlib.h"
#include "platform/lunder/libbytes.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr char MAGIC[8] = { 'V', 'K', 'T', ' ', 'I', 'D', 'X', 0x1A };
constexpr size_t KEYWORDMAX = 4095;
// The smallest entry: a directory record, classes and six empty texts.
constexpr size_t SMALLESTENTRY = 13 + 1 + 6 * 3;

std::string damaged(const char* file, const std::string& why)
{
    return "Index cache '" + std::string(file) + "' is damaged: " + why + ".";
}

} // namespace

bool readlibcache(const uint8_t* bytes, size_t size, const char* file, LIBCACHE& cache, std::string& error)
{
    if (size < 10 || std::memcmp(bytes, MAGIC, sizeof MAGIC) != 0) {
        error = "'" + std::string(file) + "' is not an index cache.";
        return false;
    }
    LIBCURSOR cursor(bytes, size);
    cursor.skip(sizeof MAGIC);
    uint16_t version = 0;
    cursor.u16(version);
    if (version != LIBCACHEVERSION) {
        error = "Index cache '" + std::string(file) + "' has format version " + std::to_string(version)
            + "; this program reads format " + std::to_string(LIBCACHEVERSION) + ".";
        return false;
    }
    uint64_t time = 0;
    const char* path = nullptr;
    const char* kind = nullptr;
    uint16_t pathlength = 0;
    uint16_t kindlength = 0;
    if (!cursor.u64(cache.size) || !cursor.u64(time) || !cursor.u32(cache.head.serial)
        || !cursor.u32(cache.head.capacity) || !cursor.u32(cache.head.dataoffset)
        || !cursor.u8(cache.indexing) || !cursor.u32(cache.head.count)) {
        error = damaged(file, "it ends inside its head");
        return false;
    }
    cache.time = static_cast<int64_t>(time);
    if (!cursor.str(path, pathlength, PATHBUFFER - 1) || !cursor.str(kind, kindlength, LIBKINDMAX)) {
        error = damaged(file, std::string("the library's path or kind ") + cursor.fault);
        return false;
    }
    cache.library.assign(path, pathlength);
    cache.kind.assign(kind, kindlength);
    if (cache.head.count > cursor.remaining() / SMALLESTENTRY) {
        error = damaged(
            file, "its entry count " + std::to_string(cache.head.count) + " passes the end of the file");
        return false;
    }
    cache.entries.clear();
    cache.entries.reserve(cache.head.count);
    uint64_t offset = cache.head.dataoffset;
    const char* previous = nullptr;
    for (uint32_t i = 0; i < cache.head.count; ++i) {
        auto entry = std::make_unique<DLIB_INDEX_ENTRY>();
        std::string fault;
        const char* texts[6] = {};
        uint16_t length = 0;
        bool whole = readlibrecord(cursor, previous, *entry, fault);
        if (whole && !cursor.u8(entry->classes))
            fault = std::string("it ") + cursor.fault;
        for (int t = 0; whole && fault.empty() && t < 6; ++t) {
            if (!cursor.str(texts[t], length, KEYWORDMAX))
                fault = std::string("a keyword ") + cursor.fault;
        }
        if (!whole || !fault.empty()) {
            error = damaged(file, "entry " + std::to_string(i + 1) + ": " + fault);
            return false;
        }
        entry->setkeywords(texts);
        entry->offset = static_cast<uint32_t>(offset);
        offset += entry->length;
        cache.entries.push_back(std::move(entry));
        previous = cache.entries.back()->name;
    }
    if (cursor.remaining() != 0) {
        error = damaged(file, "it goes on after its last entry");
        return false;
    }
    if (offset != cache.size) {
        error = damaged(file, "its entries do not fill the library's size");
        return false;
    }
    return true;
}

std::vector<uint8_t> writelibcache(const LIBCACHE& cache, const std::vector<DLIB_INDEX_ENTRY*>& entries)
{
    LIBWRITER out;
    out.raw(MAGIC, sizeof MAGIC);
    out.u16(LIBCACHEVERSION);
    out.u64(cache.size);
    out.u64(static_cast<uint64_t>(cache.time));
    out.u32(cache.head.serial);
    out.u32(cache.head.capacity);
    out.u32(cache.head.dataoffset);
    out.u8(cache.indexing);
    out.u32(static_cast<uint32_t>(entries.size()));
    out.str(cache.library.c_str());
    out.str(cache.kind.c_str());
    for (const DLIB_INDEX_ENTRY* entry : entries) {
        out.str(entry->name);
        out.u32(entry->created);
        out.u8(entry->mode);
        out.u32(entry->length);
        out.u8(entry->classes);
        for (const char* text : { entry->category, entry->type, entry->subcategory, entry->manufacturer,
                 entry->stockcode, entry->description })
            out.str(text);
    }
    return std::move(out.bytes);
}

std::string libcachename(const char* folder, const char* library)
{
    uint64_t hash = 0xCBF29CE484222325ull;
    for (const char* p = library; *p; ++p)
        hash = (hash ^ static_cast<unsigned char>(*p)) * 0x100000001B3ull;
    char name[PATHBUFFER];
    char path[PATHBUFFER];
    int n = snprintf(
        name, sizeof name, "%s-%016llX.IDX", filename(library), static_cast<unsigned long long>(hash));
    if (n < 0 || n >= static_cast<int>(sizeof name))
        return {};
    addfilename(path, folder, name);
    return path;
}
