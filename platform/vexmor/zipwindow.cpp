#include "platform/vexmor/zipwindow.h"

#include "core/files/littleendian.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/win/boundedread.h"

namespace {

constexpr int eocdSize = 22;
constexpr int64_t maxCommentSize = 65535;
constexpr uint32_t eocdSignature = 0x06054b50;
constexpr uint32_t directorySignature = 0x02014b50;
constexpr uint32_t zip64Marker = 0xffffffff;

struct WINDOW {
    int fd;
    int64_t start;
    int64_t length;
    int64_t position = 0;
    zip_error_t error;
};

// How many bytes stand before the zip that lies in [start, end) of the file; 0 when there is no
// record to go by or the record does not lead to a directory.
int64_t prefixof(int fd, int64_t start, int64_t end)
{
    const int64_t tail = std::min(end - start, eocdSize + maxCommentSize);
    if (tail < eocdSize)
        return 0;
    std::vector<unsigned char> block(static_cast<size_t>(tail));
    const int64_t tailstart = end - tail;
    if (!readat(fd, block.data(), block.size(), tailstart))
        return 0;
    for (int64_t at = tail - eocdSize; at >= 0; --at) {
        const unsigned char* record = block.data() + at;
        if (readle32(record) != eocdSignature || at + eocdSize + readle16(record + 20) > tail)
            continue;
        const uint32_t directorysize = readle32(record + 12);
        const uint32_t directoryoffset = readle32(record + 16);
        if (directorysize == zip64Marker || directoryoffset == zip64Marker)
            return 0;
        const int64_t prefix = tailstart + at - start - directorysize - int64_t { directoryoffset };
        unsigned char signature[4];
        if (prefix <= 0 || !directorysize
            || !readat(fd, signature, sizeof signature, start + prefix + directoryoffset)
            || readle32(signature) != directorySignature)
            return 0;
        return prefix;
    }
    return 0;
}

zip_int64_t windowcommand(void* state, void* data, zip_uint64_t size, zip_source_cmd_t command)
{
    auto* window = static_cast<WINDOW*>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        window->position = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const auto n = static_cast<size_t>(std::min<zip_uint64_t>(size, window->length - window->position));
        if (n && !readat(window->fd, data, n, window->start + window->position)) {
            zip_error_set(&window->error, ZIP_ER_READ, errno ? errno : EIO);
            return -1;
        }
        window->position += static_cast<int64_t>(n);
        return static_cast<zip_int64_t>(n);
    }
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* stat = static_cast<zip_stat_t*>(data);
        zip_stat_init(stat);
        stat->size = static_cast<zip_uint64_t>(window->length);
        stat->valid |= ZIP_STAT_SIZE;
        return sizeof *stat;
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&window->error, data, size);
    case ZIP_SOURCE_FREE:
        zip_error_fini(&window->error);
        delete window;
        return 0;
    case ZIP_SOURCE_SEEK: {
        const zip_int64_t position
            = zip_source_seek_compute_offset(static_cast<zip_uint64_t>(window->position),
                static_cast<zip_uint64_t>(window->length), data, size, &window->error);
        if (position < 0)
            return -1;
        window->position = position;
        return 0;
    }
    case ZIP_SOURCE_TELL:
        return window->position;
    case ZIP_SOURCE_SUPPORTS:
        return ZIP_SOURCE_SUPPORTS_SEEKABLE | zip_source_make_command_bitmap(ZIP_SOURCE_ACCEPT_EMPTY, -1);
    case ZIP_SOURCE_ACCEPT_EMPTY:
        return 0; // an empty file is no archive
    default:
        zip_error_set(&window->error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

} // namespace

zip_source_t* openzipwindow(int fd, int64_t start, zip_error_t* error)
{
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        zip_error_set(error, ZIP_ER_OPEN, errno);
        return nullptr;
    }
    if (!S_ISREG(info.st_mode) || start < 0 || start > info.st_size) {
        zip_error_set(error, ZIP_ER_OPEN, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
        return nullptr;
    }
    start += prefixof(fd, start, info.st_size);
    auto* window = new WINDOW { fd, start, info.st_size - start, 0, {} };
    zip_error_init(&window->error);
    zip_source_t* source = zip_source_function_create(windowcommand, window, error);
    if (!source) {
        zip_error_fini(&window->error);
        delete window;
    }
    return source;
}
