#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/containers/dpkb.h"
#include "platform/hulvane/netgen.h"
#include "platform/hulvane/netlist.h"
#include "platform/hulvane/pinout.h"

namespace {

namespace fs = std::filesystem;

std::string readfile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string fixture(const char* name)
{
    return readfile(fs::path(VKT_TEST_SOURCE_DIR) / "fixtures" / "pinout" / name);
}

TEST(Pinout, AGateScriptAnswersEveryQuery)
{
    PINOUT pinout("DIL14");
    std::ostringstream messages;
    const std::string text = fixture("7400.txt");
    ASSERT_EQ(pinout.compile(text, &messages), 1) << messages.str();
    EXPECT_EQ(pinout.getscript(), text);
    EXPECT_EQ(pinout.getelements(), 4);
    EXPECT_STREQ(pinout.getelementpinnum(0, "A"), "1");
    EXPECT_STREQ(pinout.getelementpinnum(3, "y"), "11");
    EXPECT_EQ(pinout.getelementpinnum(4, "A"), nullptr);
    EXPECT_EQ(pinout.getelementpinnum(0, "C"), nullptr);
    std::vector<std::string> virtuals;
    pinout.getvirtualpins(virtuals);
    EXPECT_EQ(virtuals, (std::vector<std::string> { "VCC", "GND" }));
    EXPECT_EQ(pinout.getpintype("vcc"), ET_POWER);
    EXPECT_EQ(pinout.getpintype("A"), -1);
    EXPECT_STREQ(pinout.getvirtualpinnum("GND", 0), "7");
    EXPECT_EQ(pinout.getvirtualpinnum("GND", 1), nullptr);
    EXPECT_TRUE(pinout.isvirtual("VCC"));
    EXPECT_TRUE(pinout.iscommon("VCC"));
    EXPECT_FALSE(pinout.iscommon("A"));
    std::string swapped;
    ASSERT_EQ(pinout.getswappedpins(1, swapped), 1);
    EXPECT_EQ(swapped, "A, B");
    EXPECT_EQ(pinout.getswappedpins(2, swapped), 0);
    EXPECT_EQ(pinout.getgateswap(), 1);
    std::string number;
    int type = ET_INPUT;
    ASSERT_EQ(pinout.getnetinfo("U1:C", "B", number, type), 1);
    EXPECT_EQ(number, "10");
    EXPECT_EQ(type, ET_INPUT) << "a pin of the elements keeps the device's type";
    EXPECT_EQ(pinout.checkpinswap("A,B;Y"), 1);
    EXPECT_EQ(pinout.checkpinswap("A,Q"), 0);
}

// The other writer: no blanks, long type names, one line per leg, a bus, doubled braces, several
// pads in one item, absent and unknown pads, and a script that ends where another block begins.
TEST(Pinout, ABusScriptOfTheOtherWriterStopsAtTheNextBlock)
{
    PINOUT pinout;
    std::ostringstream messages;
    const std::string text = fixture("buffers.txt");
    ASSERT_EQ(pinout.compile(text, &messages), 1) << messages.str();
    EXPECT_STREQ(pinout.name, "SO20");
    EXPECT_EQ(text.substr(pinout.consumed()).rfind("*PROPDEFS", 0), 0u);
    EXPECT_EQ(pinout.getscript(), text.substr(0, pinout.consumed()));
    const struct {
        int element;
        const char* pin;
        const char* pads;
    } cases[] = {
        { 0, "D0", "1" },
        { 0, "D[3]", "4" },
        { 1, "d2", "13" },
        { 1, "D3", "*" },
        { 0, "OE", "5/6" },
        { 0, "{CLK}", "" },
        { 1, "{CLK}", "16" },
    };
    for (const auto& c : cases)
        EXPECT_STREQ(pinout.getelementpinnum(c.element, c.pin), c.pads) << c.pin << " of " << c.element;
    EXPECT_EQ(pinout.getelementpinnum(0, "D4"), nullptr);
    EXPECT_EQ(pinout.getelementpinnum(0, "D[0..3]x"), nullptr);
    EXPECT_STREQ(pinout.getvirtualpinnum("VDD", 1), "19");
    EXPECT_EQ(pinout.getpintype("VDD"), ET_POWER);
    EXPECT_EQ(pinout.getncpins(), "7,8,9,17,18");
    EXPECT_TRUE(pinout.iscommon("shield"));
    EXPECT_EQ(pinout.getgateswap(), 0);
}

// A packaging is stored in the device libraries as its script and read back compiled.
TEST(Pinout, APackedPackagingUnpacksAsTheSameScript)
{
    PINOUT pinout("DIL14");
    ASSERT_EQ(pinout.compile(fixture("7400.txt"), nullptr), 1);
    DPKB packed(0u, DPKB_WORD32);
    ASSERT_EQ(pinout.pack(packed), 1);
    packed.getptr = packed.base;
    PINOUT read("DIL14");
    ASSERT_EQ(read.unpack(packed), 1);
    EXPECT_EQ(read.getscript(), pinout.getscript());
    EXPECT_STREQ(read.getelementpinnum(2, "Y"), "8");
    std::unique_ptr<RLIB_ENTRY> copy(pinout.duplicate());
    EXPECT_STREQ(copy->name, "DIL14");
    EXPECT_EQ(static_cast<PINOUT*>(copy.get())->getelements(), 4);

    // A record cut short, or whose script no longer compiles, is refused.
    const std::vector<unsigned char> whole(packed.base, packed.base + packed.size);
    for (const size_t cut : { size_t(3), whole.size() - 1 }) {
        DPKB damaged(0u, DPKB_WORD32);
        std::memcpy(damaged.alloc(static_cast<unsigned>(cut)), whole.data(), cut);
        damaged.getptr = damaged.base;
        PINOUT refused;
        EXPECT_EQ(refused.unpack(damaged), 0) << cut;
    }
    DPKB garbled(0u, DPKB_WORD32);
    std::memcpy(garbled.alloc(static_cast<unsigned>(whole.size())), whole.data(), whole.size());
    garbled.base[9] = '#';
    garbled.getptr = garbled.base;
    PINOUT refused;
    EXPECT_EQ(refused.unpack(garbled), 0);
}

TEST(Pinout, BadScriptsAreRefusedWithTheirLineAndColumn)
{
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        { "noname.txt", "line 1, column 8: the pinout has no name.\n" },
        { "noheader.txt", "line 1, column 1: the script does not begin with *PINOUT.\n" },
        { "unclosed.txt", "line 3, column 1: '}' expected at the end of the line.\n" },
        { "toofew.txt", "line 3, column 1: pin 'A' has 1 pad items; 2 expected.\n" },
        { "elements.txt", "line 2, column 1: ELEMENTS must be a number from 1 to 26.\n" },
        { "twice.txt", "line 4, column 1: pin 'a' is given twice.\n" },
        { "badtype.txt", "line 3, column 1: unknown pin type 'XX'.\n" },
        { "openquote.txt", "line 3, column 3: '}' expected at the end of the line.\n" },
        { "emptyitem.txt", "line 3, column 1: a pad list holds an empty or unreadable item.\n" },
        { "keyword.txt", "line 3, column 1: unknown keyword 'SWAPS'.\n" },
        { "gateswap.txt", "line 3, column 1: GATESWAP must be TRUE or FALSE.\n" },
        { "nobrace.txt", "line 3, column 1: '{' expected.\n" },
    };
    int files = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(VKT_TEST_SOURCE_DIR) / "damaged" / "pinout")) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, static_cast<int>(std::size(cases))) << "every damaged script has its case here";
    for (const auto& c : cases) {
        PINOUT pinout("DIL8");
        std::ostringstream messages;
        EXPECT_EQ(pinout.compile(readfile(fs::path(VKT_TEST_SOURCE_DIR) / "damaged" / "pinout" / c.file), &messages), 0)
            << c.file;
        EXPECT_EQ(messages.str(), c.message) << c.file;
        EXPECT_EQ(pinout.getelementpinnum(0, "A"), nullptr) << "nothing of a refused script stays";
        EXPECT_TRUE(pinout.getscript().empty());
    }
}

