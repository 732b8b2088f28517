// The built-in models in batch runs: interface objects between digital parts and RC networks, a
// battery under load, the switches, and the generators playing their files into probes.
#include "host/simrun/tests/endtoend.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

// A waveform given by its points: straight lines between them, a time given twice a step, the last
// value held.
struct WAVEFORM {
    std::vector<std::pair<double, double>> points;

    // The value at t; after a step, the later value.
    double at(double t) const
    {
        auto after = std::upper_bound(points.begin(), points.end(), t,
            [](double time, const std::pair<double, double>& point) { return time < point.first; });
        if (after == points.begin())
            return points.front().second;
        auto before = std::prev(after);
        if (after == points.end())
            return before->second;
        return before->second
            + (after->second - before->second) * (t - before->first) / (after->first - before->first);
    }
    // The value of the point at the latest time at or before t; before a step, the earlier value.
    double held(double t) const
    {
        auto after = std::upper_bound(points.begin(), points.end(), t,
            [](double time, const std::pair<double, double>& point) { return time < point.first; });
        if (after == points.begin())
            return points.front().second;
        auto first = std::lower_bound(points.begin(), after, std::prev(after)->first,
            [](const std::pair<double, double>& point, double time) { return point.first < time; });
        return first->second;
    }
};

class BuiltinModels : public EndToEnd {
protected:
    // Every sample of the channel is the waveform at its time, or holds the value of the waveform's
    // last point before it: a time step that starts within the last tenth before a point may pass it,
    // and the generator holds that point's value until the step is accepted.
    void expectplays(PARTITION& partition, const char* channel, const WAVEFORM& waveform)
    {
        auto* samples = dynamic_cast<ANALOG_ITERATOR*>(partition.getiterator(channel, 0));
        ASSERT_NE(samples, nullptr) << channel;
        ASSERT_EQ(samples->start(), 1) << channel;
        int count = 0;
        do {
            double t = samples->currenttime;
            double v = samples->currentvalue;
            bool plays = std::abs(v - waveform.at(t)) < 1e-6 || std::abs(v - waveform.held(t)) < 1e-6;
            EXPECT_TRUE(plays) << channel << " at " << t << ": " << v << ", the file has " << waveform.at(t);
            ++count;
        } while (samples->step());
        EXPECT_GT(count, 10) << channel;
    }

    // The value of an analog channel at a time.
    double value(PARTITION& partition, const char* channel, double time)
    {
        CHANNEL_ITERATOR* values = partition.getiterator(channel, 0);
        EXPECT_NE(values, nullptr) << channel;
        return values ? values->getvalue(time) : NAN;
    }

    // A folder of its own holding the fixture files a netlist's generators name.
    std::string sources(std::initializer_list<const char*> files)
    {
        std::filesystem::path folder = vkt::test::makeTempSubfolder("sources");
        for (const char* file : files)
            std::filesystem::copy_file(fixture(file), folder / file);
        return folder.string();
    }
};

TEST_F(BuiltinModels, InvertersDriveRcNetworksThroughTheirInterfaces)
{
    ASSERT_NO_FATAL_FAILURE(simulate("interfaceout.net"));
    PARTITION& runs = results("ITFOUT");
    // The clock rises at 1 us and the inverters fall 10 ns later: the RC of the interface the
    // simulator put on the mixed net (1 ohm out) discharges with its time constant.
    const double tau = 1001 * 1e-9;
    EXPECT_NEAR(value(runs, "VRC", 0.9e-6), 5, 0.02);
    for (double after : { 0.2e-6, 0.5e-6, 0.9e-6 })
        EXPECT_NEAR(value(runs, "VRC", 1.01e-6 + after), 5 * std::exp(-after / tau), 0.02) << after;
    // The DAC part of its own swings in its TFALL, 200 ns, and back in its TRISE, 100 ns; its 1 ns
    // RC follows a nanosecond behind.
    EXPECT_NEAR(value(runs, "VSLOW", 1.0e-6), 5, 0.02);
    EXPECT_NEAR(value(runs, "VSLOW", 1.11e-6), 2.5 + 0.025, 0.02);
    EXPECT_NEAR(value(runs, "VSLOW", 1.3e-6), 0, 0.02);
    EXPECT_NEAR(value(runs, "VSLOW", 2.06e-6), 2.5 - 0.05, 0.02);
    EXPECT_NEAR(value(runs, "VSLOW", 2.2e-6), 5, 0.02);
}

