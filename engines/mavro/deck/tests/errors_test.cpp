#include "engines/mavro/deck/tests/deck.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct BadCard {
    const char* card;
    const char* error; // the card's error text
    bool instance; // whether the card still made its instance
};

bool made(const std::vector<std::string>& calls, const char* card)
{
    std::string name(card, std::strcspn(card, " "));
    return std::any_of(calls.begin(), calls.end(), [&](const std::string& call) {
        return call.rfind("newInstance(", 0) == 0 && call.find(", " + name + ")") != std::string::npos;
    });
}

} // namespace

// Each card that does not read is reported on its own, through the front end and on the card; the
// cards around it are read as usual.
TEST_F(DeckTest, BadCardsAreReportedOneByOne)
{
    const BadCard cases[] = {
        { "r1 a", "2 nodes expected, 1 given", false },
        { "r1", "2 nodes expected, 0 given", false },
        { "m1 d g s", "4 nodes expected, 3 given", false },
        { "x1 a b amp", "unknown device type 'x' of \"x1\"", false },
        { "1abc a b", "unknown device type '1' of \"1abc\"", false },
        { "d1 a b", "model name expected", false },
        { "d1 a b nomodel", "unable to find definition of model nomodel", false },
        { "d1 a b qmod", "model qmod of type npn does not suit d cards", false },
        { "m1 d g s b dmod", "model dmod of type d does not suit m cards", false },
        { "q1 c b e s", "model name expected", false },
        { "f1 a b", "name of the controlling source expected", false },
        { "k1 l1", "names of two inductors expected", false },
        { "e1 a b poly(1) c d 0 1", "the poly form of controlled sources is read from B cards only", false },
        { "g1 a b value={v(c)}", "the value form of controlled sources is read from B cards only", false },
        { "r1 a b 1k foo=2 3", "unknown parameter \"foo\"", true },
        { "r1 a b abc", "unknown parameter \"abc\"\nvalue expected", true },
        { "c1 a b", "value expected", true },
        { "r1 a b 1k 2k", "unexpected value \"2k\"", true },
        { "r1 a b 1e999", "bad number \"1e999\"\nvalue expected", true },
        { "r1 a b resistance=x", "bad value \"x\" for resistance\nvalue expected", true },
        { "r1 a b 1k i=3", "parameter \"i\" cannot be set", true },
        { "c1 a b 1u ic=", "value expected for ic", true },
        { "v1 a 0 pulse(0 1 2n", "')' expected after the values of pulse", true },
        { "v1 a 0 pulse(0 x 2n) dc 1", "bad value \"x\" for pulse", true },
        { "v1 a 0 pwl", "value expected for pwl", true },
        { "b1 a b v=2*(v(c)", "expression of v: ')' expected at column 8", true },
        { "b1 a b v=2*v(c))", "expression of v: operator expected at column 7", true },
        { "b1 a b i=", "expression of i: expression ends too early at column 1", true },
        { "d1 a b dmod off", "unknown parameter \"off\"", true },
    };
    const std::vector<std::string> preamble = { "title", ".model dmod d", ".model qmod npn" };
    for (const BadCard& c : cases) {
        SCOPED_TRACE(c.card);
        std::vector<std::string> deck = preamble;
        deck.insert(deck.end(), { "r0 a 0 1", c.card, "c0 a 0 1p" });
        EXPECT_EQ(load(deck), 1);
        EXPECT_EQ(error(5), c.error);
        EXPECT_EQ(error(4) + error(6), "");
        EXPECT_EQ(made(calls(), c.card), c.instance);
        EXPECT_TRUE(made(calls(), "c0"));
        ASSERT_FALSE(messages().empty());
        EXPECT_EQ(
            messages()[0], "1 line 5: " + error(5).substr(0, error(5).find('\n')) + " in \"" + c.card + "\"");
        TearDown();
        SetUp();
    }
}

