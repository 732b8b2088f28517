// The records of the first version, kept as fixtures: what this version writes must equal them,
// and they must read back. Damaged records (tests/damaged/, named after their reader) must all
// be refused, each read from a buffer exactly as long as the file, so that a reader that looked
// past the end would be caught by the sanitizer build.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "core/files/ramfile.h"
#include "platform/kelmar/label.h"
#include "platform/kelmar/symbol.h"
#include "platform/kelmar/tests/kelmartest.h"
#include "platform/kelmar/textblock.h"
#include "testsupport/temp_folder.h"

using namespace kelmartest;
namespace fs = std::filesystem;

namespace {

const fs::path fixtures = fs::path(VKT_TEST_SOURCE_DIR) / "fixtures";
const fs::path damaged = fs::path(VKT_TEST_SOURCE_DIR) / "damaged";

std::vector<uint8_t> filebytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<uint8_t> written(const std::function<int(VFILE&)>& write)
{
    RAMFILE file;
    if (!write(file))
        return {};
    return std::vector<uint8_t>(file.buffer, file.buffer + file.length);
}

std::vector<uint8_t> packedsymbol(SYMBOL& symbol)
{
    DPKB buffer(0u, DPKB_WORD32);
    if (!symbol.pack(buffer))
        return {};
    return std::vector<uint8_t>(buffer.base, buffer.putptr);
}

// A buffer exactly as long as the bytes, its cursor at the start.
std::unique_ptr<DPKB> bufferof(const std::vector<uint8_t>& bytes)
{
    auto buffer = std::make_unique<DPKB>(static_cast<unsigned>(bytes.size()), DPKB_WORD32);
    if (!bytes.empty())
        std::memcpy(buffer->alloc(static_cast<unsigned>(bytes.size())), bytes.data(), bytes.size());
    buffer->getptr = buffer->base;
    return buffer;
}

SYMBOL* marker(const char* name)
{
    static std::map<std::string, std::unique_ptr<SYMBOL>> markers;
    auto& symbol = markers[name];
    if (!symbol) {
        symbol = std::make_unique<SYMBOL>(name);
        symbol->add(new PR_CIRCLE(CIRCLE(POINT(), 12700), THIN));
    }
    return symbol.get();
}

// What the fixtures hold, by file name.
std::map<std::string, std::vector<uint8_t>> records()
{
    std::map<std::string, std::vector<uint8_t>> bytes;
    TSTYLE_ENTRY refstyle("COMPONENT ID", TSTYLE("Default Font", 381000, 203200, RGB(0, 0, 128), 0));
    LABEL label("R12", &refstyle);
    label.setcts(CTS(POINT(-2540000, 127000), 900, 1), JUSTIFY_CENTRE | JUSTIFY_MIDDLE);
    label.flags = LABEL_LOCKED;
    bytes["label.rec"] = written([&](VFILE& f) { return label.write(f); });

    TSTYLE_ENTRY properties("PROPERTIES", TSTYLE("Vector Font", 254000, 203200, 0, TS_HIDDEN));
    TEXTBLOCK block("PACKAGE=DIL08\n{PRIMITIVE=ANALOG}\n", &properties);
    block.setcts(CTS(POINT(254000, -508000)), JUSTIFY_LEFT | JUSTIFY_TOP);
    bytes["textblock.rec"] = written([&](VFILE& f) { return block.write(f); });

    XSTYLE_MANAGER<GSTYLE> gstyles;
    gstyles.add("COMPONENT", GSTYLE(40640, RGB(128, 0, 0), RGB(200, 200, 170)), XS_BUILTIN);
    gstyles.add("DASHED", GSTYLE(RGB(0, 0, 255), PENSTYLE_DASH), XS_USED);
    bytes["gstyles.tbl"] = written([&](VFILE& f) { return gstyles.write(f); });
    XSTYLE_MANAGER<TSTYLE> tstyles;
    tstyles.add("PIN NAME", TSTYLE("Default Font", 254000, 203200, 0, 0), XS_BUILTIN);
    tstyles.add("NOTES", TSTYLE("Arial", 127000, 101600, RGB(0, 128, 0), TS_BOLD | TS_ITALIC), 0);
    bytes["tstyles.tbl"] = written([&](VFILE& f) { return tstyles.write(f); });

    std::vector<std::pair<const char*, PRIMITIVE*>> primitives = {
        { "primitive-line.rec", new PR_LINE(LINE(POINT(-5, 7), POINT(254000, 508000)), THICK) },
        { "primitive-box.rec", new PR_BOX(BOX(0, 0, 1000, 500), FILLED) },
        { "primitive-circle.rec", new PR_CIRCLE(CIRCLE(POINT(10, 20), 300), THIN) },
        { "primitive-bezier.rec", new PR_BEZIER(arch(), THIN) },
        { "primitive-path.rec", new PR_PATH(closedpath(), FILLED) },
        { "primitive-text.rec", new PR_TEXT(CTS(POINT(3, 4), 900), "TWO\nLINES", FONT, JUSTIFY_CENTRE, THIN) },
        { "primitive-symbol.rec", new PR_SYM(CTS(POINT(9, 9), 2700, 2), marker("$MKRNODE"), THIN) },
    };
    primitives[1].second->map(CTS(POINT(), 450));
    for (auto& [name, primitive] : primitives) {
        bytes[name] = packed(*primitive);
        delete primitive;
    }

    SYMBOL pin("$PINDEFAULT");
    pin.add(new PR_LINE(LINE(POINT(0, 0), POINT(-254000, 0)), THICK));
    pin.add(new PR_SYM(CTS(POINT(-254000, 0), 1800), marker("$MKRNODE"), THIN));
    pin.add(new PR_SYM(CTS(POINT(-127000, 25400)), marker("$MKRPINNAME"), THIN));
    bytes["symbol.rec"] = packedsymbol(pin);
    return bytes;
}

SYMBOL* findmarker(const char* name)
{
    return std::strncmp(name, "$MKR", 4) == 0 ? marker(name) : nullptr;
}

// Reads the bytes as the named reader does; 1 when the whole record was read.
int readas(const std::string& reader, const std::vector<uint8_t>& bytes, std::vector<uint8_t>& again)
{
    RAMFILE file(const_cast<uint8_t*>(bytes.data()), static_cast<int>(bytes.size()));
    if (reader == "label") {
        LABEL label;
        int read = label.read(file) && file.tell() == file.length;
        again = written([&](VFILE& f) { return label.write(f); });
        return read;
    }
    if (reader == "textblock") {
        TEXTBLOCK block;
        int read = block.read(file, 50) && file.tell() == file.length;
        again = written([&](VFILE& f) { return block.write(f); });
        return read;
    }
    if (reader == "gstyles") {
        XSTYLE_MANAGER<GSTYLE> table;
        int read = table.read(file) && file.tell() == file.length;
        again = written([&](VFILE& f) { return table.write(f); });
        return read;
    }
    if (reader == "tstyles") {
        XSTYLE_MANAGER<TSTYLE> table;
        int read = table.read(file) && file.tell() == file.length;
        again = written([&](VFILE& f) { return table.write(f); });
        return read;
    }
    auto buffer = bufferof(bytes);
    if (reader == "primitive") {
        std::unique_ptr<PRIMITIVE> primitive(PRIMITIVE::make(*buffer));
        again = primitive ? packed(*primitive) : std::vector<uint8_t>();
        return primitive && buffer->getptr == buffer->base + buffer->size;
    }
    SYMBOL symbol("READ");
    int read = symbol.unpack(*buffer) && buffer->getptr == buffer->base + buffer->size;
    again = packedsymbol(symbol);
    return read;
}

std::string readerof(const std::string& file)
{
    return file.substr(0, file.find_first_of("-."));
}

} // namespace

