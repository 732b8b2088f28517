#include "platform/lunder/dlib.h"

#include "core/containers/didx.h"
#include "core/containers/dpkb.h"
#include "core/files/folders.h"
#include "core/files/littleendian.h"
#include "core/text/alnum.h"
#include "core/text/proptext.h"
#include "platform/lunder/libcache.h"
#include "platform/lunder/libcounter.h"
#include "platform/lunder/libfile.h"
#include "platform/win/boundedread.h"
#include "platform/win/pathboundary.h"
#include "platform/win/replacefile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* KEYWORDNAMES[6] = { "CAT", "TYPE", "SUBCAT", "MFR", "CODE", "DESC" };

int64_t modified(const struct stat& st)
{
    return int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

bool writable(const std::string& posix, const struct stat& st)
{
    if (!(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) || access(posix.c_str(), W_OK) != 0)
        return false;
    std::string folder = std::filesystem::path(posix).parent_path().string();
    return access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
}

// The whole of the file at posix (a regular file within the bounds of boundedread.h).
bool readfile(const std::string& posix, std::vector<uint8_t>& bytes, std::string& why)
{
    int fd = openbounded(posix.c_str(), why);
    if (fd < 0)
        return false;
    struct stat st { };
    bool whole = fstat(fd, &st) == 0;
    if (whole) {
        bytes.resize(static_cast<size_t>(st.st_size));
        whole = readat(fd, bytes.data(), bytes.size(), 0);
    }
    if (!whole)
        why = std::strerror(errno ? errno : EIO);
    close(fd);
    return whole;
}

// The property text of an indexed library's record (dlib.h), checked against its length.
bool recordtext(const uint8_t* record, uint32_t length, uint8_t mode, PROPTEXT& text)
{
    if (mode != 1 || length < 8)
        return false;
    uint32_t at = readle32(record + 4);
    if (at > length - 4)
        return false;
    const uint8_t* word = record + at;
    uint32_t size = readle32(word);
    if (size == 0 || size > length - at - 4)
        return false;
    const char* body = reinterpret_cast<const char*>(word + 4);
    text.settext(std::string(body, strnlen(body, size)).c_str());
    return true;
}

// Holds the exclusive lock of a library's folder for one rewrite of the library. The folder
// stays while the files in it are replaced by renaming, so every writer locks the same thing.
class LIBLOCK {
public:
    explicit LIBLOCK(const std::string& posix)
    {
        std::string folder = std::filesystem::path(posix).parent_path().string();
        fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0 && flock(fd, LOCK_EX) != 0) {
            close(fd);
            fd = -1;
        }
    }
    LIBLOCK(const LIBLOCK&) = delete;
    LIBLOCK& operator=(const LIBLOCK&) = delete;
    ~LIBLOCK()
    {
        if (fd >= 0)
            close(fd);
    }

    int fd = -1;
};

} // namespace

DLIB_INDEX_ENTRY::DLIB_INDEX_ENTRY(const char* n, const DPKB& data)
    : created(static_cast<uint32_t>(std::time(nullptr)))
    , mode(data.mode == DPKB_WORD16 ? 0 : 1)
    , length(static_cast<uint32_t>(data.putptr - data.base))
{
    std::strncpy(name, n ? n : "", LIBNAMESIZE - 1);
}

void DLIB_INDEX_ENTRY::setkeywords(const char* const texts[6])
{
    size_t lengths[6];
    size_t total = 0;
    for (int i = 0; i < 6; ++i) {
        lengths[i] = texts[i] ? strnlen(texts[i], LIBKEYWORDMAX) : 0;
        total += lengths[i] ? lengths[i] + 1 : 0;
    }
    keywords.reset(total ? new char[total] : nullptr);
    char** fields[6] = { &category, &type, &subcategory, &manufacturer, &stockcode, &description };
    char* p = keywords.get();
    for (int i = 0; i < 6; ++i) {
        *fields[i] = nullptr;
        if (!lengths[i])
            continue;
        std::memcpy(p, texts[i], lengths[i]);
        p[lengths[i]] = 0;
        *fields[i] = p;
        p += lengths[i] + 1;
    }
}

DLIB::DLIB(const char* p, int index, LIBCLASSIFY classifier)
    : indexing(index)
    , classify(classifier)
{
    std::strncpy(path, p ? p : "", PATHBUFFER - 1);
    filestem(name, path);
}

DLIB::~DLIB()
{
    clear();
}

void DLIB::clear()
{
    for (DLIB_INDEX_ENTRY* entry : entries)
        delete entry;
    entries.clear();
    libkind.clear();
    filesize = -1;
}

