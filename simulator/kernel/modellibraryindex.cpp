#include "simulator/kernel/modellibraryfile.h"

#include "core/text/proptext.h"
#include "platform/win/boundedread.h"
#include "platform/win/pathboundary.h"
#include "simulator/kernel/modellibrarybytes.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

// The index cache of a library, kept when indexing is on (the simulator runs without):
//
//   head      char[32] the library's signature with its last character replaced by " INDEX\x1a"
//             (NUL-terminated), int32 version 102, int32 member count
//   members   in directory order: int32 stamp, the texts CAT, TYPE, SUBCAT, MFR, CODE and DESC
//             each as characters and a 0 byte (empty: absent), int32 the member's block length
//   end       int32 0x12345678

namespace {

constexpr int32_t CACHEVERSION = 102;
constexpr int32_t CACHEEND = 0x12345678;
constexpr int CACHEHEADSIZE = 40;
constexpr size_t CACHEFOLDERMAX = 260;
constexpr const char* TEXTNAMES[DLIB_TEXTS] = { "CAT", "TYPE", "SUBCAT", "MFR", "CODE", "DESC" };

// The table of the path checksum: linear over the bits of the index, so that it is fixed by the
// words of the single bits (the first two as the cache files of other programs name them).
constexpr std::array<uint32_t, 256> checksumtable()
{
    constexpr uint32_t bits[8]
        = { 0x9EEE75D5, 0x7CA54BA9, 0x3C6EF372, 0xA54FF53A, 0x510E527F, 0x9B05688C, 0x1F83D9AB, 0x5BE0CD19 };
    std::array<uint32_t, 256> table {};
    for (unsigned i = 0; i < 256; ++i) {
        for (unsigned bit = 0; bit < 8; ++bit) {
            if (i & (1u << bit))
                table[i] ^= bits[bit];
        }
    }
    return table;
}
constexpr std::array<uint32_t, 256> CHECKSUMTABLE = checksumtable();
static_assert(CHECKSUMTABLE[3] == 0xE24B3E7C);

// The head's text: the signature with its last character replaced by " INDEX\x1a".
void cachehead(char out[32], const char* signature)
{
    std::memset(out, 0, 32);
    size_t length = strnlen(signature, DLIB_SIGNATURESIZE);
    if (length > 0)
        --length;
    std::memcpy(out, signature, length);
    std::memcpy(out + length, " INDEX\x1a", 7);
}

} // namespace

uint32_t pathchecksum(const char* path)
{
    uint32_t c = 0;
    for (const auto* p = reinterpret_cast<const unsigned char*>(path); *p && *p < 0x80; ++p)
        c = (c >> 24) ^ CHECKSUMTABLE[(c ^ *p) & 0xFF];
    return c;
}

void indexcachename(char* out, const char* librarypath, const char* cachefolder)
{
    if (!cachefolder || !*cachefolder) {
        addext(out, librarypath, "IDX");
        return;
    }
    // A cut name could be another library's cache: a name that does not fit gives no cache at all.
    *out = 0;
    if (std::strlen(cachefolder) > CACHEFOLDERMAX)
        return;
    int length = snprintf(out, PATHBUFFER, "%s\\%08lX#%s", cachefolder,
        static_cast<unsigned long>(pathchecksum(librarypath)), filename(librarypath));
    if (length < 0 || length >= static_cast<int>(PATHBUFFER)) {
        *out = 0;
        return;
    }
    addext(out, out, "IDX");
}

void DLIB::indexmember(DLIB_INDEX_ENTRY& entry)
{
    entry.cleartexts();
    if (entry.name[0] == '[')
        return;
    char* block = readmember(entry);
    if (!block)
        return;
    int32_t length = 0;
    std::memcpy(&length, block, sizeof length);
    entry.size = length;
    PROPTEXT text(block + 4);
    std::free(block);
    for (int i = 0; i < DLIB_TEXTS; ++i) {
        const char* value = text.get("INDEX", TEXTNAMES[i]);
        if (!value)
            continue;
        while (*value == ' ' || *value == '\t')
            ++value;
        size_t n = std::strlen(value);
        while (n > 0 && (value[n - 1] == ' ' || value[n - 1] == '\t' || value[n - 1] == '\r'))
            --n;
        if (n > 0)
            entry.texts[i] = strndup(value, n);
    }
    if (!entry.texts[DLIB_CAT]) {
        // Members without a category are listed under their library.
        char stem[PATHBUFFER];
        std::free(entry.texts[DLIB_TYPE]);
        entry.texts[DLIB_TYPE] = strdup(filestem(stem, path));
    }
}

