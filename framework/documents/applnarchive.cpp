#include "framework/documents/applnarchive.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "platform/win/dostime.h"
#include "platform/win/pathboundary.h"
#include "platform/win/replacefile.h"
#include "platform/win/sharemodes.h"

namespace {

constexpr int copyBlock = 65536;
constexpr unsigned errorFlag = 0x80;

// Gives the disk file the DOS date-time (local time) as its access and modification times.
bool setfiletime(FILE* file, uint32_t datetime)
{
    time_t seconds;
    if (!unixtimeof(datetime, &seconds))
        return false;
    const timespec times[2] = { { seconds, 0 }, { seconds, 0 } };
    return ::futimens(::fileno(file), times) == 0;
}

} // namespace

APPLNARCHIVEFILE::APPLNARCHIVEFILE(const char* name)
{
    std::snprintf(key, sizeof key, "%s", name ? name : "");
}

APPLNARCHIVE::APPLNARCHIVE() = default;

APPLNARCHIVE::APPLNARCHIVE(const APPLNARCHIVE& other)
{
    *this = other;
}

APPLNARCHIVE& APPLNARCHIVE::operator=(const APPLNARCHIVE& other)
{
    if (this == &other)
        return *this;
    zap();
    for (const FILEINFO* entry : other.index) {
        auto* copy = new FILEINFO(entry->key);
        if (entry->file.length)
            copy->file.write(entry->file.buffer, entry->file.length);
        copy->file.rewind();
        copy->datetime = entry->datetime;
        index.add(copy);
    }
    return *this;
}

APPLNARCHIVE::~APPLNARCHIVE()
{
    index.zap();
}

void APPLNARCHIVE::zap()
{
    index.zap();
}

APPLNARCHIVE::FILEINFO* APPLNARCHIVE::getfileinfo(const char* folder, const char* name, int create)
{
    char key[sizeof FILEINFO::key];
    if (name)
        std::snprintf(key, sizeof key, "%s/%s", folder ? folder : "", name);
    else
        std::snprintf(key, sizeof key, "%s", folder ? folder : "");
    FILEINFO* entry = index[key];
    if (!entry && create) {
        entry = new FILEINFO(key);
        index.add(entry);
    }
    return entry;
}

APPLNARCHIVE::FILEINFO* APPLNARCHIVE::findfileinfo(const VFILE& file) const
{
    for (FILEINFO* entry : index)
        if (&entry->file == &file)
            return entry;
    return nullptr;
}

int APPLNARCHIVE::exists(const char* folder, const char* name)
{
    return getfileinfo(folder, name, 0) != nullptr;
}

VFILE& APPLNARCHIVE::openfile(const char* folder, const char* name)
{
    RAMFILE& file = getfileinfo(folder, name, 1)->file;
    file.rewind();
    return file;
}

int APPLNARCHIVE::closefile(VFILE& file, int flag)
{
    return file.testflags(errorFlag) ? 0 : 1;
}

int APPLNARCHIVE::deletefile(const char* folder, const char* name)
{
    FILEINFO* entry = getfileinfo(folder, name, 0);
    if (!entry)
        return 0;
    delete index.remove(entry);
    return 1;
}

const char* APPLNARCHIVE::getfiletext(const char* folder, const char* name)
{
    FILEINFO* entry = readfileinfo(folder, name);
    if (!entry || entry->file.testflags(errorFlag))
        return nullptr;
    RAMFILE& file = entry->file;
    file.seek(0, 2);
    if (!file.grow(1))
        return nullptr;
    file.buffer[file.length] = 0;
    file.rewind();
    return reinterpret_cast<const char*>(file.buffer);
}

int APPLNARCHIVE::putfile(const char* path, const char* folder, const char* name)
{
    FILE* disk = _fsopen(path, "rb", _SH_DENYRW);
    if (!disk)
        return 0;
    RAMFILE contents;
    char block[copyBlock];
    size_t n;
    bool whole = true;
    while (whole && (n = std::fread(block, 1, sizeof block, disk)) > 0)
        whole = contents.write(block, static_cast<int>(n)) == static_cast<int>(n);
    whole = whole && !std::ferror(disk);
    struct stat info;
    const uint32_t datetime = ::fstat(::fileno(disk), &info) == 0 ? dosdatetimeof(info.st_mtim.tv_sec) : 0;
    std::fclose(disk);
    if (!whole)
        return 0;
    VFILE& file = openfile(folder, name);
    FILEINFO* entry = findfileinfo(file);
    std::swap(entry->file.buffer, contents.buffer);
    std::swap(entry->file.capacity, contents.capacity);
    std::swap(entry->file.length, contents.length);
    entry->file.position = 0;
    entry->datetime = datetime;
    return closefile(file, 0);
}

int APPLNARCHIVE::getfile(VFILE& out, const char* folder, const char* name)
{
    FILEINFO* entry = readfileinfo(folder, name);
    if (!entry || entry->file.testflags(errorFlag))
        return 0;
    RAMFILE& file = entry->file;
    file.rewind();
    char block[copyBlock];
    int n;
    while ((n = file.read(block, sizeof block)) > 0) {
        const int taken = std::max(out.write(block, n), 0);
        if (taken < n)
            file.seek(taken - n, 1);
        if (!taken)
            return 0;
    }
    return 1;
}

int APPLNARCHIVE::getfile(const char* path, const char* folder, const char* name)
{
    FILEINFO* entry = readfileinfo(folder, name);
    if (!entry || entry->file.testflags(errorFlag))
        return 0;
    const std::string target = pathforwriting(path);
    std::string temporary;
    FILE* disk = target.empty() ? nullptr : openbeside(target, temporary);
    if (!disk)
        return 0;
    const RAMFILE& contents = entry->file;
    bool written = std::fwrite(contents.buffer, 1, static_cast<size_t>(contents.length), disk)
            == static_cast<size_t>(contents.length)
        && std::fflush(disk) == 0;
    if (written && entry->datetime)
        written = setfiletime(disk, entry->datetime);
    if (!written) {
        discardbeside(disk, temporary);
        return 0;
    }
    return replacetarget(disk, temporary, target) ? 1 : 0;
}