DLIB_INDEX_ENTRY* DLIB::entry(int i) const
{
    return i >= 0 && i < count() ? entries[i] : nullptr;
}

DLIB_INDEX_ENTRY* DLIB::entry(const char* n) const
{
    if (!n)
        return nullptr;
    auto at = std::lower_bound(entries.begin(), entries.end(), n,
        [](const DLIB_INDEX_ENTRY* e, const char* key) { return alnumicmp(e->name, key) < 0; });
    return at != entries.end() && alnumicmp((*at)->name, n) == 0 ? *at : nullptr;
}

int DLIB::open(const char* kind, const char* cache, std::string& error)
{
    clear();
    cachefile = cache ? cache : "";
    std::string posix = findexistingpath(path);
    struct stat st { };
    if (posix.empty() || stat(posix.c_str(), &st) != 0) {
        error = "Library '" + std::string(path) + "' cannot be found.";
        return FAILED;
    }
    readonly = writable(posix, st) ? 0 : 1;
    if (int result = readcache(kind, st.st_size, modified(st)))
        return result;
    std::string why;
    int fd = openbounded(posix.c_str(), why);
    if (fd < 0) {
        error = "Library '" + std::string(path) + "' cannot be opened: " + why + ".";
        return FAILED;
    }
    int result = readindex(fd, kind, error);
    close(fd);
    if (result == OPENED)
        writecache();
    return result;
}

bool DLIB::changed() const
{
    std::string posix = findexistingpath(path);
    struct stat st { };
    return posix.empty() || stat(posix.c_str(), &st) != 0 || st.st_size != filesize
        || modified(st) != filetime;
}

int DLIB::readindex(int fd, const char* wanted, std::string& error)
{
    struct stat st { };
    uint8_t start[LIBHEADSIZE];
    size_t first = 0;
    if (fstat(fd, &st) == 0) {
        first = std::min<size_t>(LIBHEADSIZE, static_cast<size_t>(st.st_size));
        if (!readat(fd, start, first, 0))
            return unreadable(error);
    }
    uint64_t size = static_cast<uint64_t>(st.st_size);
    LIBFILEHEAD head;
    if (!readlibhead(start, first, size, path, head, error))
        return FAILED;
    std::vector<uint8_t> bytes(head.dataoffset);
    std::string kind;
    LIBENTRIES parsed;
    if (!readat(fd, bytes.data(), bytes.size(), 0))
        return unreadable(error);
    if (!readlibindex(bytes.data(), head, size, path, kind, parsed, error))
        return FAILED;
    if (wanted && strcasecmp(kind.c_str(), wanted) != 0) {
        clear();
        return OTHERKIND;
    }
    std::vector<uint8_t> data;
    if (indexing) {
        data.resize(size - head.dataoffset);
        if (!readat(fd, data.data(), data.size(), head.dataoffset))
            return unreadable(error);
    }
    takeindex(kind, head, st.st_size, modified(st), parsed, indexing ? data.data() : nullptr, nullptr);
    return OPENED;
}

int DLIB::unreadable(std::string& error) const
{
    error = "Library '" + std::string(path) + "' cannot be read: " + std::strerror(errno ? errno : EIO) + ".";
    return FAILED;
}

void DLIB::takeindex(const std::string& kind, const LIBFILEHEAD& head, int64_t size, int64_t time,
    LIBENTRIES& parsed, const uint8_t* data, const char* renewed)
{
    libkind = kind;
    serial = head.serial;
    libcapacity = head.capacity;
    dataoffset = head.dataoffset;
    filesize = size;
    filetime = time;
    std::vector<DLIB_INDEX_ENTRY*> fresh;
    for (auto& entry : parsed)
        fresh.push_back(entry.release());
    takeentries(std::move(fresh), data, renewed);
}

void DLIB::takeentries(std::vector<DLIB_INDEX_ENTRY*>&& fresh, const uint8_t* data, const char* renewed)
{
    PROPTEXT text;
    for (DLIB_INDEX_ENTRY* entry : fresh) {
        const DLIB_INDEX_ENTRY* old
            = renewed && alnumicmp(renewed, entry->name) == 0 ? nullptr : this->entry(entry->name);
        if (old && old->created == entry->created && old->length == entry->length
            && old->mode == entry->mode) {
            const char* texts[6] = { old->category, old->type, old->subcategory, old->manufacturer,
                old->stockcode, old->description };
            entry->setkeywords(texts);
            entry->classes = old->classes;
        } else if (data) {
            indexentry(*entry, data + (entry->offset - dataoffset), text);
        }
    }
    for (DLIB_INDEX_ENTRY* entry : entries)
        delete entry;
    entries = std::move(fresh);
}

