#include "simulator/models/spice/spiceerrors.h"

#include "engines/fakes/recorder.h"
#include "engines/fakes/spice.h"
#include "engines/mavro/mavro.h"
#include "simulator/kernel/spicedeck/tests/deck_fixtures.h"

#include <gtest/gtest.h>

#include <string>

// The engine's texts are scripted on the recording fake: the real engine has a text only for the
// error it met last.

namespace {

class SpiceErrorsTest : public testing::Test {
protected:
    void SetUp() override { fakes::reset(); }

    // What one call wrote to the log.
    template <class CALL> std::string written(CALL call)
    {
        size_t before = log.lines.size();
        call();
        return log.lines.substr(before);
    }

    decktest::DECKLOGCAPTURE log;
};

TEST_F(SpiceErrorsTest, MessagesWhileTheEnginesWorkFollowTheConvergenceLevel)
{
    struct CASE {
        int flags;
        uint8_t level;
        const char* line;
        int result;
    } cases[] = {
        { ERR_INFO, 0, "", 0 },
        { ERR_INFO, 1, "", 0 },
        { ERR_INFO, 2, "I:[SPICE] line 3: bad node\n", 1 },
        { ERR_WARNING, 0, "", 0 },
        { ERR_WARNING, 1, "W:[SPICE] line 3: bad node\n", 0 },
        { ERR_WARNING, 3, "W:[SPICE] line 3: bad node\n", 1 },
    };
    for (const CASE& c : cases) {
        log.convergence.level = c.level;
        int result = -1;
        EXPECT_EQ(
            written([&] { result = spiceerrorcallback(c.flags, "line %d: %s", 3, "bad node"); }), c.line)
            << c.flags << " at " << int(c.level);
        EXPECT_EQ(result, c.result) << c.flags << " at " << int(c.level);
    }
    log.convergence.level = 1;
    EXPECT_EQ(written([] { spiceerrorcallback(ERR_WARNING, nullptr); }), "W:[SPICE] Unspecified Error\n");
}

TEST_F(SpiceErrorsTest, AnyOtherFlagEndsTheRun)
{
    EXPECT_THROW(
        spiceerrorcallback(ERR_FATAL, "%s", "out of memory"), decktest::DECKLOGCAPTURE::FATALMESSAGE);
    EXPECT_EQ(log.lines, "F:[SPICE] out of memory\n");
}

TEST_F(SpiceErrorsTest, RunEndingCodesAreReportedWithTheEnginesText)
{
    struct CASE {
        int code;
        const char* engine; // simerrmsg's text; null: none
        std::string lines;
    } cases[] = {
        { E_SINGULAR, "singular matrix at node out", "W:[SPICE] singular matrix at node out.\nH:,07D2\n" },
        { E_BADMATRIX, "floating node n1", "W:[SPICE] floating node n1.\nH:,07D1\n" },
        { E_TIMESTEP, nullptr, std::string("W:[SPICE] ") + inperrmsg(E_TIMESTEP) + ".\nH:,07D4\n" },
        { E_NOMODEL, nullptr, std::string("E:[SPICE] Error 10 - ") + inperrmsg(E_NOMODEL) + ".\n" },
        { 250, "matrix too large", "E:[SPICE] Error 250 - matrix too large.\n" },
        { 250, nullptr, "" },
    };
    for (const CASE& c : cases) {
        fakes::spice().errors.clear();
        if (c.engine)
            fakes::spice().errors[c.code] = c.engine;
        EXPECT_EQ(written([&] { reportspiceerror(c.code); }), c.lines) << c.code;
    }
}

} // namespace
