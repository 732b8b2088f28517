// The text of time/value pairs a file generator plays.
#include "simulator/models/builtin/pointfile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(PointFile, PairsAreSeparatedByAnyWhiteSpace)
{
    const struct {
        const char* text;
        std::vector<std::pair<double, double>> points;
    } cases[] = {
        { "", {} },
        { " \n\t\r\n", {} },
        { "0 0\n1e-3 5\n", { { 0, 0 }, { 1e-3, 5 } } },
        { "0 0\n1e-3 5", { { 0, 0 }, { 1e-3, 5 } } },
        { "0\t1.5\r\n2E-3\n-7", { { 0, 1.5 }, { 2e-3, -7 } } },
        { "+1 .5 2 3", { { 1, 0.5 }, { 2, 3 } } },
    };
    for (const auto& c : cases) {
        std::vector<SOURCEPOINT> points;
        std::string error;
        ASSERT_TRUE(readpoints(c.text, points, error)) << c.text << ": " << error;
        ASSERT_EQ(points.size(), c.points.size()) << c.text;
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_EQ(points[i].time, c.points[i].first) << c.text;
            EXPECT_EQ(points[i].value, c.points[i].second) << c.text;
        }
    }
}

TEST(PointFile, DamagedTextIsRefusedNamingTheLine)
{
    const struct {
        std::string text;
        const char* error;
    } cases[] = {
        { "0 0\n1m 5\n", "line 2: '1m' is not a number" },
        { "0 0\n1e-3\n", "line 2: the time has no value" },
        { "0 0\n\n\n1 2 3", "line 4: the time has no value" },
        { "0 nan\n", "line 1: 'nan' is not a number" },
        { "0 1e999\n", "line 1: '1e999' is not a number" },
        { "# time value\n0 0\n", "line 1: '#' is not a number" },
        { "0,0\n", "line 1: '0,0' is not a number" },
        { std::string("0 \x01\x02", 4),
            "line 1: '?"
            "?' is not a number" },
        { std::string("0 1\0 2", 6), "line 1: '1?' is not a number" },
        { "0 " + std::string(40, '9') + "x",
            "line 1: '99999999999999999999999999999999...' is not a number" },
    };
    for (const auto& c : cases) {
        std::vector<SOURCEPOINT> points { { 1, 1 } };
        std::string error;
        EXPECT_FALSE(readpoints(c.text, points, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
        EXPECT_TRUE(points.empty()) << c.text;
    }
}

} // namespace
