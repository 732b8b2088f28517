#include "simulator/kernel/modellibraryfile.h"

#include "core/windows/crashreport.h"
#include "core/windows/process.h"
#include "platform/win/boundedread.h"
#include "platform/win/pathboundary.h"
#include "simulator/kernel/modellibrarybytes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct OLDSIGNATURE {
    const char* old;
    const char* current;
};
constexpr OLDSIGNATURE oldsignatures[] = {
    { "BRIX_PKG_LIB\x1a", "PACKAGE LIBRARY\x1a" },
    { "BRIX_SYM_LIB\x1a", "SYMBOL LIBRARY\x1a" },
};

void padsignature(char out[DLIB_SIGNATURESIZE], const char* signature)
{
    std::memset(out, 0, DLIB_SIGNATURESIZE);
    std::memcpy(out, signature, strnlen(signature, DLIB_SIGNATURESIZE));
}

// The directory record size of a version.
int recordsize(int16_t version)
{
    if (version < 200)
        return 16;
    return version < 400 ? 32 : 80;
}

int64_t directorystart(const DLIBHEADER& header)
{
    return DLIB_HEADERSIZE + int64_t { DLIB_PREFIXSIZE } * header.prefixcapacity;
}

} // namespace

void mapoldsignature(char signature[DLIB_SIGNATURESIZE])
{
    for (const OLDSIGNATURE& mapping : oldsignatures) {
        char old[DLIB_SIGNATURESIZE];
        padsignature(old, mapping.old);
        if (std::memcmp(signature, old, DLIB_SIGNATURESIZE) == 0)
            padsignature(signature, mapping.current);
    }
}

void DLIB_INDEX_ENTRY::cleartexts()
{
    for (char*& text : texts) {
        std::free(text);
        text = nullptr;
    }
    size = 0;
}

DLIB::DLIB(int indexing, const char* cachefolder)
    : members(0, DIDX::KEEPALL)
    , indexing(indexing)
    , cachefolder(cachefolder)
{
}

DLIB::~DLIB()
{
    close();
}

int DLIB::acquire()
{
    if (handle >= 0)
        return handle;
    std::string posix = findexistingpath(path);
    std::string refused;
    int fd = posix.empty() ? -1 : openbounded(posix.c_str(), refused);
    if (fd >= 0)
        locksignature(fd, F_RDLCK);
    return fd;
}

void DLIB::release(int fd)
{
    if (fd < 0 || fd == handle)
        return;
    locksignature(fd, F_UNLCK);
    ::close(fd);
}

void DLIB::clearmembers()
{
    directory.clear();
    members.zap();
}

int DLIB::parse(const uint8_t* bytes, int64_t filesize)
{
    const uint8_t* h = bytes;
    std::memcpy(header.signature, h, DLIB_SIGNATURESIZE);
    header.version = getle16(h + 16);
    header.prefixcapacity = getle16(h + 18);
    header.directorycapacity = getle16(h + 20);
    header.prefixcount = getle16(h + 22);
    header.membercount = getle16(h + 24);
    header.kind = getle16(h + 26);
    std::memcpy(header.reserved, h + 28, sizeof header.reserved);
    mapoldsignature(header.signature);
    if (header.version > DLIB_VERSION)
        return DLIB_TOONEW;
    if (header.prefixcapacity < 0 || header.directorycapacity < 0 || header.prefixcount < 0
        || header.prefixcount > header.prefixcapacity || header.membercount < 0
        || header.membercount > header.directorycapacity
        || directorystart(header) + int64_t { recordsize(header.version) } * header.membercount > filesize)
        return DLIB_CORRUPTED;

    prefixes.clear();
    for (int i = 0; i < header.prefixcount; ++i) {
        const char* entry = reinterpret_cast<const char*>(bytes + DLIB_HEADERSIZE + DLIB_PREFIXSIZE * i);
        prefixes.emplace_back(entry, strnlen(entry, DLIB_PREFIXSIZE));
    }
    std::sort(prefixes.begin(), prefixes.end());

    clearmembers();
    members.grow(header.directorycapacity);
    directory.reserve(static_cast<size_t>(header.membercount));
    const int size = recordsize(header.version);
    const size_t namefield = size == 16 ? 12 : size == 32 ? 20 : DLIB_NAMESIZE;
    for (int i = 0; i < header.membercount; ++i) {
        const uint8_t* record = bytes + directorystart(header) + int64_t { size } * i;
        const auto* name = reinterpret_cast<const char*>(record);
        size_t length = std::min(strnlen(name, namefield), size_t { DLIB_NAMESIZE - 1 });
        if (length == 0)
            continue;
        auto* entry = new DLIB_INDEX_ENTRY;
        std::memcpy(entry->name, name, length);
        entry->name[length] = '\0';
        entry->offset = getle32(record + namefield);
        entry->stamp = size == 16 ? 0 : getle32(record + namefield + 4);
        entry->checksum = size == 16 ? 0 : static_cast<uint16_t>(getle16(record + namefield + 8));
        std::memset(entry->unused, 0, sizeof entry->unused);
        members.add(entry);
        directory.push_back(entry);
    }
    return 0;
}

