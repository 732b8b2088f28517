#include "platform/hulvane/results/channeliterator.h"
#include "platform/hulvane/results/partition.h"
#include "platform/hulvane/results/tests/partition_testing.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

using namespace resultstest;

namespace {

constexpr uint32_t low = 1;
constexpr uint32_t high = 3;

class ChannelIterator : public testing::Test {
protected:
    // Writes runs with the writer given, then opens the file for reading.
    PARTITION& readback(int runs, const std::function<void(PARTITION&, int run)>& write)
    {
        const auto file = vkt::test::makeTempSubfolder("iterator") / "p.pdf";
        {
            PARTITION p("p", file.c_str());
            EXPECT_EQ(p.open(PARTITION::MODE_UPDATE), 1);
            for (int run = 0; run < runs; ++run) {
                p.beginrun();
                write(p, run);
                p.endrun();
            }
            p.close(0);
        }
        reader = std::make_unique<PARTITION>("p", file.c_str());
        EXPECT_EQ(reader->open(PARTITION::MODE_READHEADER), 1);
        return *reader;
    }

    std::unique_ptr<PARTITION> reader;
};

TEST_F(ChannelIterator, AnalogValuesAreInterpolatedFromZeroAtTimeZeroOnwards)
{
    PARTITION& p = readback(1, [](PARTITION& w, int) {
        int late = w.addchannel("LATE", "");
        int early = w.addchannel("EARLY", "");
        w.writeanalog(0, early, 5.0, 0);
        w.writeanalog(1, late, 2.0, 0);
        w.writeanalog(1, early, 7.0, 0);
        w.writeanalog(3, late, 6.0, 0);
    });
    CHANNEL_ITERATOR* late = p.getiterator("late", 0);
    ASSERT_NE(late, nullptr);
    const std::pair<double, double> queries[] = {{0, 0}, {0.5, 1}, {1, 2}, {2, 4}, {3, 6}, {4, 8}};
    for (const auto& [t, v] : queries)
        EXPECT_DOUBLE_EQ(late->getvalue(t), v) << "t=" << t;
    EXPECT_EQ(late->atend, 1);
    CHANNEL_ITERATOR* early = p.getiterator("EARLY", 0);
    EXPECT_DOUBLE_EQ(early->getvalue(0), 5.0);
    EXPECT_DOUBLE_EQ(early->getvalue(0.5), 6.0);
}

TEST_F(ChannelIterator, AnalogStatesComeFromTheThresholds)
{
    const std::pair<double, uint32_t> cases[] = {{1.5, 2}, {0.5, 5}, {3.3, 7}, {0.8, 5}, {2.4, 7}, {-1, 5}};
    PARTITION& p = readback(1, [&cases](PARTITION& w, int) {
        int c = w.addchannel("A", "");
        for (int t = 0; t < 6; ++t)
            w.writeanalog(t, c, cases[t].first, 0);
    });
    CHANNEL_ITERATOR* it = p.getiterator("A", 0);
    for (int t = 0; t < 6; ++t)
        EXPECT_EQ(it->getstate(t), cases[t].second) << cases[t].first << " V";
}

TEST_F(ChannelIterator, DigitalWaveformShowsTheOldLevelAtAChangeThenMovesItByTheEdge)
{
    PARTITION& p = readback(1, [](PARTITION& w, int) {
        int c = w.addchannel("D", "");
        w.writedigital(0, c, &low, 1);
        w.writedigital(1e-6, c, &high, 1);
        w.writedigital(2e-6, c, &low, 1);
    });
    CHANNEL_ITERATOR* it = p.getiterator("D", 0);
    EXPECT_EQ(it->setedges(1e-9, 3e-9), 1);
    // Asked as a player asks: at 0, then at each time the iterator names next.
    const std::pair<double, double> steps[] = {
        {0, 0.0}, {1e-6, 0.0}, {1e-6 + 1e-9, 5.0}, {2e-6, 5.0}, {2e-6 + 3e-9, 0.0}};
    for (const auto& [t, level] : steps) {
        EXPECT_DOUBLE_EQ(it->currenttime, t);
        EXPECT_EQ(it->getvalue(t), level) << "t=" << t;
    }
    EXPECT_EQ(it->atend, 1);
}

TEST_F(ChannelIterator, DigitalStatesHoldUntilTheNextChange)
{
    PARTITION& p = readback(1, [](PARTITION& w, int) {
        int c = w.addchannel("BUS", "");
        w.setchannel(c, PARTITION::KIND_DIGITAL, 2, 0);
        const uint32_t first[] = {low, high};
        const uint32_t second[] = {high, 0x1d};
        w.writedigital(1, c, first, 2);
        w.writedigital(2, c, second, 2);
    });
    CHANNEL_ITERATOR* it = p.getiterator("BUS", 0);
    EXPECT_EQ(it->getstates(0.5)[1], 2u);  // before the first sample: undefined
    EXPECT_EQ(it->getstates(1)[1], high);
    EXPECT_EQ(it->getstate(1.5), low);
    EXPECT_EQ(it->getstates(2)[1], 0x1du);
    EXPECT_EQ(it->getstate(9), high);
    int words = 0, points = 0, markers = 0;
    it->getmaxwords(&words);
    it->getmaxpoints(&points);
    it->getmaxmarkers(&markers);
    EXPECT_EQ(words, 2);
    EXPECT_EQ(points, 4);
    EXPECT_EQ(markers, 2);
}

TEST_F(ChannelIterator, FrequencyChannelsInterpolateRealImaginaryMagnitudeAndPhase)
{
    PARTITION& p = readback(1, [](PARTITION& w, int) {
        int c = w.addchannel("AC", "");
        int dc = w.addchannel("FROMDC", "");
        w.writecomplex(0, dc, {2.0, 0.0});
        w.writecomplex(1e3, c, {3.0, 4.0});
        w.writecomplex(2e3, c, {0.0, 1.0});
    });
    CHANNEL_ITERATOR* it = p.getiterator("AC", 0);
    EXPECT_DOUBLE_EQ(it->getphase(1e3), std::atan2(4.0, 3.0));
    EXPECT_DOUBLE_EQ(it->getreal(1.5e3), 1.5);
    EXPECT_DOUBLE_EQ(it->getimag(1.5e3), 2.5);
    EXPECT_DOUBLE_EQ(it->getmagnitude(1.5e3), 3.0);
    EXPECT_DOUBLE_EQ(it->getphase(2e3), M_PI / 2);
    // A first sample at frequency 0 is read as itself, not averaged with the zero before it.
    EXPECT_DOUBLE_EQ(p.getiterator("FROMDC", 0)->getreal(0), 2.0);
}

TEST_F(ChannelIterator, QueriesAClassDoesNotAnswerAreReportedAndGiveZero)
{
    PARTITION& p = readback(1, [](PARTITION& w, int) {
        w.writeanalog(0, w.addchannel("A", ""), 1.0, 0);
        w.writedigital(0, w.addchannel("D", ""), &high, 1);
        w.writecomplex(1, w.addchannel("F", ""), {1, 1});
    });
    using Query = std::function<double(CHANNEL_ITERATOR*)>;
    const struct {
        const char* channel;
        Query query;
        const char* assertion;
    } cases[] = {
        {"A", [](CHANNEL_ITERATOR* it) { return it->getstates(0) ? 1.0 : 0.0; }, "wuno:699"},
        {"A", [](CHANNEL_ITERATOR* it) { return it->getreal(0); }, "wuno:700"},
        {"D", [](CHANNEL_ITERATOR* it) { return it->getimag(0); }, "wuno:701"},
        {"D", [](CHANNEL_ITERATOR* it) { return it->getmagnitude(0); }, "wuno:702"},
        {"A", [](CHANNEL_ITERATOR* it) { return it->getphase(0); }, "wuno:703"},
        {"F", [](CHANNEL_ITERATOR* it) { return it->getvalue(1); }, "wuno:697"},
        {"F", [](CHANNEL_ITERATOR* it) { return static_cast<double>(it->getstate(1)); }, "wuno:698"},
    };
    for (const auto& c : cases) {
        Reports reports;
        EXPECT_EQ(c.query(p.getiterator(c.channel, 0)), 0.0) << c.assertion;
        EXPECT_EQ(reports.asserts, std::vector<std::string> {c.assertion});
    }
    EXPECT_EQ(p.getiterator("A", 0)->setedges(1, 1), 0);
}

TEST_F(ChannelIterator, EachRunIsReadOnItsOwnAndRewindGoesBackToItsStart)
{
    PARTITION& p = readback(3, [](PARTITION& w, int run) {
        int a = w.addchannel("A", "");
        int b = w.addchannel("B", "");
        w.writeanalog(0, a, run, 0);
        w.writeanalog(0.5, b, -run, 0);
        w.writeanalog(1, a, run + 10, 0);
    });
    CHANNEL_ITERATOR* runs[3];
    for (int run = 0; run < 3; ++run)
        runs[run] = p.getiterator("A", run);
    for (int run = 2; run >= 0; --run) {
        EXPECT_DOUBLE_EQ(runs[run]->getvalue(0.5), run + 5) << run;
        EXPECT_DOUBLE_EQ(runs[run]->getvalue(1), run + 10) << run;
    }
    EXPECT_DOUBLE_EQ(p.getiterator("B", 1)->getvalue(0.5), -1);
    runs[1]->rewind(0);
    EXPECT_EQ(runs[1]->atend, 0);
    EXPECT_DOUBLE_EQ(runs[1]->getvalue(0), 1);
    int markers = 0;
    runs[1]->getmaxmarkers(&markers);
    EXPECT_EQ(markers, 3);
}

}  // namespace
