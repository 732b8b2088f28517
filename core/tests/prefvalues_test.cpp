#include "core/text/prefvalues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(PreferredValues, RoundsToTheNearestSeriesValueBetweenGeometricMeans)
{
    struct Case {
        double (*round)(double);
        double x;
        double expected;
    };
    const Case cases[] = {
        { rounde12, 4.3, 4.7 },
        { rounde12, 4.25, 3.9 },
        { rounde12, 1234, 1200 },
        { rounde12, 9.9, 10.0 },
        { rounde12, 0.047, 0.047 },
        { rounde12, 1.0, 1.0 },
        { rounde12, 1e-12, 1e-12 },
        { rounde12, 0.95, 1.0 },
        { rounde12, 4.7e6, 4.7e6 },
        { rounde24, 4.3, 4.3 },
        { rounde24, 9.6, 10.0 },
        { rounde24, 9.5, 9.1 },
        { rounde24, 0.00215, 0.0022 },
        { rounde24, 56000, 56000 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.round(c.x), c.expected) << c.x;
    // The boundary of 1 and 4 is 2; a value exactly on it goes up.
    const double series[] = { 1.0, 4.0, 10.0 };
    EXPECT_EQ(roundtoseries(2.0, series, 2), 4.0);
    EXPECT_EQ(roundtoseries(19.9, series, 2), 10.0);
}

TEST(PreferredValues, InvalidInputGivesNaN)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double x : { 0.0, -4.7, nan, inf }) {
        EXPECT_TRUE(std::isnan(rounde12(x))) << x;
        EXPECT_TRUE(std::isnan(rounde24(x))) << x;
    }
    const double shortSeries[] = { 1.0, 2.0, 5.0 };
    EXPECT_TRUE(std::isnan(roundtoseries(4.0, shortSeries, 0)));
    EXPECT_TRUE(std::isnan(roundtoseries(4.0, nullptr, 2)));
    EXPECT_EQ(roundtoseries(4.0, shortSeries, 2), 5.0);
    EXPECT_TRUE(std::isnan(roundtoseries(7.0, shortSeries, 2))) << "beyond a table that ends below 10";
}
