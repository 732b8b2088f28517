#include "engines/mavro/deck/tests/deck.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST_F(DeckTest, ModelsAreMadeOnTheirFirstUseOnly)
{
    EXPECT_EQ(load({ "title", ".model used d is=1e-14", ".model unused d is=1",
                  ".MODEL Q1:Mod PNP BF=50 level=2" }),
        0);
    // The first pass only reads the cards.
    EXPECT_EQ(calls(), std::vector<std::string> {});

    INPmodel* model = nullptr;
    std::string name = "used";
    EXPECT_EQ(mavro::getmodel(ckt, name.data(), &model, table), nullptr);
    ASSERT_NE(model, nullptr);
    EXPECT_STREQ(model->name, "used");
    EXPECT_EQ(model->card, &cards[1]);
    IFmodel* engine = model->model;
    EXPECT_NE(engine, nullptr);
    EXPECT_EQ(
        calls(), (std::vector<std::string> { "newModel(Diode, used)", "setModelParm(used, is=1e-14)" }));

    INPmodel* again = nullptr;
    EXPECT_EQ(mavro::getmodel(ckt, name.data(), &again, table), nullptr);
    EXPECT_EQ(again, model);
    EXPECT_EQ(again->model, engine);
    EXPECT_EQ(calls().size(), 2u);

    // Names from the kernel are lower case; LEVEL picks no device but a BJT's and is no parameter.
    name = "q1:mod";
    EXPECT_EQ(mavro::getmodel(ckt, name.data(), &model, table), nullptr);
    EXPECT_STREQ(model->name, "Q1:Mod");
    EXPECT_EQ(calls().back(), "setModelParm(Q1:Mod, bf=50)");
    EXPECT_EQ(error(4), "");
}

TEST_F(DeckTest, MosfetLevels)
{
    const std::pair<const char*, const char*> cases[] = { { "", "MOS1" }, { "level=1", "MOS1" },
        { "level=2", "MOS2" }, { "level=3", "MOS3" }, { "level=4", "BSIM1" }, { "level=5", "BSIM2" },
        { "level=6", "MOS6" }, { "level=7", "BSIM3" }, { "(LEVEL = 6 vto=1)", "MOS6" } };
    for (const auto& [level, device] : cases) {
        SCOPED_TRACE(level);
        EXPECT_EQ(load({ "title", std::string(".model m nmos ") + level, "m1 d g s b m" }), 0);
        EXPECT_EQ(calls().at(0), std::string("newModel(") + device + ", m)");
        EXPECT_EQ(calls().at(1), "setModelParm(m, nmos=1)");
        TearDown();
        SetUp();
    }
    // The kernel binds MOS1 for a level it does not know; so does the deck, and says so.
    EXPECT_EQ(
        load({ "title", ".model m nmos level=9", ".model p pmos level=x", "m1 d g s b m", "m2 d g s b p" }),
        2);
    EXPECT_EQ(error(2), "invalid level 9 for MOSFET model m: level 1 used");
    EXPECT_EQ(error(3), "illegal LEVEL x: level 1 assumed");
    EXPECT_EQ(calls().at(0), "newModel(MOS1, m)");
}

TEST_F(DeckTest, ModelCardsThatDoNotRead)
{
    EXPECT_EQ(
        load({ "title", ".model", ".model lonely", ".model odd xyz a=1", ".model d1 d", ".model D1 d rs=1",
            ".model d2 d bogus=1 rs=2 is", "d1 a 0 odd", "d2 a 0 d2", "d3 a 0 d2" }),
        5);
    EXPECT_EQ(error(2), "model name expected");
    EXPECT_EQ(error(3), "model type expected for lonely");
    EXPECT_EQ(error(4), "model odd has the unknown type \"xyz\"");
    EXPECT_EQ(error(5), "");
    EXPECT_EQ(error(6), "model D1 is defined twice: the first definition is used");
    // Parameters are read when the model is made: its card gets the complaints, the devices do not;
    // one the device does not know is left out with a warning alone.
    EXPECT_EQ(error(7), "value expected for is");
    EXPECT_EQ(error(8), "model odd has the unknown type \"xyz\"");
    EXPECT_EQ(error(9) + error(10), "");
    const std::vector<std::string> made = calls();
    EXPECT_EQ(std::count(made.begin(), made.end(), "newModel(Diode, d2)"), 1);

    INPmodel* model = reinterpret_cast<INPmodel*>(&cards);
    std::string name = "odd";
    char* problem = mavro::getmodel(ckt, name.data(), &model, table);
    EXPECT_STREQ(problem, "model odd has the unknown type \"xyz\"");
    EXPECT_EQ(model, nullptr);
    std::free(problem);
}

TEST_F(DeckTest, OptionsCardsSetTheOptionsAnalysis)
{
    EXPECT_EQ(load({ "title", ".options reltol=1e-4 method=gear itl4=50 oldlimit bypass=0",
                  ".option temp=50 bogus=3", ".OPT maxord 3" }),
        0);
    EXPECT_EQ(calls(),
        (std::vector<std::string> { "setAnalysisParm(OPTIONS, reltol=0.0001)",
            "setAnalysisParm(OPTIONS, method=\"gear\")", "setAnalysisParm(OPTIONS, itl4=50)",
            "setAnalysisParm(OPTIONS, oldlimit=1)", "setAnalysisParm(OPTIONS, bypass=0)",
            "setAnalysisParm(OPTIONS, temp=50)", "setAnalysisParm(OPTIONS, maxord=3)" }));
    // Another simulator's option is left out with a warning; the card does not fail.
    EXPECT_EQ(error(3), "");
    EXPECT_EQ(messages(),
        std::vector<std::string> {
            "1 line 3: unknown option \"bogus\" left out in \".option temp=50 bogus=3\"" });

    // Without an options analysis the card is reported and the load goes on.
    options = nullptr;
    EXPECT_EQ(mavro::pass2(ckt, cards.data(), table, task, options), 3);
    EXPECT_EQ(error(4), "no options analysis to take the card");
}