int DLIB::open(const char* name, const char* signature, int exclusiveuse)
{
    close();
    if (!qualifyfilename(path, name))
        return 0;
    std::string posix = findexistingpath(path);
    if (posix.empty())
        return 0;
    exclusive = exclusiveuse;
    readonly = access(posix.c_str(), W_OK) != 0;
    // The bounded open refuses a pipe, a device or a file past its size limit; writing takes a
    // handle of its own.
    std::string refused;
    handle = openbounded(posix.c_str(), refused);
    if (handle >= 0 && exclusive && !readonly) {
        ::close(handle);
        handle = ::open(posix.c_str(), O_RDWR | O_CLOEXEC);
    }
    if (handle < 0)
        throwfatal(crashreport, DLIB_CANNOTOPEN, "Could not open library '%s'.", path);
    // Another process holding the signature is updating the library: only exclusive use refuses.
    if (!locksignature(handle, exclusive && !readonly ? F_WRLCK : F_RDLCK) && exclusive)
        throwfatal(crashreport, DLIB_CANNOTOPEN, "Could not open library '%s'.", path);

    struct stat status { };
    uint8_t head[DLIB_HEADERSIZE];
    if (fstat(handle, &status) != 0 || !readat(handle, head, sizeof head, 0))
        throwfatal(crashreport, DLIB_CORRUPTED, "File %s is corrupted or not a library", path);
    char wanted[DLIB_SIGNATURESIZE];
    padsignature(wanted, signature);
    char found[DLIB_SIGNATURESIZE];
    std::memcpy(found, head, DLIB_SIGNATURESIZE);
    mapoldsignature(found);
    if (std::memcmp(found, wanted, DLIB_SIGNATURESIZE) != 0)
        throwfatal(crashreport, DLIB_CORRUPTED, "File %s is corrupted or not a library", path);

    // Read as far as the header says the directory reaches; parse checks that against the size.
    DLIBHEADER reach {};
    reach.prefixcapacity = getle16(head + 18);
    int64_t end = directorystart(reach)
        + int64_t { recordsize(getle16(head + 16)) } * std::max<int16_t>(getle16(head + 24), 0);
    std::vector<uint8_t> bytes(
        static_cast<size_t>(std::clamp<int64_t>(end, DLIB_HEADERSIZE, status.st_size)));
    int problem = readat(handle, bytes.data(), bytes.size(), 0)
        ? parse(bytes.data(), static_cast<int64_t>(bytes.size()))
        : DLIB_CORRUPTED;
    if (problem == DLIB_TOONEW)
        throwfatal(crashreport, DLIB_TOONEW, "Library %s has newer version than library manager", path);
    if (problem)
        throwfatal(crashreport, DLIB_CORRUPTED, "File %s is corrupted or not a library", path);
    if (header.version < DLIB_WRITABLEVERSION)
        readonly = 1;
    prefixwidth = header.version < DLIB_WRITABLEVERSION ? 2 : 4;
    opened = 1;
    if (indexing)
        loadindex();
    if (!exclusive) {
        locksignature(handle, F_UNLCK);
        ::close(handle);
        handle = -1;
    }
    return 1;
}

void DLIB::close()
{
    if (opened && indexing && dirty)
        writecache();
    if (handle >= 0) {
        locksignature(handle, F_UNLCK);
        ::close(handle);
        handle = -1;
    }
    clearmembers();
    prefixes.clear();
    opened = 0;
    dirty = 0;
}

void DLIB::memberkey(const char* name, char* key) const
{
    const char* rest = name;
    if (!exclusive) {
        size_t longest = 0;
        for (const std::string& prefix : prefixes) {
            if (prefix.size() > longest && std::strncmp(name, prefix.c_str(), prefix.size()) == 0)
                longest = prefix.size();
        }
        if (name[longest] != '\0')
            rest = name + longest;
    }
    size_t length = strnlen(rest, DLIB_NAMESIZE - 1);
    std::memcpy(key, rest, length);
    key[length] = '\0';
}

DLIB_INDEX_ENTRY* DLIB::find(const char* name) const
{
    char key[DLIB_NAMESIZE];
    memberkey(name, key);
    return members[key];
}

char* DLIB::readmember(const DLIB_INDEX_ENTRY& entry)
{
    int fd = acquire();
    if (fd < 0)
        return nullptr;
    char* block = nullptr;
    struct stat status { };
    uint8_t prefix[4];
    if (entry.offset >= 0 && fstat(fd, &status) == 0
        && entry.offset + int64_t { prefixwidth } <= status.st_size
        && readat(fd, prefix, static_cast<size_t>(prefixwidth), entry.offset)) {
        int64_t length
            = prefixwidth == 2 ? int64_t { static_cast<uint16_t>(getle16(prefix)) } : getle32(prefix);
        std::vector<uint8_t> data;
        if (length >= prefixwidth && entry.offset + length <= status.st_size) {
            data.resize(static_cast<size_t>(length));
            if (!readat(fd, data.data(), data.size(), entry.offset))
                data.clear();
        }
        if (!data.empty() && (entry.checksum == 0 || bytesum(data.data(), data.size()) == entry.checksum)) {
            size_t contents = data.size() - static_cast<size_t>(prefixwidth);
            block = static_cast<char*>(std::malloc(4 + contents + 1));
            if (!block)
                onnomemory(4 + contents + 1);
            putle32(reinterpret_cast<uint8_t*>(block), static_cast<int32_t>(4 + contents));
            std::memcpy(block + 4, data.data() + prefixwidth, contents);
            block[4 + contents] = '\0';
        }
    }
    release(fd);
    return block;
}
