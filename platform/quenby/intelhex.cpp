// Intel HEX: lines ":LLAAAATT<data>CC" of hexadecimal byte pairs: LL data bytes for the 16-bit
// offset AAAA, record type TT, and a checksum that makes the sum of all bytes 0. Types: 00 data,
// 01 end of file, 02 extended segment address (base = value * 16), 03 start segment address (CS:IP),
// 04 extended linear address (base = value << 16), 05 start linear address.
#include "platform/quenby/image.h"
#include "platform/quenby/records.h"

#include <numeric>

namespace {

enum : uint8_t {
    DATA = 0,
    ENDOFFILE = 1,
    SEGMENTBASE = 2,
    SEGMENTSTART = 3,
    LINEARBASE = 4,
    LINEARSTART = 5
};

} // namespace

bool readintelhex(const uint8_t* bytes, size_t size, FIRMWAREIMAGE& image, std::string& error)
{
    std::vector<RECORDLINE> lines;
    if (!splitrecordlines(reinterpret_cast<const char*>(bytes), size, lines, error))
        return false;
    uint64_t base = 0;
    std::vector<uint8_t> fields;
    for (const RECORDLINE& line : lines) {
        auto fail = [&](const char* what) {
            error = lineerror(line.number, what);
            return false;
        };
        if (line.text[0] != ':' || !hexbytes(line.text.substr(1), fields) || fields.size() < 5)
            return fail("not an Intel HEX record");
        const uint8_t count = fields[0];
        if (fields.size() != size_t(count) + 5)
            return fail("the record's byte count does not match its length");
        if (std::accumulate(fields.begin(), fields.end(), 0u) % 256 != 0)
            return fail("wrong checksum");
        const uint32_t offset = bigendian(&fields[1], 2);
        const uint8_t type = fields[3];
        const uint8_t* data = &fields[4];
        switch (type) {
        case DATA: {
            // The 16-bit offset does not carry into the base: a record must end inside its window,
            // which keeps it inside the 32-bit address space too.
            if (offset + count > 0x10000)
                return fail("the record runs past the end of its 64 KB address window");
            image.blocks.push_back(
                { static_cast<uint32_t>(base + offset), std::vector<uint8_t>(data, data + count) });
            break;
        }
        case ENDOFFILE:
            return true;
        case SEGMENTBASE:
        case LINEARBASE:
            if (count != 2)
                return fail("an address record must hold 2 bytes");
            base = type == SEGMENTBASE ? uint64_t(bigendian(data, 2)) << 4
                                       : uint64_t(bigendian(data, 2)) << 16;
            break;
        case SEGMENTSTART:
        case LINEARSTART:
            if (count != 4)
                return fail("a start address record must hold 4 bytes");
            image.hasstart = true;
            image.start = type == LINEARSTART ? bigendian(data, 4)
                                              : (bigendian(data, 2) << 4) + bigendian(data + 2, 2);
            break;
        default:
            return fail("unknown record type");
        }
    }
    error = "no end-of-file record: the image is cut short";
    return false;
}
