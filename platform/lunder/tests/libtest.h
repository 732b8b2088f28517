#pragma once

// What the library tests share: an entry laid out as an indexed library reads it (its length
// word, the distance to its property text, a stand-in for its drawing, the property text), and
// library files written with chosen time stamps.

#include "core/containers/dpkb.h"
#include "core/text/text.h"
#include "platform/lunder/libfile.h"
#include "platform/lunder/rlib.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

class TESTENTRY : public RLIB_ENTRY {
public:
    using RLIB_ENTRY::preview;

    explicit TESTENTRY(const char* name)
        : RLIB_ENTRY(name)
    {
    }
    TESTENTRY(const char* name, const char* drawing, const char* properties)
        : RLIB_ENTRY(name)
        , drawing(drawing)
        , properties(properties)
    {
    }

    int pack(DPKB& b) override
    {
        b.alloc(8);
        if (!drawing.pack(b))
            return 0;
        auto at = static_cast<uint32_t>(b.putptr - b.base);
        if (!properties.pack(b))
            return 0;
        std::memcpy(b.base + 4, &at, 4);
        return 1;
    }
    int unpack(DPKB& b) override { return b.get(8) && drawing.unpack(b) && properties.unpack(b); }
    int convert(DPKB& b) override
    {
        converted = 1;
        return unpack(b);
    }
    RLIB_ENTRY* duplicate() override
    {
        auto* copy = new TESTENTRY(name, drawing.text, properties.text);
        copy->created = created;
        return copy;
    }
    void preview(CTS&, SGDVC*, LIBBROWSEINFO* info, char* text) override
    {
        if (info)
            info->packagings = { "DIL14", "SO14" };
        if (text)
            std::snprintf(text, 256, "drawn %s", drawing.text ? drawing.text : "");
    }

    TEXT drawing;
    TEXT properties;
    int converted = 0;
};

using TESTLIB = RLIB<TESTENTRY>;

// The record of an entry as add stores it (length word set).
inline std::vector<uint8_t> record(const char* name, const char* drawing, const char* properties)
{
    TESTENTRY entry(name, drawing, properties);
    DPKB b(64, DPKB_WORD32);
    entry.pack(b);
    auto length = static_cast<uint32_t>(b.putptr - b.base);
    std::memcpy(b.base, &length, 4);
    return std::vector<uint8_t>(b.base, b.putptr);
}

inline std::unique_ptr<DPKB> packed(const char* name, const char* drawing, const char* properties)
{
    auto b = std::make_unique<DPKB>(64, DPKB_WORD32);
    TESTENTRY(name, drawing, properties).pack(*b);
    return b;
}

struct TESTRECORD {
    std::string name;
    uint32_t created;
    std::vector<uint8_t> data;
};

// A library file at posix path, its records given in index order.
inline void writelibrary(const std::filesystem::path& path, const char* kind,
    const std::vector<TESTRECORD>& records, uint32_t capacity = 1000, uint32_t serial = 1)
{
    std::vector<LIBFILEENTRY> entries;
    for (const TESTRECORD& r : records)
        entries.push_back(
            { r.name.c_str(), r.created, 1, r.data.data(), static_cast<uint32_t>(r.data.size()) });
    std::vector<uint8_t> bytes = writelibfile(kind, capacity, serial, entries);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

inline std::vector<uint8_t> filebytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void writebytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}
