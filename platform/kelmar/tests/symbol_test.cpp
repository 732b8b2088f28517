#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "core/containers/didx.h"
#include "platform/casq/tests/recordingdevice.h"
#include "platform/kelmar/symbol.h"
#include "platform/kelmar/tests/kelmartest.h"

using namespace kelmartest;

namespace {

// A library of symbols by name, the finder of the instances read while it lives.
struct LIBRARY {
    std::map<std::string, std::unique_ptr<SYMBOL>> symbols;
    SYMBOLFINDER before;

    LIBRARY()
    {
        current() = this;
        before = setsymbolfinder([](const char* name) -> SYMBOL* {
            auto found = current()->symbols.find(name);
            return found == current()->symbols.end() ? nullptr : found->second.get();
        });
    }
    ~LIBRARY() { setsymbolfinder(before); }
    SYMBOL* add(SYMBOL* symbol)
    {
        symbols[symbol->name].reset(symbol);
        return symbol;
    }
    static LIBRARY*& current()
    {
        static LIBRARY* library = nullptr;
        return library;
    }
};

SYMBOL* nodemarker()
{
    auto* marker = new SYMBOL("$MKRNODE");
    marker->add(new PR_CIRCLE(CIRCLE(POINT(), 12700), THIN));
    return marker;
}

// A pin symbol: a line from the origin to the left, its node marker at the far end, its name
// marker above the line.
SYMBOL* pinsymbol(LIBRARY& library)
{
    SYMBOL* node = library.add(nodemarker());
    SYMBOL* name = library.add(new SYMBOL("$MKRPINNAME"));
    auto* pin = new SYMBOL("$PINDEFAULT");
    pin->add(new PR_LINE(LINE(POINT(0, 0), POINT(-254000, 0)), THICK));
    pin->add(new PR_SYM(CTS(POINT(-254000, 0), 1800), node, THIN));
    pin->add(new PR_SYM(CTS(POINT(-127000, 25400)), name, THIN));
    return pin;
}

std::vector<uint8_t> packedsymbol(SYMBOL& symbol)
{
    DPKB buffer(0u, DPKB_WORD32);
    if (!symbol.pack(buffer))
        return {};
    return std::vector<uint8_t>(buffer.base, buffer.putptr);
}

int unpacked(SYMBOL& symbol, const std::vector<uint8_t>& bytes)
{
    DPKB buffer(static_cast<unsigned>(bytes.size()), DPKB_WORD32);
    std::memcpy(buffer.alloc(static_cast<unsigned>(bytes.size())), bytes.data(), bytes.size());
    buffer.getptr = buffer.base;
    return symbol.unpack(buffer);
}

} // namespace

TEST(Symbol, FindsItsMarkersByNameWithTheirPlacement)
{
    LIBRARY library;
    std::unique_ptr<SYMBOL> pin(pinsymbol(library));
    CTS at;
    SYMBOL* marker = nullptr;
    ASSERT_EQ(pin->getmarker("$mkrnode", &at, &marker), 1);
    EXPECT_EQ(at, CTS(POINT(-254000, 0), 1800));
    EXPECT_EQ(marker, library.symbols["$MKRNODE"].get());
    EXPECT_EQ(pin->getmarker("$MKRPINNAME", nullptr, nullptr), 1);
    EXPECT_EQ(pin->getmarker("$MKRBUSNODE", &at, &marker), 0);
    EXPECT_EQ(at, CTS(POINT(-254000, 0), 1800)) << "left alone when absent";
    EXPECT_EQ(pin->issystem(), 1);
}

TEST(Symbol, PacksAndUnpacksWithItsInstancesFoundAgainByName)
{
    LIBRARY library;
    std::unique_ptr<SYMBOL> pin(pinsymbol(library));
    pin->add(new PR_TEXT(CTS(POINT(10, 10)), "PIN", FONT, JUSTIFY_LEFT, THIN));
    std::vector<uint8_t> bytes = packedsymbol(*pin);
    ASSERT_FALSE(bytes.empty());
    SYMBOL read("$PINDEFAULT");
    ASSERT_EQ(unpacked(read, bytes), 1);
    ASSERT_EQ(read.getprimitives().count, 4);
    EXPECT_EQ(packedsymbol(read), bytes);
    SYMBOL* marker = nullptr;
    ASSERT_EQ(read.getmarker("$MKRNODE", nullptr, &marker), 1);
    EXPECT_EQ(marker, library.symbols["$MKRNODE"].get());
    EXPECT_EQ(read.occa(OCCA_DRAWN), pin->occa(OCCA_DRAWN));

    std::unique_ptr<SYMBOL> copy(static_cast<SYMBOL*>(read.duplicate()));
    EXPECT_STREQ(copy->name, "$PINDEFAULT");
    EXPECT_EQ(packedsymbol(*copy), bytes);

    // A damaged record leaves the symbol as it was.
    std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 3);
    cut[0] = static_cast<uint8_t>(cut.size());
    EXPECT_EQ(unpacked(read, cut), 0);
    EXPECT_EQ(read.getprimitives().count, 4);
}

