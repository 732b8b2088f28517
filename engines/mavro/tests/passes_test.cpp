#include "engines/mavro/mavro.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> reported;

int error(int flags, const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    reported.push_back(std::to_string(flags) + " " + text);
    return 0;
}

// A deck of cards linked in order, owned by the test.
struct Deck {
    explicit Deck(std::vector<std::pair<int, const char*>> lines)
    {
        cards.resize(lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            cards[i] = SPICECARD { lines[i].first, strdup(lines[i].second), nullptr, nullptr, nullptr };
            if (i > 0)
                cards[i - 1].next = &cards[i];
        }
    }
    ~Deck()
    {
        for (SPICECARD& card : cards) {
            std::free(card.text);
            std::free(card.error);
        }
    }
    SPICECARD* head() { return cards.data(); }
    std::vector<SPICECARD> cards;
};

}  // namespace

TEST(Passes, EmptyDeckIsFine)
{
    INPtables* table = INPtabInit(0);
    EXPECT_EQ(INPpas1(nullptr, nullptr, table), 0);
    EXPECT_EQ(INPpas2(nullptr, nullptr, table, nullptr, nullptr), 0);
    INPkillMods();
    INPtabEnd(table);
}

TEST(Passes, CardsNotReadYetGetAnErrorAndNothingElseDoes)
{
    IFfrontEnd frontend {};
    frontend.error = error;
    inpinit(&frontend, nullptr);
    reported.clear();
    Deck deck({ { 1, "test deck" }, { 2, "* comment" }, { 3, "   " }, { 4, ".model d1 d is=1e-14" },
        { 5, "r1 a b 1k" }, { 6, ".options reltol=1e-4" }, { 7, ".end" }, { 0, "$ added" } });
    INPtables* table = INPtabInit(8);
    EXPECT_EQ(INPpas1(nullptr, deck.head(), table), 1);
    EXPECT_EQ(INPpas2(nullptr, deck.head(), table, nullptr, nullptr), 1);
    INPtabEnd(table);
    inpinit(nullptr, nullptr);

    for (const SPICECARD& card : deck.cards) {
        SCOPED_TRACE(card.text);
        EXPECT_EQ(card.error != nullptr, card.line == 4 || card.line == 5);
    }
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].rfind("1 line 5: ", 0), 0u) << reported[0];
}

TEST(Passes, ModelLookupAndLevel)
{
    std::string name = "bc547";
    INPmodel* model = reinterpret_cast<INPmodel*>(&name);
    char* message = INPgetMod(nullptr, name.data(), &model, nullptr);
    ASSERT_NE(message, nullptr);
    EXPECT_STREQ(message, "unable to find definition of model bc547");
    EXPECT_EQ(model, nullptr);
    INPfree(message);

    struct {
        const char* card;
        int level;
        bool warns;
    } cases[] = {
        { ".model m1 nmos vto=1", 1, false },
        { ".model m1 nmos level=3 vto=1", 3, false },
        { ".model m1 nmos (LEVEL = 2)", 2, false },
        { ".model m1 nmos level=2.5", 1, true },
        { ".model m1 nmos level=x", 1, true },
        { ".model m1 nmos level", 1, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.card);
        std::string text = c.card;
        int level = 0;
        char* warning = INPfindLev(text.data(), &level);
        EXPECT_EQ(level, c.level);
        EXPECT_EQ(warning != nullptr, c.warns);
        INPfree(warning);
    }
}

TEST(Passes, EveryCodeHasAText)
{
    for (int code : { 0, E_PAUSE, E_BREAK, E_EXISTS, E_NOTBUILT, E_SINGULAR, E_TIMESTEP, 104, 250, -7 }) {
        const char* text = inperrmsg(code);
        ASSERT_NE(text, nullptr);
        EXPECT_GT(std::strlen(text), 0u);
    }
    EXPECT_STREQ(inperrmsg(E_SINGULAR), "singular matrix");
}
