#pragma once

// A WAV file as the audio generator plays it: a RIFF file of form "WAVE" holding a format chunk
// "fmt " and, after it, a "data" chunk of PCM frames. The format chunk's first 16 bytes are, little-
// endian: format tag (1 PCM), channels, samples per second, bytes per second, block align, bits per
// sample; chunks of other identifiers are passed over, each chunk padded to an even length:
//
//     "RIFF" <size> "WAVE"  "fmt " 16 <1, 2, 8000, 32000, 4, 16>  "LIST" ...  "data" <size> frames
//
// 8-bit samples are unsigned (128 is zero), 16-bit samples signed; a stereo frame holds the left
// sample, then the right one. Every chunk is checked against the file: one that runs past the end
// of the RIFF chunk or of the file makes the file damaged, and nothing is read past its data.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class WAVFILE {
public:
    enum RESULT {
        OK,
        CANNOTOPEN, // missing, unreadable, not a regular file or too large
        NOTWAV, // no RIFF "WAVE" form, or no format chunk with a data chunk after it
        DAMAGED, // a chunk runs past its container, a format chunk is too short, a rate of 0
        UNSUPPORTED, // not 8-bit or 16-bit PCM, mono or stereo
    };
    // Reads count bytes at offset into buffer: the count read, fewer only at the end of the bytes.
    using READER = std::function<int64_t(int64_t offset, void* buffer, int64_t count)>;

    WAVFILE() = default;
    WAVFILE(const WAVFILE&) = delete;
    WAVFILE& operator=(const WAVFILE&) = delete;
    ~WAVFILE() { close(); }

    // Opens the file at path (a POSIX path, as openbounded opens it) and reads its format; anything
    // but OK leaves the file closed with the reason in reason.
    RESULT open(const char* path, std::string& reason);
    // The same over size bytes that reader gives.
    RESULT open(READER reader, int64_t size, std::string& reason);
    void close();
    bool isopen() const { return static_cast<bool>(read); }

    // The samples of frame index (below frames) in [-1, 1): left and right, the one sample twice
    // in a mono file. False when the bytes cannot be read.
    bool frame(int64_t index, double* left, double* right);

    int32_t channels = 0;
    int32_t bits = 0;
    double rate = 0; // frames per second
    int64_t frames = 0;

private:
    RESULT parse(std::string& reason);
    // Count bytes at offset, all of them or false.
    bool readexactly(int64_t offset, void* buffer, int64_t count);

    int fd = -1;
    READER read;
    int64_t size = 0;
    int64_t dataoffset = 0;
    int32_t framebytes = 0;
    // Frames are read through this window of the data.
    std::vector<unsigned char> window;
    int64_t windowat = -1; // offset of the window's first byte in the file; -1: empty
};
