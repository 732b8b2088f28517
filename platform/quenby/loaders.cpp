#include "platform/quenby/quenby.h"

#include "engines/contract/instance.h"
#include "platform/quenby/image.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

// The whole of a regular file of at most MOSTIMAGEBYTES; false with the reason otherwise.
bool readimagefile(const char* file, std::vector<uint8_t>& bytes, std::string& error)
{
    FILE* stream = file ? std::fopen(file, "rbe") : nullptr;
    if (!stream) {
        error = std::strerror(file ? errno : ENOENT);
        return false;
    }
    struct stat status { };
    bool regular = ::fstat(::fileno(stream), &status) == 0 && S_ISREG(status.st_mode);
    if (!regular || status.st_size > static_cast<off_t>(MOSTIMAGEBYTES)) {
        error
            = regular ? "larger than " + std::to_string(MOSTIMAGEBYTES >> 20) + " MB" : "not a regular file";
        std::fclose(stream);
        return false;
    }
    bytes.resize(static_cast<size_t>(status.st_size));
    size_t read = std::fread(bytes.data(), 1, bytes.size(), stream);
    bool whole = read == bytes.size() && std::fgetc(stream) == EOF && !std::ferror(stream);
    std::fclose(stream);
    if (!whole)
        error = "it changed while it was read";
    return whole;
}

using READER = bool (*)(const uint8_t* bytes, size_t size, FIRMWAREIMAGE& image, std::string& error);

int load(READER reader, const char* file, IINSTANCE* instance, int32_t space, int32_t flags, ICPU* target)
{
    std::vector<uint8_t> bytes;
    std::string error;
    FIRMWAREIMAGE image;
    if (!readimagefile(file, bytes, error) || !reader(bytes.data(), bytes.size(), image, error)) {
        if (instance)
            instance->error("Cannot load the firmware image '%s': %s.", file ? file : "", error.c_str());
        return 0;
    }
    if (!target)
        return 1;
    for (const IMAGEBLOCK& block : image.blocks) {
        // Blocks of a binary image may pass what one call counts.
        for (size_t at = 0; at < block.bytes.size(); at += INT32_MAX) {
            auto count = static_cast<int32_t>(std::min<size_t>(block.bytes.size() - at, INT32_MAX));
            target->writeblock(
                space, flags, block.address + static_cast<uint32_t>(at), block.bytes.data() + at, count);
        }
    }
    if (image.hasstart)
        target->setstart(image.start);
    return 1;
}

} // namespace

int load_bin(const char* file, IINSTANCE* instance, int32_t space, int32_t flags, ICPU* target)
{
    return load(readbinary, file, instance, space, flags, target);
}

int load_hex(const char* file, IINSTANCE* instance, int32_t space, int32_t flags, ICPU* target)
{
    return load(readintelhex, file, instance, space, flags, target);
}

int load_s19(const char* file, IINSTANCE* instance, int32_t space, int32_t flags, ICPU* target)
{
    return load(readsrecords, file, instance, space, flags, target);
}
