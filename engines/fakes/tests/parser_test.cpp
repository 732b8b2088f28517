#include "engines/fakes/parser.h"
#include "engines/fakes/recorder.h"
#include "engines/fakes/spice.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

TEST(FakeParser, RecordsTheKernelsCallsAndUsesTheRealTableAndTokenizer)
{
    fakes::reset();
    IFfrontEnd frontend {};
    IFsimulator* engine = nullptr;
    ASSERT_EQ(siminit(&frontend, &engine), 0);
    IFsimulator descriptor = *engine;
    ASSERT_EQ(inpinit(&frontend, &descriptor), 0);
    IFcircuit* ckt = nullptr;
    engine->newCircuit(&ckt);

    INPtables* table = INPtabInit(3);
    std::string net = "OUT", ground = "GND";
    char* name = net.data();
    IFnode* node = nullptr;
    EXPECT_EQ(INPtermInsert(ckt, &name, table, &node), 0);
    EXPECT_STREQ(node->name, "OUT");
    name = ground.data();
    EXPECT_EQ(INPgndInsert(ckt, &name, table, &node), 0);

    std::string poly = "(2) 1 0 2 0 0 1 1";
    char* cursor = poly.data() + 4;
    char* token = nullptr;
    INPgetTok(&cursor, &token, 1);
    INPfree(token);
    int error = 0;
    EXPECT_EQ(INPevaluate(&cursor, &error, 1), 0.0);

    INPmodel record { "d1", 4, nullptr, nullptr };
    fakes::parser().models["d1"] = record;
    INPmodel* model = nullptr;
    EXPECT_EQ(INPgetMod(ckt, const_cast<char*>("d1"), &model, table), nullptr);
    EXPECT_EQ(model->type, 4);
    char* missing = INPgetMod(ckt, const_cast<char*>("q1"), &model, table);
    EXPECT_STREQ(missing, "unable to find definition of model q1");
    INPfree(missing);

    std::string expression = "v(\"OUT\")*2";
    cursor = expression.data();
    IFparseTree* tree = nullptr;
    EXPECT_EQ(INPgetTree(&cursor, &tree, ckt, table), 0);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(fakes::parser().trees.back().text, expression);

    SPICECARD second { 2, nullptr, nullptr, nullptr, nullptr };
    SPICECARD first { 1, nullptr, nullptr, &second, nullptr };
    fakes::script("INPpas2", { 1 });
    EXPECT_EQ(INPpas1(ckt, &first, table), 0);
    EXPECT_EQ(INPpas2(ckt, &first, table, nullptr, nullptr), 1);
    INPtabEnd(table);
    INPkillMods();

    EXPECT_EQ(fakes::calls(),
        (std::vector<std::string> { "siminit()", "inpinit()", "newCircuit()", "INPtabInit(3)", "INPtermInsert(OUT)",
            "newNode(OUT)", "INPgndInsert(GND)", "groundNode(GND)", "INPgetTok() -> 1", "INPevaluate() -> 0",
            "INPgetMod(d1)", "INPgetMod(q1)", "INPgetTree(v(\"OUT\")*2)", "INPpas1(2 cards)",
            "INPpas2(2 cards, -, -)", "INPtabEnd()", "INPkillMods()" }));
    fakes::reset();
}
