#include "engines/pallex/tests/harness.h"

#include <gtest/gtest.h>

using harness::Circuit;

TEST(Exports, CallsWithoutACircuitFail)
{
    PXobject* part = nullptr;
    fakes::Instance instance("U1");
    EXPECT_EQ(pallex_create(&instance, "AND", nullptr, nullptr, &part), 0);
    EXPECT_EQ(part, nullptr);
    EXPECT_EQ(pallex_setup(), 0);
    EXPECT_EQ(pallex_accept(1e-9, nullptr, harness::ignore), 0);
    EXPECT_EQ(pallex_terminate(), 1);
}

TEST(Exports, UnknownTypesPinsAndIndexesAreRefused)
{
    Circuit circuit;
    PXobject* part = nullptr;
    EXPECT_EQ(pallex_create(&circuit.instance("U1"), "FLUXCAP", nullptr, nullptr, &part), 0);
    EXPECT_NE(pallex_create(&circuit.instance("U2"), "dff", nullptr, nullptr, &part), 0);
    EXPECT_NE(pallex_connect(part, "clk", 1, "c", nullptr), 0);
    EXPECT_EQ(pallex_connect(part, "CLK", 1, "c2", nullptr), 0);
    EXPECT_EQ(pallex_connect(part, "T", 1, "t", nullptr), 0);
    EXPECT_NE(pallex_connect(part, "Q", 2, "q", nullptr), 0);
    STATE state = 0;
    EXPECT_NE(pallex_peekpin(part, 1, &state), 0);
    EXPECT_EQ(pallex_peekpin(part, 2, &state), 0);
    EXPECT_EQ(pallex_pokepin(part, 0, 0, STATE_SHI), 0);
    EXPECT_EQ(pallex_actuate(part, 0, 1), 0);
    EXPECT_EQ(pallex_linkprobe(part, nullptr, 0), 0);

    PXobject* buffer = circuit.part("B", "BUFFER", { { "A", "a" } });
    EXPECT_EQ(pallex_connect(buffer, "B", 1, "b", nullptr), 0);
    EXPECT_NE(pallex_connect(buffer, "VCC", 7, "vcc", nullptr), 0);
    PXobject* counter = circuit.part("C", "COUNTER", { { "Q31", "q" } });
    EXPECT_EQ(pallex_connect(counter, "Q32", 2, "q", nullptr), 0);
    EXPECT_EQ(pallex_connect(counter, "Q01", 2, "q", nullptr), 0);

    STATE* cell = nullptr;
    EXPECT_EQ(pallex_linknet("nowhere", &cell), 0);
    EXPECT_EQ(cell, nullptr);
    PXlink* link = nullptr;
    EXPECT_EQ(pallex_linkadc("nowhere", &link), 0);
    EXPECT_EQ(pallex_connectpower("~", 14, "q"), 0);
    EXPECT_NE(pallex_connectpower("+5", 14, "q"), 0);
    EXPECT_NE(pallex_connectpower("GND", 14, "g"), 0);
    circuit.start(1e-9);
    EXPECT_EQ(circuit.state("q"), STATE_PHI | 0);
    EXPECT_EQ(circuit.state("g"), STATE_PLO);
}

TEST(Exports, BusPinHoldsPinsOfTheInstance)
{
    Circuit circuit;
    PXobject* part = nullptr;
    fakes::Instance& instance = circuit.instance("U1");
    ASSERT_NE(pallex_create(&instance, "DUMMY", nullptr, nullptr, &part), 0);
    IPALLEXPIN2* pins[2] = {};
    pallex_connect(part, "D0", 3, "d0", &pins[0]);
    IBUSPIN* bus = nullptr;
    EXPECT_EQ(pallex_getbuspin(&instance, "D[0..2]", pins, 2, 0, &bus), 0);
    EXPECT_EQ(bus, nullptr);
    pallex_connect(part, "D1", 3, "d1", &pins[1]);
    EXPECT_NE(pallex_getbuspin(&instance, "D[0..2]", pins, 2, 0, &bus), 0);
    EXPECT_NE(bus, nullptr);
}