TEST_F(BuiltinModels, RcDrivesADigitalInputAtItsThresholdsWithHysteresis)
{
    ASSERT_NO_FATAL_FAILURE(simulate("interfacein.net"));
    CHANNEL_ITERATOR* q = results("ITFIN").getiterator("PQ", 0);
    ASSERT_NE(q, nullptr);
    // 10k and 100p from 0 to 5 V at 1 us and back at 6 us. Rising, the input leaves low at 2 V
    // (30 % of 5 V and 10 % hysteresis) and is high at 3.5 V (70 %); falling, it leaves high at
    // 3 V and is low at 1.5 V; the buffer follows 1 ns later.
    const double tau = 1e-6;
    const double top = 5 * (1 - std::exp(-5.0));
    const struct {
        double time;
        int level; // -1 undefined
    } changes[] = {
        { 1e-6 + tau * std::log(5.0 / 3.0), -1 },
        { 1e-6 + tau * std::log(5.0 / 1.5), 1 },
        { 6e-6 + tau * std::log(top / 3.0), -1 },
        { 6e-6 + tau * std::log(top / 1.5), 0 },
    };
    int before = 0;
    for (const auto& change : changes) {
        double at = change.time + 1e-9;
        EXPECT_EQ(word(q, 1, at - 10e-9), before) << at;
        EXPECT_EQ(word(q, 1, at + 10e-9), change.level) << at;
        before = change.level;
    }
}

TEST_F(BuiltinModels, BatteryLosesItsInternalResistanceUnderLoad)
{
    ASSERT_NO_FATAL_FAILURE(simulate("battery.net"));
    PARTITION& runs = results("BATTERY");
    for (double time : { 0.0, 1e-3 }) {
        EXPECT_NEAR(value(runs, "VLOADED", time), 8, 1e-6) << time;
        EXPECT_NEAR(value(runs, "VIDEAL", time), 9, 1e-6) << time;
    }
}

TEST_F(BuiltinModels, EachSwitchKindConnectsItsLoadWhenItsControlSaysSo)
{
    ASSERT_NO_FATAL_FAILURE(simulate("switches.net"));
    PARTITION& runs = results("SWITCHES");
    const double on = 10 * 1000 / 1001.0;
    const struct {
        const char* probe;
        double closes;
    } switches[] = {
        { "V1", 0.5e-3 }, // the control passes 1 V
        { "V2", 0.8e-3 }, // the threshold and the hysteresis, 1.6 V
        { "V3", 0.5e-3 }, // the probe's current passes 1 mA
        { "V4", 1e-3 }, // the clock rises
    };
    for (const auto& s : switches) {
        EXPECT_NEAR(value(runs, s.probe, s.closes - 10e-6), 0, 1e-3) << s.probe;
        EXPECT_NEAR(value(runs, s.probe, s.closes + 10e-6), on, 1e-3) << s.probe;
        EXPECT_NEAR(value(runs, s.probe, 1.9e-3), on, 1e-3) << s.probe;
    }
}

TEST_F(BuiltinModels, TextFilePlaysItsPointsJoinedByStraightLines)
{
    ASSERT_NO_FATAL_FAILURE(simulate("filegen.net", sources({ "ramp.txt" })));
    expectplays(
        results("FILEGEN"), "VOUT", { { { 0, 0 }, { 1e-3, 5 }, { 1e-3, 2 }, { 2e-3, 2 }, { 3e-3, -1 } } });
}

TEST_F(BuiltinModels, SoundsPlayTheirSamplesScaledAndMoved)
{
    ASSERT_NO_FATAL_FAILURE(simulate("wavegen.net", sources({ "tone8.wav", "duo16.wav" })));
    // 8-bit: 128, 160, ... 255, ... 64 at a millisecond each, PEAK 2 and OFFSET 1.
    WAVEFORM tone;
    const unsigned char bytes[] = { 128, 160, 192, 224, 255, 224, 192, 160, 128, 96, 64 };
    for (int frame = 0; frame < 11; ++frame)
        tone.points.emplace_back(frame * 1e-3, (bytes[frame] - 128) / 128.0 + 1);
    PARTITION& runs = results("WAVEGEN");
    expectplays(runs, "VTONE", tone);
    // 16-bit stereo, the left channel k / 8 of full scale at frame k, AMP 4.
    WAVEFORM duo;
    for (int frame = 0; frame < 8; ++frame)
        duo.points.emplace_back(frame * 1e-3, frame / 2.0);
    expectplays(runs, "VDUO", duo);
    EXPECT_NE(run.output.find("Opened wave file 'tone8' - 8bit 1KHz MONO."), std::string::npos) << run.output;
}

TEST_F(BuiltinModels, TapePlaysBackARecordedChannel)
{
    ASSERT_NO_FATAL_FAILURE(simulate("rc.net"));
    ASSERT_NO_FATAL_FAILURE(simulate("tape.net"));
    PARTITION recorded("RC");
    ASSERT_EQ(recorded.open(PARTITION::MODE_READHEADER), 1);
    auto* original = dynamic_cast<ANALOG_ITERATOR*>(recorded.getiterator("VOUT", 0));
    ASSERT_TRUE(original && original->start());
    WAVEFORM recording;
    do
        recording.points.emplace_back(original->currenttime, original->currentvalue);
    while (original->step());
    expectplays(results("TAPE"), "VOUT", recording);
}

} // namespace