bool DLIB::readcache(int& reindexed)
{
    char name[PATHBUFFER];
    indexcachename(name, path, cachefolder);
    if (!*name)
        return false;
    std::string posix = findexistingpath(name);
    std::string refused;
    int fd = posix.empty() ? -1 : openbounded(posix.c_str(), refused);
    if (fd < 0)
        return false;
    std::vector<uint8_t> bytes;
    bool read = readwhole(fd, bytes);
    ::close(fd);
    char head[32];
    cachehead(head, header.signature);
    if (!read || bytes.size() <= 43 || std::memcmp(bytes.data(), head, 32) != 0
        || getle32(bytes.data() + 32) != CACHEVERSION
        || getle32(bytes.data() + 36) != static_cast<int32_t>(directory.size())
        || getle32(bytes.data() + bytes.size() - 4) != CACHEEND)
        return false;

    // Every record must read before any member takes its texts.
    struct RECORD {
        int32_t stamp;
        const char* texts[DLIB_TEXTS];
        int32_t size;
    };
    std::vector<RECORD> records(directory.size());
    size_t at = CACHEHEADSIZE;
    for (RECORD& record : records) {
        if (at + 4 > bytes.size())
            return false;
        record.stamp = getle32(bytes.data() + at);
        at += 4;
        for (const char*& text : record.texts) {
            const void* nul
                = at < bytes.size() ? std::memchr(bytes.data() + at, 0, bytes.size() - at) : nullptr;
            if (!nul)
                return false;
            text = reinterpret_cast<const char*>(bytes.data() + at);
            at = static_cast<size_t>(static_cast<const uint8_t*>(nul) - bytes.data()) + 1;
        }
        if (at + 4 > bytes.size())
            return false;
        record.size = getle32(bytes.data() + at);
        at += 4;
    }
    if (at + 4 > bytes.size() || getle32(bytes.data() + at) != CACHEEND)
        return false;

    reindexed = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        DLIB_INDEX_ENTRY& entry = *directory[i];
        if (records[i].stamp != entry.stamp) {
            indexmember(entry);
            ++reindexed;
            continue;
        }
        entry.cleartexts();
        for (int t = 0; t < DLIB_TEXTS; ++t)
            entry.texts[t] = *records[i].texts[t] ? strdup(records[i].texts[t]) : nullptr;
        entry.size = records[i].size;
    }
    return true;
}

void DLIB::writecache()
{
    std::vector<uint8_t> bytes(CACHEHEADSIZE);
    char head[32];
    cachehead(head, header.signature);
    std::memcpy(bytes.data(), head, 32);
    putle32(bytes.data() + 32, CACHEVERSION);
    putle32(bytes.data() + 36, static_cast<int32_t>(directory.size()));
    for (const DLIB_INDEX_ENTRY* entry : directory) {
        appendle32(bytes, entry->stamp);
        for (const char* text : entry->texts) {
            if (text)
                bytes.insert(bytes.end(), text, text + std::strlen(text));
            bytes.push_back(0);
        }
        appendle32(bytes, entry->size);
    }
    appendle32(bytes, CACHEEND);
    char name[PATHBUFFER];
    indexcachename(name, path, cachefolder);
    if (!*name)
        return;
    if (replacefile(pathforwriting(name), bytes))
        dirty = 0;
}

void DLIB::loadindex()
{
    int reindexed = 0;
    if (readcache(reindexed)) {
        if (reindexed > 0)
            writecache();
        return;
    }
    for (DLIB_INDEX_ENTRY* entry : directory)
        indexmember(*entry);
    writecache();
}
