#include "engines/mavro/mavro.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

TEST(Passes, EmptyDeckIsFine)
{
    INPtables* table = INPtabInit(0);
    EXPECT_EQ(INPpas1(nullptr, nullptr, table), 0);
    EXPECT_EQ(INPpas2(nullptr, nullptr, table, nullptr, nullptr), 0);
    INPkillMods();
    INPtabEnd(table);
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
        { ".model level nmos level=2", 2, false },
        { "level=4", 4, false },
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
