#include "simulator/models/builtin/wavfile.h"

#include "core/files/littleendian.h"
#include "platform/win/boundedread.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int64_t WINDOWBYTES = 65536;
constexpr uint16_t FORMAT_PCM = 1;
constexpr uint16_t FORMAT_EXTENSIBLE = 0xFFFE;

// A chunk identifier as a message shows it.
std::string shownid(const unsigned char* id)
{
    std::string text(reinterpret_cast<const char*>(id), 4);
    for (char& c : text)
        c = std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    return text;
}

} // namespace

WAVFILE::RESULT WAVFILE::open(const char* path, std::string& reason)
{
    close();
    int handle = openbounded(path, reason);
    if (handle < 0)
        return CANNOTOPEN;
    struct stat status { };
    fstat(handle, &status);
    RESULT result = open(
        [handle](int64_t offset, void* buffer, int64_t count) {
            return readat(handle, buffer, static_cast<size_t>(count), offset) ? count : 0;
        },
        status.st_size, reason);
    if (result == OK)
        fd = handle;
    else
        ::close(handle);
    return result;
}

WAVFILE::RESULT WAVFILE::open(READER reader, int64_t bytes, std::string& reason)
{
    close();
    read = std::move(reader);
    size = bytes;
    RESULT result = parse(reason);
    if (result != OK) {
        read = nullptr;
        size = 0;
    }
    return result;
}

void WAVFILE::close()
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
    read = nullptr;
    size = 0;
    frames = 0;
    windowat = -1;
}

bool WAVFILE::readexactly(int64_t offset, void* buffer, int64_t count)
{
    return offset >= 0 && count <= size - offset && read(offset, buffer, count) == count;
}

WAVFILE::RESULT WAVFILE::parse(std::string& reason)
{
    unsigned char head[12];
    if (!readexactly(0, head, sizeof head) || memcmp(head, "RIFF", 4) != 0
        || memcmp(head + 8, "WAVE", 4) != 0) {
        reason = "no RIFF chunk of form WAVE";
        return NOTWAV;
    }
    int64_t riffend = 8 + int64_t { readle32(head + 4) };
    if (riffend > size) {
        reason = "the RIFF chunk runs past the end of the file";
        return DAMAGED;
    }
    bool format = false;
    for (int64_t at = sizeof head; at + 8 <= riffend;) {
        unsigned char chunk[8];
        if (!readexactly(at, chunk, sizeof chunk)) {
            reason = "the file cannot be read";
            return DAMAGED;
        }
        int64_t body = at + 8;
        int64_t length = readle32(chunk + 4);
        if (length > riffend - body) {
            reason = "the '" + shownid(chunk) + "' chunk runs past the end of the RIFF chunk";
            return DAMAGED;
        }
        if (!format && memcmp(chunk, "fmt ", 4) == 0) {
            unsigned char record[16];
            if (length < int64_t { sizeof record }) {
                reason = "the format chunk is shorter than 16 bytes";
                return DAMAGED;
            }
            if (!readexactly(body, record, sizeof record)) {
                reason = "the file cannot be read";
                return DAMAGED;
            }
            uint16_t tag = readle16(record);
            channels = readle16(record + 2);
            rate = readle32(record + 4);
            bits = readle16(record + 14);
            if ((tag != FORMAT_PCM && tag != FORMAT_EXTENSIBLE) || (bits != 8 && bits != 16)
                || (channels != 1 && channels != 2)) {
                reason = "it holds samples of format " + std::to_string(tag) + ", " + std::to_string(bits)
                    + " bits, " + std::to_string(channels)
                    + " channels; only 8-bit and 16-bit PCM, mono or stereo, can be played";
                return UNSUPPORTED;
            }
            if (rate == 0) {
                reason = "its sample rate is 0";
                return DAMAGED;
            }
            format = true;
        } else if (format && memcmp(chunk, "data", 4) == 0) {
            dataoffset = body;
            framebytes = channels * bits / 8;
            frames = length / framebytes;
            return OK;
        }
        at = body + length + (length & 1);
    }
    reason = format ? "no data chunk after the format chunk" : "no format chunk";
    return NOTWAV;
}

bool WAVFILE::frame(int64_t index, double* left, double* right)
{
    if (!read || index < 0 || index >= frames)
        return false;
    int64_t offset = dataoffset + index * framebytes;
    if (windowat < 0 || offset < windowat
        || offset + framebytes > windowat + static_cast<int64_t>(window.size())) {
        int64_t end = dataoffset + frames * framebytes;
        window.resize(static_cast<size_t>(std::min(WINDOWBYTES - WINDOWBYTES % framebytes, end - offset)));
        if (!readexactly(offset, window.data(), static_cast<int64_t>(window.size()))) {
            windowat = -1;
            return false;
        }
        windowat = offset;
    }
    const unsigned char* at = window.data() + (offset - windowat);
    double samples[2] = { 0, 0 };
    for (int32_t channel = 0; channel < channels; ++channel) {
        samples[channel] = bits == 8 ? (at[channel] - 128) * 0.0078125
                                     : static_cast<int16_t>(readle16(at + 2 * channel)) * 3.0517578125e-5;
    }
    *left = samples[0];
    *right = channels == 2 ? samples[1] : samples[0];
    return true;
}
