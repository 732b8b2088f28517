#include "schematic/objects/pinconn.h"

#include <gtest/gtest.h>

#include "schematic/objects/objectflags.h"

namespace {

WIRE* wire(int n)
{
    return reinterpret_cast<WIRE*>(static_cast<uintptr_t>(0x1000 * n));
}

TEST(PinConnection, AttachTakesAWireOnlyWhenFreeAndANullWireOnlyAsks)
{
    PINCONN pin;
    EXPECT_EQ(pin.attach(nullptr), 1) << "free";
    EXPECT_TRUE(pin.isfree()) << "asking changes nothing";
    EXPECT_EQ(pin.attach(wire(1)), 1);
    EXPECT_EQ(pin.attach(wire(2)), 0);
    EXPECT_EQ(pin.attach(nullptr), 0) << "taken";
    EXPECT_EQ(pin.getwire(), wire(1)) << "a taken pin keeps its wire";
}

TEST(PinConnection, DetachLetsGoOnlyOfItsOwnWire)
{
    PINCONN pin;
    EXPECT_EQ(pin.detach(nullptr), 0) << "a free pin holds nothing to let go of";
    pin.attach(wire(1));
    EXPECT_EQ(pin.detach(wire(2)), 0);
    EXPECT_EQ(pin.getwire(), wire(1));
    EXPECT_EQ(pin.detach(wire(1)), 1);
    EXPECT_TRUE(pin.isfree());
    EXPECT_EQ(pin.tagged, 0u);
    EXPECT_EQ(pin.visited, 0);
}

TEST(PinConnection, APinCountsAsNearerUpToTheBestDistancePlusAQuarterTenth)
{
    const struct {
        POINT pin;
        int best;
        int accepted;
        int newbest;
    } table[] = {
        { POINT(0, 0), 0, 1, 0 },
        { POINT(63500, 0), 0, 1, 63500 }, // exactly the margin farther: taken, the new best
        { POINT(63501, 0), 0, 0, 0 },
        { POINT(30000, 40000), 0, 1, 50000 },
        { POINT(100000, 0), 40000, 1, 100000 },
        { POINT(103501, 0), 40000, 0, 40000 },
        { POINT(0, -200000), 150000, 1, 200000 },
    };
    for (const auto& row : table) {
        int best = row.best;
        EXPECT_EQ(testnearer(POINT(0, 0), row.pin, &best), row.accepted) << row.pin.x << "," << row.pin.y;
        EXPECT_EQ(best, row.newbest) << row.pin.x << "," << row.pin.y;
    }
}

TEST(ObjectCodes, FlagsHitCodesAndAreaCodesHaveTheValuesFilesAndCallersCompare)
{
    const struct {
        uint32_t flag;
        uint32_t value;
    } flags[] = {
        { OBJ_SIZEMASK, 0x3FF }, { OBJ_ROTATES, 0x400 }, { OBJ_TAGGED, 0x800 }, { OBJ_ERASE, 0x1000 },
        { OBJ_DRAW, 0x2000 }, { OBJ_SAVING, 0x4000 }, { OBJ_VISITED, 0x8000 }, { OBJ_CHANGED, 0x3000 },
    };
    for (const auto& row : flags)
        EXPECT_EQ(row.flag, row.value);
    const struct {
        SCHTESTCODES code;
        int value;
    } codes[] = {
        { HIT_NONE, 0 }, { HIT_AREA, 1 }, { HIT_SCRIPTTEXT, 256 }, { HIT_IMAGE, 257 }, { HIT_SUBCIRCUIT, 258 },
        { HIT_BODY, 259 }, { HIT_LOOSEPIN, 261 }, { HIT_LABEL, 262 }, { HIT_CONNECTEDPIN, 263 },
        { HIT_FREEPIN, 264 }, { HIT_FREEBUSPIN, 265 }, { HIT_FREEBUSDOTPIN, 266 }, { HIT_WIRE, 267 },
        { HIT_MODULEMARKER, 268 },
    };
    for (const auto& row : codes)
        EXPECT_EQ(int(row.code), row.value);
    EXPECT_EQ(int(AREA_ALL), 0);
    EXPECT_EQ(int(AREA_BODY), 1);
    EXPECT_EQ(int(AREA_CONNECTIONS), 2);
    EXPECT_EQ(int(AREA_BLOCK), 3);
}

} // namespace