TEST(Pinout, ThePinsOfNoElementJoinTheirNetsOncePerPart)
{
    PINOUT pinout;
    ASSERT_EQ(pinout.compile(fixture("7400.txt"), nullptr), 1);
    NETLIST netlist;
    NET_PART* a = netlist.addelement("U1:A", "7400", PROPLIST(""), nullptr, 0);
    NET_PART* b = netlist.addelement("U1:B", "7400", PROPLIST(""), nullptr, 0);
    NET_PART* other = netlist.addelement("U2:A", "7400", PROPLIST(""), nullptr, 0);
    pinout.netgen(netlist, "U1:A", a, nullptr);
    pinout.netgen(netlist, "U1:B", b, nullptr);
    pinout.netgen(netlist, "U2:A", other, nullptr);
    ASSERT_EQ(netlist.validate(), 0);
    ASSERT_EQ(netlist.nets().size(), 2u);
    const NET* vcc = netlist.netptr("VCC");
    ASSERT_NE(vcc, nullptr);
    ASSERT_EQ(vcc->pins.size(), 2u);
    EXPECT_EQ(vcc->pins[0].part, a);
    EXPECT_EQ(vcc->pins[0].number, "14");
    EXPECT_EQ(vcc->pins[1].part, other);
    EXPECT_EQ(getelementidx("U1:C"), 2);
    EXPECT_EQ(getelementidx("J1:3"), 2);
    EXPECT_EQ(getelementidx("R1"), 0);
}

} // namespace