void DLIB::indexentry(DLIB_INDEX_ENTRY& entry, const uint8_t* record, PROPTEXT& text) const
{
    if (entry.name[0] == '[' || !checkrecord(record, entry.length, entry.mode)
        || !recordtext(record, entry.length, entry.mode, text))
        return;
    fillkeywords(entry, text);
}

void DLIB::fillkeywords(DLIB_INDEX_ENTRY& entry, const PROPTEXT& text) const
{
    // One pass over the block INDEX; the first of a name counts, as for PROPTEXT::get.
    GDIDX<PROPITEM> items(16, DIDX::KEEPOLD, strcasecmp);
    parseprops(text.text, "INDEX", items);
    const char* texts[6] = {};
    for (int i = 0; i < 6; ++i) {
        const PROPITEM* item = items[KEYWORDNAMES[i]];
        texts[i] = item ? item->value : nullptr;
    }
    entry.setkeywords(texts);
    items.zap();
    entry.classes
        = classify ? static_cast<uint8_t>(classify(text) & (LIBCLASS_MODEL | LIBCLASS_PACKAGING)) : 0;
}

int DLIB::index_keywords(DLIB_INDEX_ENTRY& entry, const DPKB& data, PROPTEXT& text) const
{
    auto length = static_cast<uint32_t>(data.putptr - data.base);
    if (!recordtext(data.base, length, data.mode == DPKB_WORD16 ? 0 : 1, text))
        return 0;
    fillkeywords(entry, text);
    return 1;
}

int DLIB::readcache(const char* wanted, int64_t size, int64_t time)
{
    if (cachefile.empty())
        return 0;
    std::vector<uint8_t> bytes;
    std::string why;
    LIBCACHE cache;
    if (!readfile(findexistingpath(cachefile.c_str()), bytes, why)
        || !readlibcache(bytes.data(), bytes.size(), cachefile.c_str(), cache, why) || cache.library != path
        || cache.size != static_cast<uint64_t>(size) || cache.time != time)
        return 0;
    if (wanted && strcasecmp(cache.kind.c_str(), wanted) != 0)
        return OTHERKIND;
    if (cache.indexing != (indexing ? 1 : 0))
        return 0;
    takeindex(cache.kind, cache.head, size, time, cache.entries, nullptr, nullptr);
    return OPENED;
}

void DLIB::writecache() const
{
    if (cachefile.empty())
        return;
    LIBCACHE cache;
    cache.library = path;
    cache.size = static_cast<uint64_t>(filesize);
    cache.time = filetime;
    cache.head.serial = serial;
    cache.head.capacity = libcapacity;
    cache.head.dataoffset = dataoffset;
    cache.indexing = indexing ? 1 : 0;
    cache.kind = libkind;
    std::vector<uint8_t> bytes = writelibcache(cache, entries);
    char folder[PATHBUFFER];
    mkpath(pathtrim(folder, cachefile.c_str()));
    // A cache that cannot be written is indexed again next time; the library is not affected.
    replacecopywith(pathforwriting(cachefile.c_str()), bytes.data(), bytes.size());
}

DPKB* DLIB::read(const char* n, uint32_t& created, std::string& error)
{
    std::string posix = findexistingpath(path);
    std::string why;
    int fd = posix.empty() ? -1 : openbounded(posix.c_str(), why);
    if (fd < 0) {
        error
            = "Library '" + std::string(path) + "' cannot be opened" + (why.empty() ? "" : ": " + why) + ".";
        return nullptr;
    }
    struct stat st { };
    if (fstat(fd, &st) == 0 && (st.st_size != filesize || modified(st) != filetime)) {
        std::string kind = libkind;
        if (readindex(fd, kind.c_str(), error) != OPENED) {
            if (error.empty())
                error = "Library '" + std::string(path) + "' is no longer a " + kind + ".";
            close(fd);
            return nullptr;
        }
        writecache();
    }
    const DLIB_INDEX_ENTRY* found = entry(n);
    void* record = found ? std::malloc(found->length) : nullptr;
    bool whole = record && readat(fd, record, found->length, found->offset);
    close(fd);
    if (!found) {
        error = "Library '" + std::string(path) + "' holds no entry '" + std::string(n ? n : "") + "'.";
        return nullptr;
    }
    if (!whole || !checkrecord(static_cast<const uint8_t*>(record), found->length, found->mode)) {
        std::free(record);
        error = whole ? "Library '" + std::string(path) + "' is damaged: the data of entry '" + found->name
                + "' do not agree with its directory."
                      : "Library '" + std::string(path) + "' cannot be read.";
        return nullptr;
    }
    created = found->created;
    return new DPKB(record, found->mode ? DPKB_WORD32 : DPKB_WORD16);
}

