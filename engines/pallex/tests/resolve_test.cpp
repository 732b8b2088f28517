#include "engines/pallex/resolve.h"

#include <gtest/gtest.h>

#include <vector>

using pallex::Resolver;

TEST(Resolve, StrongestDriversWinAndLowAgainstHighIsContention)
{
    struct Case {
        std::vector<STATE> drivers;
        STATE net;
    };
    const Case cases[] = {
        { {}, STATE_FLT },
        { { STATE_NONE, STATE_FLT }, STATE_FLT },
        { { STATE_SHI }, STATE_SHI },
        { { STATE_WLO, STATE_SHI }, STATE_SHI },
        { { STATE_WLO, STATE_WLO }, STATE_WLO },
        { { STATE_SLO, STATE_SHI }, STATE_SUD | STATE_CONTENTION },
        { { STATE_WLO, STATE_WHI, STATE_NONE }, STATE_WUD | STATE_CONTENTION },
        { { STATE_SUD, STATE_SHI }, STATE_SUD },
        { { STATE_SLO, STATE_IHI }, STATE_IHI },
        { { STATE_IHI, STATE_PLO, STATE_SHI }, STATE_PLO },
        { { STATE_PHI, STATE_PLO }, STATE_PUD | STATE_CONTENTION },
    };
    for (const Case& test : cases) {
        Resolver resolver;
        for (STATE driver : test.drivers)
            resolver.add(driver);
        EXPECT_EQ(resolver.result(), test.net) << "drivers: " << test.drivers.size();
    }
}
