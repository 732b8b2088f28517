#pragma once

// Helpers of the partition tests: file bytes written out by hand, and capture of the reports.

#include "platform/hulvane/results/report.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace resultstest {

using ByteVector = std::vector<unsigned char>;

// Little-endian file bytes, built field by field.
struct Bytes {
    ByteVector data;

    template <class T>
    Bytes& value(T v)
    {
        unsigned char raw[sizeof v];
        std::memcpy(raw, &v, sizeof v);
        data.insert(data.end(), raw, raw + sizeof v);
        return *this;
    }
    Bytes& i16(int16_t v) { return value(v); }
    Bytes& i32(int32_t v) { return value(v); }
    Bytes& f64(double v) { return value(v); }
    Bytes& marker(double t) { return i16(-1).f64(t); }
    Bytes& end() { return i16(-2); }
    Bytes& analog(int16_t channel, double v) { return i16(channel).f64(v); }
    Bytes& text(const char* s) { data.insert(data.end(), s, s + std::strlen(s)); return *this; }
    Bytes& counted(const char* s) { data.push_back(static_cast<unsigned char>(std::strlen(s))); return text(s); }
    Bytes& zeros(size_t n) { data.insert(data.end(), n, 0); return *this; }
    Bytes& append(const ByteVector& more) { data.insert(data.end(), more.begin(), more.end()); return *this; }
    // A channel table entry.
    Bytes& channel(const char* name, const char* label, int16_t kind, int16_t width)
    {
        return counted(name).counted(label).i16(kind).i16(width);
    }
};

struct RunSlot {
    int32_t offset, length, markers;
};

// A 1248-byte header as the layout fixes it, written out independently of the writer.
inline ByteVector header(int16_t status, int32_t blocksize, int32_t tableoffset, int16_t channels,
    const std::vector<RunSlot>& runs, int16_t version = 200)
{
    ByteVector h(1248, 0);
    const char signature[] = "WUNO PARTITION DATA FILE\x1a";
    std::memcpy(h.data(), signature, sizeof signature);
    auto put = [&h](size_t at, auto v) { std::memcpy(h.data() + at, &v, sizeof v); };
    put(32, version);
    put(34, status);
    put(36, blocksize);
    put(40, tableoffset);
    put(44, channels);
    put(46, static_cast<int16_t>(runs.size()));
    for (size_t i = 0; i < runs.size() && i < 100; ++i) {
        put(48 + 4 * i, runs[i].offset);
        put(448 + 4 * i, runs[i].length);
        put(848 + 4 * i, runs[i].markers);
    }
    return h;
}

inline ByteVector readbytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return ByteVector(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writebytes(const std::filesystem::path& path, const ByteVector& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Collects every report made while it lives.
class Reports {
public:
    Reports()
    {
        current = this;
        oldassert = setresultsasserthook([](const char*, const char* source, int line) {
            current->asserts.push_back(std::string(source) + ":" + std::to_string(line));
        });
        olderror = setresultserrorhook([](const char* text) { current->errors.push_back(text); });
    }
    ~Reports()
    {
        setresultsasserthook(oldassert);
        setresultserrorhook(olderror);
        current = nullptr;
    }
    Reports(const Reports&) = delete;
    Reports& operator=(const Reports&) = delete;

    std::string allerrors() const
    {
        std::string all;
        for (const auto& e : errors)
            all += e + "\n";
        return all;
    }

    std::vector<std::string> asserts;
    std::vector<std::string> errors;

private:
    static inline Reports* current = nullptr;
    RESULTSASSERTHOOK oldassert;
    RESULTSERRORHOOK olderror;
};

}  // namespace resultstest