void DLIB::add(const char* n, DPKB& data)
{
    const std::string library(path);
    if (readonly)
        throw LIBERROR("Library '" + library + "' is read only.");
    size_t namelength = n ? std::strlen(n) : 0;
    if (namelength == 0 || namelength >= LIBNAMESIZE)
        throw LIBERROR("'" + std::string(n ? n : "") + "' cannot be stored in library '" + library
            + "': a name holds 1 to " + std::to_string(LIBNAMESIZE - 1) + " characters.");
    auto length = static_cast<uint32_t>(data.putptr - data.base);
    uint8_t mode = data.mode == DPKB_WORD16 ? 0 : 1;
    if (!storablerecord(length, mode))
        throw LIBERROR("'" + std::string(n) + "' cannot be stored in library '" + library + "': its data are "
            + (length < data.wordsize() ? "empty." : "too long for their packing."));
    for (unsigned i = 0; i < data.wordsize(); ++i)
        data.base[i] = static_cast<unsigned char>(length >> (8 * i));

    std::string posix = findexistingpath(path);
    LIBLOCK lock(posix);
    std::vector<uint8_t> old;
    std::string why;
    if (lock.fd < 0)
        throw LIBERROR(
            "Library '" + library + "' cannot be locked for writing: " + std::strerror(errno) + ".");
    if (!readfile(posix, old, why))
        throw LIBERROR("Library '" + library + "' cannot be read: " + why + ".");
    LIBFILEHEAD head;
    std::string kind;
    LIBENTRIES parsed;
    std::string error;
    if (!readlibhead(old.data(), old.size(), old.size(), path, head, error)
        || !readlibindex(old.data(), head, old.size(), path, kind, parsed, error))
        throw LIBERROR(error + " Nothing was written.");

    std::vector<LIBFILEENTRY> list;
    for (const auto& entry : parsed) {
        if (alnumicmp(entry->name, n) != 0)
            list.push_back(
                { entry->name, entry->created, entry->mode, old.data() + entry->offset, entry->length });
    }
    if (list.size() >= head.capacity)
        throw LIBERROR(
            "Library '" + library + "' is full: it holds " + std::to_string(list.size()) + " entries.");
    LIBFILEENTRY added { n, static_cast<uint32_t>(std::time(nullptr)), mode, data.base, length };
    auto at = std::lower_bound(list.begin(), list.end(), n,
        [](const LIBFILEENTRY& e, const char* key) { return alnumicmp(e.name, key) < 0; });
    list.insert(at, added);
    std::vector<uint8_t> bytes = writelibfile(kind.c_str(), head.capacity, head.serial + 1, list);
    if (bytes.size() > static_cast<size_t>(BOUNDEDFILELIMIT))
        throw LIBERROR("Library '" + library + "' would grow past " + std::to_string(BOUNDEDFILELIMIT >> 20)
            + " MB; nothing was written.");
    if (!replacefilewith(posix, bytes.data(), bytes.size()))
        throw LIBERROR("Library '" + library + "' could not be written: " + std::strerror(errno) + ".");

    parsed.clear();
    readlibhead(bytes.data(), bytes.size(), bytes.size(), path, head, error);
    readlibindex(bytes.data(), head, bytes.size(), path, kind, parsed, error);
    struct stat st { };
    const bool stated = stat(posix.c_str(), &st) == 0;
    takeindex(kind, head, stated ? st.st_size : -1, stated ? modified(st) : 0, parsed,
        indexing ? bytes.data() + head.dataoffset : nullptr, n);
    writecache();
    raiselibcounter();
}

bool DLIB::create(const char* p, const char* kind, uint32_t capacity, std::string& error)
{
    size_t kindlength = kind ? std::strlen(kind) : 0;
    if (kindlength == 0 || kindlength > LIBKINDMAX || capacity == 0 || capacity > LIBMAXCAPACITY) {
        error = "Library '" + std::string(p) + "' cannot be made: its kind holds 1 to "
            + std::to_string(LIBKINDMAX) + " characters and its capacity is 1 to "
            + std::to_string(LIBMAXCAPACITY) + ".";
        return false;
    }
    std::string posix = pathforwriting(p);
    if (access(posix.c_str(), F_OK) == 0) {
        error = "Library '" + std::string(p) + "' exists already.";
        return false;
    }
    std::vector<uint8_t> bytes = writelibfile(kind, capacity, 1, {});
    if (!replacefilewith(posix, bytes.data(), bytes.size())) {
        error = "Library '" + std::string(p) + "' cannot be written: " + std::strerror(errno) + ".";
        return false;
    }
    return true;
}