TEST(Records, TheFirstVersionsFixturesAreWrittenAlikeAndReadBack)
{
    SYMBOLFINDER before = setsymbolfinder(findmarker);
    for (const auto& [name, bytes] : records()) {
        ASSERT_FALSE(bytes.empty()) << name;
        std::vector<uint8_t> fixture = filebytes(fixtures / name);
        if (fixture != bytes) {
            std::ofstream(vkt::test::tempFolder() / name, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
            ADD_FAILURE() << name << " differs from its fixture; this version's bytes are in "
                          << (vkt::test::tempFolder() / name);
            continue;
        }
        std::vector<uint8_t> again;
        EXPECT_EQ(readas(readerof(name), fixture, again), 1) << name;
        EXPECT_EQ(again, fixture) << name;
    }
    setsymbolfinder(before);
}

TEST(Records, EveryDamagedRecordIsRefused)
{
    SYMBOLFINDER before = setsymbolfinder(findmarker);
    int files = 0;
    for (const auto& entry : fs::directory_iterator(damaged)) {
        std::string name = entry.path().filename().string();
        std::vector<uint8_t> again;
        EXPECT_EQ(readas(readerof(name), filebytes(entry.path()), again), 0) << name;
        ++files;
    }
    EXPECT_GT(files, 0);
    setsymbolfinder(before);
}
