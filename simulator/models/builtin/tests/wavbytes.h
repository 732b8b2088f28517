#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// WAV file bytes built chunk by chunk, for the reader's tests and damaged variants of them.
struct WAVBYTES {
    std::vector<unsigned char> data;

    WAVBYTES& text(const char* s)
    {
        data.insert(data.end(), s, s + std::strlen(s));
        return *this;
    }
    WAVBYTES& u16(uint16_t v)
    {
        const unsigned char raw[] = { static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8) };
        data.insert(data.end(), raw, raw + 2);
        return *this;
    }
    WAVBYTES& u32(uint32_t v) { return u16(static_cast<uint16_t>(v)).u16(static_cast<uint16_t>(v >> 16)); }
    WAVBYTES& bytes(const std::vector<unsigned char>& more)
    {
        data.insert(data.end(), more.begin(), more.end());
        return *this;
    }
    // A chunk of that identifier around the body.
    WAVBYTES& chunk(const char* id, const std::vector<unsigned char>& body)
    {
        text(id).u32(static_cast<uint32_t>(body.size())).bytes(body);
        if (body.size() & 1)
            data.push_back(0);
        return *this;
    }

    // The 16 bytes of a format record.
    static std::vector<unsigned char> format(int channels, uint32_t rate, int bits, uint16_t tag = 1)
    {
        auto align = static_cast<uint16_t>(channels * bits / 8);
        return WAVBYTES()
            .u16(tag)
            .u16(static_cast<uint16_t>(channels))
            .u32(rate)
            .u32(rate * align)
            .u16(align)
            .u16(static_cast<uint16_t>(bits))
            .data;
    }
    // 16-bit samples, little-endian, in the order given (left, right, left, ... for stereo).
    static std::vector<unsigned char> samples16(const std::vector<int16_t>& samples)
    {
        WAVBYTES out;
        for (int16_t sample : samples)
            out.u16(static_cast<uint16_t>(sample));
        return out.data;
    }
    // A whole file: "RIFF" around "WAVE" and the chunks given.
    static std::vector<unsigned char> riff(const WAVBYTES& chunks)
    {
        WAVBYTES file;
        file.text("RIFF").u32(static_cast<uint32_t>(chunks.data.size() + 4)).text("WAVE").bytes(chunks.data);
        return file.data;
    }
};
