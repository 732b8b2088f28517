#include "platform/lunder/libfile.h"

#include "core/files/littleendian.h"
#include "core/text/alnum.h"
#include "platform/lunder/dlib.h"
#include "platform/lunder/libbytes.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr char MAGIC[8] = { 'V', 'K', 'T', ' ', 'L', 'I', 'B', 0x1A };
// The smallest directory record: a one-character name, created, mode and length.
constexpr size_t SMALLESTRECORD = 2 + 1 + 1 + 4 + 1 + 4;

std::string damaged(const char* file, const std::string& why)
{
    return "Library '" + std::string(file) + "' is damaged: " + why + ".";
}

std::string number(uint32_t n)
{
    return std::to_string(n);
}

} // namespace

bool storablerecord(uint32_t length, uint8_t mode)
{
    if (mode == 0)
        return length >= 2 && length <= 0xFFFF;
    return mode == 1 && length >= 4;
}

bool checkrecord(const uint8_t* data, uint32_t length, uint8_t mode)
{
    return (mode == 1 ? readle32(data) : readle16(data)) == length;
}

bool readlibhead(const uint8_t* bytes, size_t size, uint64_t filesize, const char* file, LIBFILEHEAD& head,
    std::string& error)
{
    if (size < 10 || std::memcmp(bytes, MAGIC, sizeof MAGIC) != 0) {
        error = "'" + std::string(file) + "' is not a library file.";
        return false;
    }
    LIBCURSOR cursor(bytes, size);
    uint16_t version = 0;
    cursor.skip(sizeof MAGIC);
    cursor.u16(version);
    if (version > LIBFILEVERSION) {
        error = "Library '" + std::string(file) + "' was written by a later version of the program (format "
            + std::to_string(version) + "); this one reads format " + std::to_string(LIBFILEVERSION) + ".";
        return false;
    }
    if (version == 0 || !cursor.u32(head.serial) || !cursor.u32(head.capacity) || !cursor.u32(head.count)
        || !cursor.u32(head.dataoffset)) {
        error = damaged(file, version == 0 ? "its format version is 0" : "it ends inside its head");
        return false;
    }
    if (head.dataoffset < LIBHEADSIZE || head.dataoffset > filesize) {
        error = damaged(file, "its data offset " + number(head.dataoffset) + " lies outside the file");
        return false;
    }
    return true;
}

bool readlibrecord(LIBCURSOR& cursor, const char* previous, DLIB_INDEX_ENTRY& entry, std::string& fault)
{
    const char* name = nullptr;
    uint16_t length = 0;
    if (!cursor.str(name, length, LIBNAMESIZE - 1)) {
        fault = std::string("its name ") + cursor.fault;
        return false;
    }
    if (length == 0) {
        fault = "its name is empty";
        return false;
    }
    if (previous && alnumicmp(previous, name) >= 0) {
        fault = "its name '" + std::string(name) + "' is out of order";
        return false;
    }
    std::memcpy(entry.name, name, size_t(length) + 1);
    if (!cursor.u32(entry.created) || !cursor.u8(entry.mode) || !cursor.u32(entry.length)) {
        fault = std::string("it ") + cursor.fault;
        return false;
    }
    if (!storablerecord(entry.length, entry.mode)) {
        fault = entry.mode > 1 ? "its packing mode is neither 0 nor 1"
                               : "its length does not fit its packing mode";
        return false;
    }
    return true;
}

bool readlibindex(const uint8_t* bytes, const LIBFILEHEAD& head, uint64_t filesize, const char* file,
    std::string& kind, LIBENTRIES& entries, std::string& error)
{
    LIBCURSOR cursor(bytes, head.dataoffset);
    cursor.skip(LIBHEADSIZE);
    const char* text = nullptr;
    uint16_t length = 0;
    if (!cursor.str(text, length, LIBKINDMAX) || length == 0) {
        error = damaged(file, std::string("its kind ") + (length == 0 && text ? "is empty" : cursor.fault));
        return false;
    }
    kind.assign(text, length);
    if (head.capacity > LIBMAXCAPACITY) {
        error
            = damaged(file, "its capacity " + number(head.capacity) + " is above " + number(LIBMAXCAPACITY));
        return false;
    }
    if (head.count > head.capacity) {
        error = damaged(file,
            "its entry count " + number(head.count) + " is above its capacity " + number(head.capacity));
        return false;
    }
    if (head.count > cursor.remaining() / SMALLESTRECORD) {
        error = damaged(file, "its entry count " + number(head.count) + " passes the end of its directory");
        return false;
    }
    entries.clear();
    entries.reserve(head.count);
    uint64_t offset = head.dataoffset;
    const char* previous = nullptr;
    for (uint32_t i = 0; i < head.count; ++i) {
        auto entry = std::make_unique<DLIB_INDEX_ENTRY>();
        std::string fault;
        if (!readlibrecord(cursor, previous, *entry, fault)) {
            error = damaged(file, "entry " + number(i + 1) + " of its directory: " + fault);
            return false;
        }
        entry->offset = static_cast<uint32_t>(offset);
        offset += entry->length;
        if (offset > filesize) {
            error = damaged(
                file, "the data of entry '" + std::string(entry->name) + "' pass the end of the file");
            return false;
        }
        entries.push_back(std::move(entry));
        previous = entries.back()->name;
    }
    if (cursor.remaining() != 0) {
        error = damaged(file, "its directory ends before its data offset");
        return false;
    }
    if (offset != filesize) {
        error = damaged(file, "the file goes on after the data of its entries");
        return false;
    }
    return true;
}

std::vector<uint8_t> writelibfile(
    const char* kind, uint32_t capacity, uint32_t serial, const std::vector<LIBFILEENTRY>& entries)
{
    LIBWRITER out;
    out.raw(MAGIC, sizeof MAGIC);
    out.u16(LIBFILEVERSION);
    out.u32(serial);
    out.u32(capacity);
    out.u32(static_cast<uint32_t>(entries.size()));
    out.u32(0);
    out.str(kind);
    for (const LIBFILEENTRY& entry : entries) {
        out.str(entry.name);
        out.u32(entry.created);
        out.u8(entry.mode);
        out.u32(entry.length);
    }
    out.patch32(22, static_cast<uint32_t>(out.bytes.size()));
    for (const LIBFILEENTRY& entry : entries)
        out.raw(entry.data, entry.length);
    return std::move(out.bytes);
}