TEST_F(DeckTest, CardsOtherThanDevicesNeverStopTheLoad)
{
    EXPECT_EQ(load({ "an amplifier", "* comment", "# comment", "$ comment", "   ", "", ".include models.lib",
                  ".tran 1n 1u", ".print tran v(out)", ".param x=1", ".end", "r1 out 0 1k", "+ 2k" }),
        1);
    EXPECT_EQ(error(13), "Illegal continuation line: ignored.");
    for (std::size_t line = 1; line < 13; ++line)
        EXPECT_EQ(error(line), "") << line;
    EXPECT_EQ(messages(),
        (std::vector<std::string> { "1 line 13: Illegal continuation line: ignored. in \"+ 2k\"" }));
}

TEST_F(DeckTest, AContinuationTheReaderMarkedIsNotMarkedTwice)
{
    load({ "title", "+ stray" });
    std::free(cards[1].error);
    cards[1].error = strdup("Illegal continuation line: ignored.");
    EXPECT_EQ(mavro::pass2(ckt, cards.data(), table, task, options), 1);
    EXPECT_EQ(error(2), "Illegal continuation line: ignored.");
}

TEST_F(DeckTest, DeviceTypesTheEngineLacksOrHasNotBuilt)
{
    // An engine without transmission lines.
    std::vector<const IFdevice*> devices;
    for (int32_t i = 0; i < descriptor.numDevices; ++i) {
        if (std::string(descriptor.devices[i]->name) != "Tranline"
            && std::string(descriptor.devices[i]->name) != "LTRA")
            devices.push_back(descriptor.devices[i]);
    }
    descriptor.devices = devices.data();
    descriptor.numDevices = static_cast<int32_t>(devices.size());
    fakes::script("newModel", { E_NOTBUILT });
    EXPECT_EQ(load({ "title", ".model omod ltra r=1", "t1 a 0 b 0 z0=50", "o1 a 0 b 0 omod", "r1 a 0 1k",
                  "r2 a 0 1k" }),
        4);
    EXPECT_EQ(error(2), "the engine has no device type \"LTRA\" for model omod");
    EXPECT_EQ(error(3), "the engine has no device type \"Tranline\" for \"t1\"");
    EXPECT_EQ(error(4), "the engine has no device type \"LTRA\" for \"o1\"");
    EXPECT_EQ(error(5), "device type \"Resistor\" is not built yet");
    EXPECT_EQ(error(6), "");
}

TEST_F(DeckTest, AnInstanceNameTakenTwice)
{
    EXPECT_EQ(load({ "title", "r1 a b 1k", "R1 c d 2k", "r1 e f 3k" }), 1);
    EXPECT_EQ(error(4), "an instance \"r1\" exists already");
    EXPECT_EQ(error(3), "");
}

TEST_F(DeckTest, HugeAndDamagedLines)
{
    std::string junk = "r1 a b 1k";
    while (junk.size() < (1u << 20))
        junk += " foo=1";
    std::string longnode = "r2 " + std::string(1u << 20, 'n') + " 0 1k";
    std::string unterminated = "v1 a 0 pwl(" + std::string(1u << 20, '1');
    EXPECT_EQ(load({ "title", junk, longnode, unterminated, std::string(1u << 20, ' '), "r3 a 0 1k" }), 2);
    // The first messages and a count of the rest, each message once on the card; the front end gets
    // each card cut short.
    const std::size_t unknown = (junk.size() - 9) / 6;
    EXPECT_EQ(
        error(2), "unknown parameter \"foo\"\n" + std::to_string(unknown - 10) + " more errors on this card");
    EXPECT_EQ(messages().size(), 11u + 1u);
    EXPECT_EQ(error(3), "");
    EXPECT_EQ(error(4), "')' expected after the values of pwl");
    for (const std::string& message : messages())
        EXPECT_LT(message.size(), 200u);
    EXPECT_TRUE(made(calls(), "r3"));
}