TEST(Symbol, ASymbolThatHoldsItselfIsWalkedOnlySoDeep)
{
    LIBRARY library;
    SYMBOL* loop = library.add(new SYMBOL("LOOP"));
    loop->add(new PR_LINE(LINE(POINT(0, 0), POINT(100, 0)), THIN));
    loop->add(new PR_SYM(CTS(POINT(100, 0)), loop, THIN));
    BOX box = loop->occa(OCCA_SHAPE);
    EXPECT_EQ(box, BOX(0, 0, 100 * SYMBOLNESTING, 0));
    casqtest::RECORDINGDVC device;
    device.begin();
    loop->plot(CTS(), &device, 0);
    EXPECT_EQ(device.recorder.figures.size(), size_t(SYMBOLNESTING));
    DIDX symbols(0, DIDX::KEEPOLD);
    DIDX styles(0, DIDX::KEEPOLD);
    loop->usedlist(symbols, styles);
    EXPECT_EQ(symbols.count, 1);

    // Read back, each instance finds the library's LOOP again: as deep as the finder allows.
    std::vector<uint8_t> bytes = packedsymbol(*loop);
    SYMBOL read("LOOP");
    EXPECT_EQ(unpacked(read, bytes), 1);
    int distance = 0;
    EXPECT_EQ(read.test(POINT(250, 0), &distance), 1);
}

TEST(Symbol, ReplacesInstancesAndListsWhatItUses)
{
    LIBRARY library;
    std::unique_ptr<SYMBOL> pin(pinsymbol(library));
    SYMBOL* bus = library.add(new SYMBOL("$MKRBUSNODE"));
    EXPECT_EQ(pin->replace(library.symbols["$MKRNODE"].get(), bus), 1);
    EXPECT_EQ(pin->getmarker("$MKRNODE", nullptr, nullptr), 0);
    EXPECT_EQ(pin->getmarker("$MKRBUSNODE", nullptr, nullptr), 1);
    EXPECT_EQ(pin->replace(library.symbols["$MKRNODE"].get(), bus), 0);

    DIDX symbols(0, DIDX::KEEPOLD);
    DIDX styles(0, DIDX::KEEPOLD, strcasecmp);
    pin->usedlist(symbols, styles);
    std::vector<std::string> used;
    for (int i = 0; i < symbols.count; ++i)
        used.push_back(symbols.key(i));
    EXPECT_EQ(used, (std::vector<std::string> { "$MKRBUSNODE", "$MKRPINNAME" }));
    EXPECT_EQ(styles.count, 1);
    EXPECT_STREQ(styles.key(0), "BUS WIRE");
}

TEST(Symbol, MakingADeviceFlattensSymbolsAndFindsTheMarkers)
{
    LIBRARY library;
    SYMBOL* origin = library.add(new SYMBOL("$MKRORIGIN"));
    SYMBOL* body = library.add(new SYMBOL("BODY"));
    body->add(new PR_BOX(BOX(0, 0, 100, 50), FILLED));
    body->add(new PR_SYM(CTS(POINT(10, 10)), origin, THIN));
    auto* device = new SYMBOL("DEVICE");
    device->add(new PR_SYM(CTS(POINT(1000, 0), 900), body, THIN));
    device->add(new PR_LINE(LINE(POINT(), POINT(5, 5)), THIN));
    library.add(device);

    GDIDX<MARKER> markers(0, DIDX::KEEPOLD);
    auto* known = new MARKER;
    std::strcpy(known->name, "$MKRORIGIN");
    markers.add(known);
    GDPA<PRIMITIVE> pieces;
    EXPECT_EQ(device->makesym(markers, pieces, CTS(POINT(0, 100))), 1);
    ASSERT_EQ(pieces.count, 3);
    EXPECT_EQ(pieces[0]->kind(), PK_BOX) << "the body symbol gave its own primitives";
    EXPECT_EQ(pieces[1]->kind(), PK_MARKER);
    EXPECT_EQ(known->primitive, pieces[1]);
    CTS at;
    pieces[1]->getornt(&at);
    EXPECT_EQ(at, CTS(POINT(990, 110), 900)) << "(10, 10) turned, moved to (1000, 0), then up by 100";
    EXPECT_EQ(pieces[2]->kind(), PK_LINE);

    // A symbol made of those pieces, its origin at the marker.
    SYMBOL made("MADE", at, pieces);
    CTS marker;
    ASSERT_EQ(made.getmarker("$MKRORIGIN", &marker, nullptr), 1);
    EXPECT_EQ(marker, CTS());
    pieces.zap();
    markers.zap();
}

TEST(Symbol, StylesOfItsPrimitivesFollowTheTable)
{
    LIBRARY library;
    std::unique_ptr<SYMBOL> pin(pinsymbol(library));
    XSTYLE_MANAGER<GSTYLE> table;
    table.add("BUS WIRE", GSTYLE(1, RGB(9, 9, 9), NOCOLOUR), XS_BUILTIN);
    pin->updatestyles(table, nullptr);
    EXPECT_EQ(pin->getprimitives()[0]->getstyle().style.pencolour, RGB(9, 9, 9));
    std::unique_ptr<SYMBOL> copy(pin->clone());
    EXPECT_EQ(copy->getprimitives()[0]->getstyle().style.pencolour, RGB(9, 9, 9));
    EXPECT_NE(copy->getprimitives()[0], pin->getprimitives()[0]);
}
