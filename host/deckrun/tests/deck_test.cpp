// The deck reader: the cards it hands out, line by line, however the deck is written and wherever
// its memory is cut into stretches.
#include "host/deckrun/deck.h"
#include "simulator/kernel/spicedeck/spicedeck.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

std::string write(const std::string& name, const std::string& text)
{
    const std::string path = (vkt::test::tempFolder() / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// Every card handed out as "line|text": the controls first, then the device cards a part at a time.
struct Handed {
    std::vector<std::string> controls;
    std::vector<std::string> devices;
};

void take(const SPICECARD* cards, std::vector<std::string>& into)
{
    for (const SPICECARD* card = cards; card; card = card->next)
        into.push_back(std::to_string(card->line) + "|" + card->text);
}

Handed handed(const std::string& path, std::size_t part = 3)
{
    deckrun::Deck deck;
    std::string error;
    EXPECT_TRUE(deck.read(path, &error)) << error;
    Handed cards;
    take(deck.controls(), cards.controls);
    while (SPICECARD* devices = deck.nextdevices(part)) {
        take(devices, cards.devices);
        freecards(devices);
    }
    return cards;
}

TEST(Deck, ReadsCardsByTheDecksRules)
{
    write("sub.inc", "R1 A B 1 ; In The Include\n+ 2\n.Include 'Deeper.inc'\n+ Ic=0\n");
    write("Deeper.inc", "C1 A 0 1P\n");
    struct Case {
        const char* what;
        std::string deck;
        std::vector<std::string> controls;
        std::vector<std::string> devices;
    };
    const std::vector<Case> cases = {
        { "lowered, comments left out, text after semicolons too but on the title, which is no device",
            "Title; Kept\nR1 A B 1K ; value\n* Note\n.OP\n", { "1|title; kept", "4|.op" },
            { "2|r1 a b 1k " } },
        { "continuations joined with one blank before what follows the plus",
            "t\nr1 a b\n* between\n+ 1k\n  +  tc1=0.1  \n;+ gone\n", { "1|t" }, { "2|r1 a b  1k   tc1=0.1  " } },
        { "line feeds after carriage returns, the last line without either", "t\r\nr1 a b 1\r\n+ 2\r\n.op",
            { "1|t", "4|.op" }, { "2|r1 a b 1  2" } },
        { "control blocks and what follows .end left out",
            "t\nr1 a b 1\n.control\nrun\n+ more\n.endc\n.op\n.END\nr2 a b 1\n", { "1|t", "7|.op" },
            { "2|r1 a b 1" } },
        { "includes read in place on the including card's line, their name as written",
            "t\nr0 a b 1\n.inc sub.inc ; the models\nr2 a b 1\n", { "1|t" },
            { "2|r0 a b 1", "3|r1 a b 1   2", "3|c1 a 0 1p  ic=0", "4|r2 a b 1" } },
        { "a continuation of the title or a blank line continues nothing", "t\n+ more\n \n+r1 a b 1\n.op\n",
            { "1|t", "2|+ more", "4|+r1 a b 1", "5|.op" }, {} },
        { "the first line is the title whatever it begins with", "+ t\n\nr1 a b 1\n", { "1|+ t" },
            { "3|r1 a b 1" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Handed cards = handed(write("deck.cir", c.deck));
        EXPECT_EQ(cards.controls, c.controls);
        EXPECT_EQ(cards.devices, c.devices);
    }
}

TEST(Deck, RefusesWhatItCannotRead)
{
    const std::pair<std::string, std::string> cases[] = {
        { "t\n.include nowhere.inc\n", "cannot read" },
        { "t\n.include self.cir\n", "self.cir:2: includes nested too deep" },
    };
    for (const auto& [text, message] : cases) {
        deckrun::Deck deck;
        std::string error;
        EXPECT_FALSE(deck.read(write("self.cir", text), &error));
        EXPECT_NE(error.find(message), std::string::npos) << error;
    }
}

// Cards of this many characters fill a stretch exactly, their records included.
constexpr std::size_t Even = 56;

std::string padded(std::string card)
{
    card.resize(Even, 'x');
    return card;
}

TEST(Deck, CardsCrossTheStretchesWhole)
{
    // A title and device cards that fill the first stretch to its last byte, the last continued onto
    // the next; a card ending the second exactly, then a card longer than a stretch.
    const std::size_t perstretch = deckrun::Deck::StretchBytes / (Even + 8);
    std::string deck = padded("Title") + "\n";
    std::vector<std::string> devices;
    int line = 1;
    for (std::size_t k = 1; k < perstretch; ++k) {
        const std::string card = padded("r" + std::to_string(k) + " a b 1 ");
        // Written in capitals with a comment and a carriage return now and then.
        std::string raw = card;
        if (k % 3 == 0)
            raw[0] = 'R';
        deck += raw + (k % 5 == 0 ? ";Comment" : "") + (k % 7 == 0 ? "\r\n" : "\n");
        devices.push_back(std::to_string(++line) + "|" + card);
    }
    // The continued card takes two cards' room on the next stretch.
    std::string continuation = "+ Continued";
    continuation.resize(Even + 8, 'Y');
    deck += continuation + "\n";
    ++line;
    std::string continued = " continued";
    continued.resize(Even + 8 - 1, 'y');
    devices.back() += " " + continued;
    for (std::size_t k = 0; k < perstretch - 2; ++k) {
        const std::string card = padded("c" + std::to_string(k) + " a 0 1p ");
        deck += card + "\n";
        devices.push_back(std::to_string(++line) + "|" + card);
    }
    deck += "v1 a 0 1\n";
    std::string giant = "b1 a 0 v=0";
    devices.push_back(std::to_string(++line) + "|v1 a 0 1");
    deck += giant + "\n";
    const int giantline = ++line;
    for (std::size_t written = 0; written < deckrun::Deck::StretchBytes * 2; written += 1000) {
        const std::string more = "+" + std::string(998, '1') + "\n";
        deck += more;
        giant += " " + more.substr(1, 998);
        ++line;
    }
    devices.push_back(std::to_string(giantline) + "|" + giant);
    deck += ".OP\n";
    ++line;

    const Handed cards = handed(write("big.cir", deck), 4096);
    EXPECT_EQ(
        cards.controls, (std::vector<std::string> { "1|" + padded("title"), std::to_string(line) + "|.op" }));
    ASSERT_EQ(cards.devices.size(), devices.size());
    for (std::size_t k = 0; k < devices.size(); ++k)
        ASSERT_EQ(cards.devices[k], devices[k]) << "card " << k;
}

} // namespace
