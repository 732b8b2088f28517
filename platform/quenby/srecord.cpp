// Motorola S-records: lines "S<type><count><address><data><checksum>" of hexadecimal byte pairs:
// the count covers address, data and checksum; the checksum makes count, address and data sum to
// 0xFF in their low byte. Types: S0 header, S1/S2/S3 data with 16/24/32-bit addresses, S5/S6 the
// number of data records so far, S7/S8/S9 the start address (32/24/16-bit), ending the image.
#include "platform/quenby/image.h"
#include "platform/quenby/records.h"

#include <numeric>

namespace {

// Address bytes of each record type S0 to S9 (S4 does not exist).
constexpr int ADDRESSBYTES[10] = { 2, 2, 3, 4, 0, 2, 3, 4, 3, 2 };

} // namespace

bool readsrecords(const uint8_t* bytes, size_t size, FIRMWAREIMAGE& image, std::string& error)
{
    std::vector<RECORDLINE> lines;
    if (!splitrecordlines(reinterpret_cast<const char*>(bytes), size, lines, error))
        return false;
    uint32_t datarecords = 0;
    std::vector<uint8_t> fields;
    for (const RECORDLINE& line : lines) {
        auto fail = [&](const char* what) {
            error = lineerror(line.number, what);
            return false;
        };
        const std::string& record = line.text;
        if (record.size() < 4 || record[0] != 'S' || record[1] < '0' || record[1] > '9' || record[1] == '4'
            || !hexbytes(record.substr(2), fields))
            return fail("not a Motorola S-record");
        const int type = record[1] - '0';
        const int addressbytes = ADDRESSBYTES[type];
        const uint8_t count = fields[0];
        if (fields.size() != size_t(count) + 1)
            return fail("the record's byte count does not match its length");
        if (count < addressbytes + 1)
            return fail("the record is too short for its address");
        if (std::accumulate(fields.begin(), fields.end(), 0u) % 256 != 0xFF)
            return fail("wrong checksum");
        const uint32_t address = bigendian(&fields[1], addressbytes);
        const uint8_t* data = &fields[1 + addressbytes];
        const size_t length = count - addressbytes - 1;
        switch (type) {
        case 0:
            break;
        case 1:
        case 2:
        case 3:
            if (uint64_t(address) + length > uint64_t(1) << (8 * addressbytes))
                return fail("the record runs past the end of its address space");
            image.blocks.push_back({ address, std::vector<uint8_t>(data, data + length) });
            ++datarecords;
            break;
        case 5:
        case 6:
            if (address != datarecords % (uint64_t(1) << (8 * addressbytes)))
                return fail("the record count does not match the data records before it");
            break;
        default:
            image.hasstart = true;
            image.start = address;
            return true;
        }
    }
    return true;
}
