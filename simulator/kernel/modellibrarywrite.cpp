#include "simulator/kernel/modellibraryfile.h"

#include "core/windows/crashreport.h"
#include "platform/win/pathboundary.h"
#include "simulator/kernel/modellibrarybytes.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <unistd.h>

namespace {

constexpr int RECORDSIZE = 80;

void putheader(uint8_t* p, const DLIBHEADER& header)
{
    std::memcpy(p, header.signature, DLIB_SIGNATURESIZE);
    putle16(p + 16, header.version);
    putle16(p + 18, header.prefixcapacity);
    putle16(p + 20, header.directorycapacity);
    putle16(p + 22, header.prefixcount);
    putle16(p + 24, header.membercount);
    putle16(p + 26, header.kind);
    std::memcpy(p + 28, header.reserved, sizeof header.reserved);
}

} // namespace

int DLIB::create(const char* name, const char* signature, int16_t kind)
{
    char full[PATHBUFFER];
    if (!qualifyfilename(full, name))
        return 0;
    DLIBHEADER header {};
    std::memcpy(header.signature, signature, strnlen(signature, DLIB_SIGNATURESIZE));
    header.version = DLIB_VERSION;
    header.directorycapacity = DLIB_DIRECTORYGROWTH;
    header.kind = kind;
    std::vector<uint8_t> bytes(DLIB_HEADERSIZE + RECORDSIZE * DLIB_DIRECTORYGROWTH);
    putheader(bytes.data(), header);
    return replacefile(pathforwriting(full), bytes) ? 1 : 0;
}

int DLIB::putmember(const char* name, const void* data, int32_t size)
{
    if (!opened || readonly || size < 0)
        return 0;
    char key[DLIB_NAMESIZE];
    memberkey(name, key);
    if (!*key)
        return 0;
    std::string posix = findexistingpath(path);
    int fd = posix.empty() ? -1 : ::open(posix.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return 0;
    // Another process may have written the library since it was read: start from the file.
    std::vector<uint8_t> file;
    bool written = locksignature(fd, F_WRLCK) && readwhole(fd, file) && file.size() >= DLIB_HEADERSIZE
        && parse(file.data(), static_cast<int64_t>(file.size())) == 0
        && header.version >= DLIB_WRITABLEVERSION;

    DLIB_INDEX_ENTRY* entry = written ? members[key] : nullptr;
    bool added = written && !entry;
    int32_t stamp = 0;
    for (const DLIB_INDEX_ENTRY* member : directory)
        stamp = std::max(stamp, member->stamp);
    int64_t count = static_cast<int64_t>(directory.size()) + (added ? 1 : 0);
    int64_t capacity = header.directorycapacity;
    while (capacity < count)
        capacity += DLIB_DIRECTORYGROWTH;
    written = written && capacity <= INT16_MAX;
    if (added && written) {
        entry = new DLIB_INDEX_ENTRY;
        std::strcpy(entry->name, key);
        std::memset(entry->unused, 0, sizeof entry->unused);
        members.add(entry);
        directory.push_back(entry);
    }

    if (written) {
        // Raised to the newest version, the directory takes 80-byte records: the blocks that lie
        // where it will be are copied to the end, and every record of a block follows it.
        const int64_t start = DLIB_HEADERSIZE + int64_t { DLIB_PREFIXSIZE } * header.prefixcapacity;
        const int64_t end = start + RECORDSIZE * capacity;
        const std::vector<uint8_t> original = file;
        if (static_cast<int64_t>(file.size()) < end)
            file.resize(static_cast<size_t>(end));
        std::map<int32_t, int32_t> moved;
        for (DLIB_INDEX_ENTRY* member : directory) {
            if (member == entry || member->offset < 0 || member->offset >= end)
                continue;
            auto done = moved.find(member->offset);
            if (done == moved.end()) {
                int64_t length = member->offset + 4 <= static_cast<int64_t>(original.size())
                    ? getle32(original.data() + member->offset)
                    : -1;
                if (length < 4 || member->offset + length > static_cast<int64_t>(original.size()))
                    continue;
                int32_t target = static_cast<int32_t>(file.size());
                file.insert(file.end(), original.begin() + member->offset,
                    original.begin() + member->offset + length);
                done = moved.emplace(member->offset, target).first;
            }
            member->offset = done->second;
        }

        entry->offset = static_cast<int32_t>(file.size());
        appendle32(file, 4 + size);
        file.insert(file.end(), static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
        entry->checksum = bytesum(file.data() + entry->offset, 4 + static_cast<size_t>(size));
        // A stamp only has to differ from the last one: past the largest it wraps.
        entry->stamp = static_cast<int32_t>(static_cast<uint32_t>(stamp) + 1u);
        entry->cleartexts();

        header.version = DLIB_VERSION;
        header.directorycapacity = static_cast<int16_t>(capacity);
        header.membercount = static_cast<int16_t>(directory.size());
        std::fill(file.begin() + DLIB_HEADERSIZE, file.begin() + end, 0);
        for (size_t i = 0; i < prefixes.size(); ++i)
            std::memcpy(
                file.data() + DLIB_HEADERSIZE + DLIB_PREFIXSIZE * i, prefixes[i].data(), prefixes[i].size());
        for (size_t i = 0; i < directory.size(); ++i) {
            uint8_t* record = file.data() + start + RECORDSIZE * static_cast<int64_t>(i);
            std::memcpy(record, directory[i]->name, strnlen(directory[i]->name, DLIB_NAMESIZE));
            putle32(record + 64, directory[i]->offset);
            putle32(record + 68, directory[i]->stamp);
            putle16(record + 72, directory[i]->checksum);
        }
        putheader(file.data(), header);
        written = file.size() <= INT32_MAX && replacefile(posix, file);
    }
    locksignature(fd, F_UNLCK);
    ::close(fd);
    if (!written) {
        // The file is unchanged; so is what was read of it before.
        std::vector<uint8_t> again;
        int reread = posix.empty() ? -1 : ::open(posix.c_str(), O_RDONLY | O_CLOEXEC);
        if (reread >= 0 && readwhole(reread, again) && again.size() >= DLIB_HEADERSIZE)
            parse(again.data(), static_cast<int64_t>(again.size()));
        if (reread >= 0)
            ::close(reread);
        return 0;
    }
    prefixwidth = 4;
    dirty = 1;
    if (indexing)
        indexmember(*entry);
    if (exclusive && handle >= 0) {
        // The kept handle still holds the replaced file.
        locksignature(handle, F_UNLCK);
        ::close(handle);
        handle = ::open(posix.c_str(), O_RDWR | O_CLOEXEC);
        if (handle >= 0)
            locksignature(handle, F_WRLCK);
    }
    return 1;
}
