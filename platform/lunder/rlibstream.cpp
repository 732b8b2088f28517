#include "core/files/littleendian.h"
#include "core/files/vfile.h"
#include "platform/lunder/dlib.h"
#include "platform/lunder/libbytes.h"
#include "platform/lunder/libfile.h"
#include "platform/lunder/rlib.h"
#include "platform/win/boundedread.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

// The loaded entries inside a design file, a clipboard block or a project clip, format version 1.
// Little-endian; strings as in the library file (libfile.h). A block of one entry:
//
//   offset  bytes                  field
//   0       26 00 00 00            length of what follows (38)
//   4       01 00                  format version
//   6       01 00 00 00            entry count
//   10      04 00 "7400" 00        per entry: name,
//   17      80 64 5A 66              created (the library version it is),
//   21      01                       packing mode (0 16-bit length words, 1 32-bit),
//   22      10 00 00 00              length of its data (16),
//   26      10 00 00 00 ...          the record the entry packed
//
// The entries' names, modes and lengths follow the rules of the library file's directory (in any
// order), and each record's length word agrees with its length. A reader takes the whole length
// first, so the file goes on behind the block even when the block is damaged or of a later version.

namespace {

constexpr uint16_t STREAMVERSION = 1;
constexpr uint32_t READCHUNK = 1 << 16;

// Up to size bytes of f, grown with what arrives (a damaged length may promise far more).
std::vector<uint8_t> readblock(VFILE& f, uint32_t size)
{
    std::vector<uint8_t> block;
    while (block.size() < size) {
        size_t at = block.size();
        uint32_t chunk = std::min<uint32_t>(READCHUNK, size - static_cast<uint32_t>(at));
        block.resize(at + chunk);
        int got = f.read(block.data() + at, static_cast<int>(chunk));
        block.resize(at + static_cast<size_t>(got > 0 ? got : 0));
        if (got != static_cast<int>(chunk))
            break;
    }
    return block;
}

} // namespace

int RLIB_BASE::writeentries(VFILE& f, const DPA& entries, DPKB_MODE mode)
{
    LIBWRITER out;
    out.u32(0);
    out.u16(STREAMVERSION);
    out.u32(static_cast<uint32_t>(entries.count));
    const uint8_t storedmode = mode == DPKB_WORD16 ? 0 : 1;
    for (int i = 0; i < entries.count; ++i) {
        auto* entry = reinterpret_cast<RLIB_ENTRY*>(entries.items[i]);
        DPKB packed(4096, mode);
        const int whole = entry->pack(packed);
        const auto length = static_cast<uint32_t>(packed.putptr - packed.base);
        if (!whole || !storablerecord(length, storedmode)) {
            error = "Entry '" + std::string(entry->name) + "' cannot be packed.";
            return 0;
        }
        for (unsigned b = 0; b < packed.wordsize(); ++b)
            packed.base[b] = static_cast<unsigned char>(length >> (8 * b));
        out.str(entry->name);
        out.u32(entry->created);
        out.u8(storedmode);
        out.u32(length);
        out.raw(packed.base, length);
    }
    out.patch32(0, static_cast<uint32_t>(out.bytes.size() - 4));
    const int size = static_cast<int>(out.bytes.size());
    if (f.write(out.bytes.data(), size) != size) {
        error = "The library entries could not be written whole.";
        return 0;
    }
    return 1;
}

int RLIB_BASE::write(VFILE& f, DPKB_MODE mode)
{
    return writeentries(f, *this, mode);
}

int RLIB_BASE::exportentries(VFILE& f, const DIDX& names, DPKB_MODE mode)
{
    DPA chosen;
    for (int i = 0; i < names.count; ++i) {
        if (RLIB_ENTRY* entry = (*this)[names.key(i)])
            chosen.add(entry);
    }
    return writeentries(f, chosen, mode);
}

int RLIB_BASE::read(VFILE& f)
{
    uint8_t word[4];
    if (f.read(word, 4) != 4) {
        error = "The library entries end before their length.";
        return 0;
    }
    const uint32_t size = readle32(word);
    if (size > static_cast<uint64_t>(BOUNDEDFILELIMIT)) {
        error = "The library entries claim " + std::to_string(size) + " bytes, more than a file may hold.";
        return 0;
    }
    const std::vector<uint8_t> block = readblock(f, size);
    LIBCURSOR cursor(block.data(), block.size());
    uint16_t version = 0;
    uint32_t entries = 0;
    if (!cursor.u16(version) || !cursor.u32(entries)) {
        error = "The library entries end inside their head.";
        return 0;
    }
    if (version != STREAMVERSION) {
        error = "The library entries have format version " + std::to_string(version)
            + "; this program reads format " + std::to_string(STREAMVERSION) + ".";
        return 0;
    }
    for (uint32_t i = 0; i < entries; ++i) {
        DLIB_INDEX_ENTRY record;
        std::string fault;
        if (!readlibrecord(cursor, nullptr, record, fault)) {
            error = "Library entry " + std::to_string(i + 1) + " is damaged: " + fault + ".";
            return 0;
        }
        const uint8_t* data = cursor.here();
        if (!cursor.skip(record.length) || !checkrecord(data, record.length, record.mode)) {
            error = "The data of library entry '" + std::string(record.name) + "' are damaged.";
            return 0;
        }
        if ((*this)[record.name])
            continue;
        void* copy = std::malloc(record.length);
        if (!copy) {
            error = "No memory for library entry '" + std::string(record.name) + "'.";
            return 0;
        }
        std::memcpy(copy, data, record.length);
        DPKB packed(copy, record.mode ? DPKB_WORD32 : DPKB_WORD16);
        std::unique_ptr<RLIB_ENTRY> entry(create(record.name));
        if (!entry || !(record.mode ? entry->unpack(packed) : entry->convert(packed))) {
            error = "Library entry '" + std::string(record.name) + "' cannot be read.";
            return 0;
        }
        entry->created = record.created;
        entry->temporary = 1;
        add(entry.release());
    }
    if (block.size() != size) {
        error = "The library entries end early.";
        return 0;
    }
    if (cursor.remaining() != 0) {
        error = "The library entries go on after their last entry.";
        return 0;
    }
    return 1;
}
