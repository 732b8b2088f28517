#include <gtest/gtest.h>

#include "platform/kelmar/cts16.h"

TEST(OldPlacement, EveryQuarterTurnMatrixWidensToItsTransform)
{
    for (int mirror = 0; mirror < 2; ++mirror) {
        for (int angle = 0; angle < 3600; angle += 900) {
            CTS expected(POINT(-120, 75), angle, mirror);
            POINT ex = expected.turn(POINT(1, 0));
            POINT ey = expected.turn(POINT(0, 1));
            const int16_t fields[6] = { -120, 75, int16_t(ex.x), int16_t(ey.x), int16_t(ex.y), int16_t(ey.y) };
            uint8_t bytes[12];
            for (int i = 0; i < 6; ++i) {
                bytes[2 * i] = uint8_t(fields[i]);
                bytes[2 * i + 1] = uint8_t(uint16_t(fields[i]) >> 8);
            }
            CTS widened = CTS16::frombytes(bytes).widen();
            EXPECT_EQ(widened.map(POINT(3, 5)), expected.map(POINT(3, 5))) << angle << " " << mirror;
            EXPECT_EQ(widened.offset(), POINT(-120, 75));
        }
    }
    CTS16 sheared;
    sheared.xy = 1;
    EXPECT_EQ(sheared.widen(), CTS()) << "no quarter turn: no turn";
}
