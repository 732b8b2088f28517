// Runs every text scanner and value reader over arbitrary text, in buffers of exactly the stated
// bounds (so that the address sanitizer sees any byte past them), and checks that each cursor stays
// inside the text and each formatted value inside its bound.
#include "core/text/format.h"
#include "core/text/scan.h"
#include "core/text/values.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

class Text {
public:
    // Only the text up to its first NUL is kept, so that the allocation ends right behind it.
    explicit Text(const std::string& s)
        : size(std::strlen(s.c_str()))
        , bytes(new char[size + 1])
    {
        std::memcpy(bytes.get(), s.c_str(), size + 1);
    }
    char* start() const { return bytes.get(); }
    // A cursor over the text, checked to stay inside it when the reader is done.
    template <class Reader> void read(Reader reader) const
    {
        char* p = bytes.get();
        reader(&p);
        require(p >= bytes.get() && p <= bytes.get() + size);
    }

private:
    size_t size;
    std::unique_ptr<char[]> bytes;
};

std::unique_ptr<char[]> buffer(size_t bytes)
{
    return std::unique_ptr<char[]>(new char[bytes]);
}

void scanners(const Text& text, char c, int n, const char* delims)
{
    size_t whole = std::strlen(text.start()) + 1;
    text.read([](char** p) { skipspaces(p); });
    text.read([delims](char** p) { skipover(p, delims); });
    text.read([c](char** p) { skippast(p, c); });
    text.read([c](char** p) { skipto(p, c); });
    text.read([c](char** p) { chkchr(p, c); });
    text.read([delims](char** p) { chkstr(p, delims); });
    text.read([delims](char** p) { chktok(p, delims); });
    text.read([whole](char** p) { gettok(p, buffer(whole).get()); });
    text.read([n](char** p) { getnztok(p, buffer(static_cast<size_t>(n) + 1).get(), n); });
    text.read([whole, delims](char** p) { getstr(p, buffer(whole).get(), delims); });
    text.read([n, delims](char** p) {
        auto buf = buffer(static_cast<size_t>(n) + 1);
        getnzstr(p, buf.get(), delims, n);
        require(std::strlen(buf.get()) <= static_cast<size_t>(n));
    });
    text.read([delims](char** p) { getnzstr(p, buffer(0).get(), delims, -1); });
    text.read([](char** p) { getlinestr(p, buffer(1024).get()); });
    text.read([c](char** p) {
        auto buf = buffer(64);
        getfield(p, buf.get(), c);
        require(std::strlen(buf.get()) <= 63);
    });
    getdefkwd(text.start(), 0, "GEAR", delims, "FAST=7", nullptr);
    getlistkwd(delims, text.start(), 0);
    getlistkwd(text.start(), delims, 0);
}

void numbers(const Text& text, char sep, int digits, int pointprefix)
{
    int32_t v, lo, hi;
    text.read([&](char** p) { getint(p, &v); });
    text.read([&](char** p) { getsint(p, &v); });
    text.read([&](char** p) { getbin(p, &v); });
    text.read([&](char** p) { gethex(p, &v); });
    text.read([&](char** p) { getradixint(p, &v); });
    text.read([&](char** p) { gethexrange(p, &lo, &hi); });
    int flag;
    text.read([&](char** p) { getbool(p, &flag); });
    getdefint(text.start(), 0);
    getdefhex(text.start(), 0);
    getdefradixint(text.start(), 0);
    getdefbool(text.start(), 0);

    double values[3];
    text.read([&](char** p) { require(!getval(p, &values[0]) || std::isfinite(values[0])); });
    text.read([&](char** p) { require(!getval(p, &values[1], sep) || std::isfinite(values[1])); });
    values[2] = getdefdbl(text.start(), 0);
    for (double value : values) {
        auto buf = buffer(24);
        require(std::strlen(fmtval(value, digits, pointprefix, buf.get())) <= 23);
    }
    auto buf = buffer(24);
    require(std::strlen(fmtdim(v, nullptr, digits, buf.get())) <= 23);
}

} // namespace

// Layout of an input: a separator or sought character, a bound, a digit count, then a delimiter
// set up to the first NUL and the text after it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    char c = static_cast<char>(data[0]);
    int n = data[1] - 16;
    int digits = static_cast<int8_t>(data[2]);
    std::string rest(reinterpret_cast<const char*>(data + 3), size - 3);
    size_t split = rest.find('\0');
    std::string delims = split == std::string::npos ? std::string() : rest.substr(0, split);
    Text text(split == std::string::npos ? rest : rest.substr(split + 1));
    scanners(text, c, n < 0 ? 0 : n, delims.c_str());
    numbers(text, c, digits, n & 1);
    return 0;
}
