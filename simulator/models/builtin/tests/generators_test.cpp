// The file, WAV and tape generators playing their sources into a load, solved by the analog bench.
#include "simulator/models/builtin/tests/benchtesting.h"

#include "simulator/models/builtin/tape.h"
#include "simulator/models/builtin/tests/wavbytes.h"
#include "simulator/models/builtin/wavegen.h"
#include "platform/hulvane/results/partition.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using testing::ElementsAre;
using testing::HasSubstr;

class GeneratorTest : public BenchCircuitTest {
protected:
    // Generators find their files in the current folder: the test's own.
    void SetUp() override
    {
        BenchCircuitTest::SetUp();
        previous = std::filesystem::current_path();
        std::filesystem::current_path(vkt::test::makeTempSubfolder("generator"));
    }

    void TearDown() override
    {
        std::filesystem::current_path(previous);
        BenchCircuitTest::TearDown();
    }

    void write(const char* name, const std::string& text) { std::ofstream(name, std::ios::binary) << text; }
    void write(const char* name, const std::vector<unsigned char>& bytes)
    {
        write(name, std::string(bytes.begin(), bytes.end()));
    }

    // The generator G1 of that row between OUT and ground, loaded by 1k.
    std::string parts(const char* row, const std::string& properties)
    {
        return std::string("G1,") + row + ",Gen,PRIMITIVE=ANALOG," + properties + "\n";
    }
    const char* nets = "OUT,1\nG1,PS,+\n\nGND,2\nG1,PS,-\nGND,PT,GND\n\n";

    ANALOGBENCH& generator(const char* row, const std::string& properties)
    {
        ANALOGBENCH& solver = build("", parts(row, properties), nets);
        solver.resistor(node("OUT"), 0, 1000);
        return solver;
    }

    // The accepted points of a transient as time -> OUT.
    std::map<double, double> play(ANALOGBENCH& solver, double tstop, double tmax)
    {
        std::map<double, double> points;
        solver.transient(
            tstop, tmax, [&](double time, const std::vector<double>&) { points[time] = voltage("OUT"); });
        return points;
    }

    // The value of the accepted point at t (to within rounding of the sum of the steps).
    static double at(const std::map<double, double>& points, double t)
    {
        auto found = points.lower_bound(t * (1 - 1e-12) - 1e-300);
        EXPECT_TRUE(found != points.end() && found->first <= t * (1 + 1e-12)) << "no point at " << t;
        return found == points.end() ? NAN : found->second;
    }

    // The fatal message that ends the set-up of the generator; empty when none does.
    std::string refusal(const char* row, const std::string& properties)
    {
        if (trymake("SIMTYPE=TRANSIENT\nPARTITION=RUN\n", parts(row, properties), nets))
            return {};
        std::vector<std::string> fatal = lines("#F:");
        return fatal.empty() ? "?" : fatal.back();
    }

    std::filesystem::path previous;
};

TEST_F(GeneratorTest, TextFileRampsBetweenItsPointsAndHoldsTheLast)
{
    write("ramp.txt", "0 0\n1e-3 5\n");
    for (double tmax : { 0.25e-3, 0.3e-3, 2e-3 }) {
        ANALOGBENCH& solver = generator("VFILE!", "FILE=ramp.txt");
        std::map<double, double> points = play(solver, 3e-3, tmax);
        for (const auto& [time, value] : points)
            EXPECT_NEAR(value, time < 1e-3 ? 5000 * time : 5, 1e-9) << time << " in steps of " << tmax;
        // No step passes the point at 1 ms unless it starts within its last tenth.
        auto after = points.upper_bound(1e-3 * (1 - 1e-12));
        auto before = std::prev(after);
        EXPECT_TRUE(after->first <= 1e-3 * (1 + 1e-12) || before->first >= 0.9e-3 * (1 - 1e-12))
            << before->first << " to " << after->first << " in steps of " << tmax;
    }
}

TEST_F(GeneratorTest, TimeGivenTwiceStepsTheWaveform)
{
    write("steps.txt", "0 1\n0.5e-3 2\n0.5e-3 7\n1e-3 3\n");
    ANALOGBENCH& solver = generator("VFILE!", "FILE=steps.txt");
    std::map<double, double> points = play(solver, 1e-3, 0.25e-3);
    const double expected[] = { 1, 1.5, 2, 5, 3 };
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(at(points, i * 0.25e-3), expected[i], 1e-9) << i;
}

TEST_F(GeneratorTest, EmptyTextFileGivesZeroVolts)
{
    write("empty.txt", "");
    std::map<double, double> points = play(generator("VFILE!", "FILE=empty.txt"), 1e-3, 0.25e-3);
    for (const auto& [time, value] : points)
        EXPECT_EQ(value, 0) << time;
}

TEST_F(GeneratorTest, OperatingPointTakesTheValueAtTimeZero)
{
    write("start.txt", "0 2\n1 3\n");
    generator("VFILE!", "FILE=start.txt").operatingpoint();
    EXPECT_NEAR(voltage("OUT"), 2, 1e-12);
}

TEST_F(GeneratorTest, SourcesThatCannotBePlayedEndTheRun)
{
    write("bad.txt", "0 0\n1e-3 x\n");
    write("odd.txt", "0 0\n1e-3\n");
    write("notwave.wav", "RIFF....AVI ");
    std::vector<unsigned char> cut
        = WAVBYTES::riff(WAVBYTES().chunk("fmt ", WAVBYTES::format(1, 8000, 8)).chunk("data", { 1, 2 }));
    cut.resize(40);
    write("cut.wav", cut);
    write("deep.wav",
        WAVBYTES::riff(WAVBYTES().chunk("fmt ", WAVBYTES::format(1, 8000, 24)).chunk("data", { 1 })));
    std::filesystem::create_directory("sub");
    const struct {
        const char* row;
        const char* properties;
        const char* fatal;
    } cases[] = {
        { "VFILE!", "", "#F:Must specify a filename for generator Gen" },
        { "VFILE!", "FILE=none.txt", "#F:Cannot open file 'none.txt' in Gen: No such file or directory" },
        { "VFILE!", "FILE=bad.txt", "#F:Cannot read file 'bad.txt' in Gen: line 2: 'x' is not a number." },
        { "VFILE!", "FILE=odd.txt", "#F:Cannot read file 'odd.txt' in Gen: line 2: the time has no value." },
        { "VFILE!", "FILE=sub", "#F:Cannot open file 'sub' in Gen: a folder, not a file" },
        { "VFILE!", "FILE=/etc/passwd",
            "#F:The file '/etc/passwd' of generator Gen is refused: it must name a file inside the current "
            "folder." },
        { "VFILE!", "FILE=..\\secret.txt",
            "#F:The file '..\\secret.txt' of generator Gen is refused: it must name a file inside the "
            "current "
            "folder." },
        { "AUDIO!", "", "#F:Must specify a filename for generator 'Gen'" },
        { "AUDIO!", "FILE=none", "#F:Cannot open file 'none' in generator 'Gen': No such file or directory" },
        { "AUDIO!", "FILE=notwave", "#F:'notwave' is not a WAV file in generator 'Gen'" },
        { "AUDIO!", "FILE=cut.wav",
            "#F:'cut.wav' is damaged in generator 'Gen': the RIFF chunk runs past the end of the file." },
        { "AUDIO!", "FILE=deep",
            "#F:'deep' cannot be played in generator 'Gen': it holds samples of format 1, 24 bits, 1 "
            "channels; "
            "only 8-bit and 16-bit PCM, mono or stereo, can be played." },
    };
    for (const auto& c : cases)
        EXPECT_EQ(refusal(c.row, c.properties), c.fatal) << c.properties;
}

// A mono 8-bit file of 1000 frames a second.
std::vector<unsigned char> mono8(const std::vector<unsigned char>& samples)
{
    return WAVBYTES::riff(WAVBYTES().chunk("fmt ", WAVBYTES::format(1, 1000, 8)).chunk("data", samples));
}

TEST_F(GeneratorTest, EightBitSoundPlaysItsSamplesScaledAndMoved)
{
    write("tone.wav", mono8({ 128, 0, 255, 192 }));
    const struct {
        const char* properties;
        double scale;
        double offset;
    } cases[] = {
        { "FILE=tone", 1, 0 },
        { "FILE=TONE.WAV,PEAK=4,OFFSET=1", 2, 1 },
        { "FILE=tone,AMP=3,OFFSET=-1", 3, -1 },
        { "FILE=tone,PEAK=2,AMP=3", 1, 0 },
    };
    for (const auto& c : cases) {
        std::map<double, double> points = play(generator("AUDIO!", c.properties), 6e-3, 0.5e-3);
        const double samples[] = { 0, -1, 127.0 / 128, 0.5 };
        for (int frame = 0; frame < 4; ++frame)
            EXPECT_NEAR(at(points, frame * 1e-3), samples[frame] * c.scale + c.offset, 1e-9)
                << c.properties << " " << frame;
        EXPECT_NEAR(at(points, 2.5e-3), (samples[2] + samples[3]) / 2 * c.scale + c.offset, 1e-9)
            << c.properties;
        EXPECT_NEAR(at(points, 6e-3), samples[3] * c.scale + c.offset, 1e-9) << c.properties;
    }
    EXPECT_THAT(log(), HasSubstr("Opened wave file 'tone' - 8bit 1KHz MONO.\n"));
}

TEST_F(GeneratorTest, StereoSoundPlaysAChannelOrTheMeanOfBoth)
{
    write("duo.wav",
        WAVBYTES::riff(WAVBYTES()
                           .chunk("fmt ", WAVBYTES::format(2, 2000, 16))
                           .chunk("data", WAVBYTES::samples16({ -32768, 16384, 8192, -8192 }))));
    const struct {
        const char* properties;
        double first;
        double second;
    } cases[] = {
        { "FILE=duo,PEAK=2,OFFSET=0.5", -0.25 + 0.5, 0.5 },
        { "FILE=duo,CHANNEL=LEFT", -1, 0.25 },
        { "FILE=duo,CHANNEL=right", 0.5, -0.25 },
        { "FILE=duo,CHANNEL=CENTRE", -0.25, 0 },
    };
    for (const auto& c : cases) {
        std::map<double, double> points = play(generator("AUDIO!", c.properties), 1e-3, 0.25e-3);
        EXPECT_NEAR(at(points, 0), c.first, 1e-9) << c.properties;
        EXPECT_NEAR(at(points, 0.5e-3), c.second, 1e-9) << c.properties;
        EXPECT_NEAR(at(points, 1e-3), c.second, 1e-9) << c.properties;
    }
    // With PEAK 2 a full-scale sample is 1 V before the offset.
    EXPECT_THAT(log(), HasSubstr("Opened wave file 'duo' - 16bit 2KHz STEREO.\n"));
}

class TapeTest : public GeneratorTest {
protected:
    // The partition REC in the results folder, its run 0 written by `record`.
    void recording(const std::function<void(PARTITION&)>& record)
    {
        PARTITION partition("REC");
        ASSERT_EQ(partition.open(PARTITION::MODE_UPDATE), 1);
        partition.beginrun();
        record(partition);
        partition.endrun();
        partition.close(0);
    }
};

TEST_F(TapeTest, AnalogChannelPlaysItsSamplesJoinedByStraightLines)
{
    recording([](PARTITION& p) {
        int other = p.addchannel("OTHER", "");
        int v1 = p.addchannel("V1", "");
        p.setchannel(v1, PARTITION::KIND_ANALOG, 1, 0);
        p.setchannel(other, PARTITION::KIND_ANALOG, 1, 0);
        for (int i = 0; i <= 4; ++i) {
            p.writeanalog(i * 1e-3, other, -1, 1);
            p.writeanalog(i * 1e-3, v1, i % 2 ? 3.0 : 1.0, 1);
        }
    });
    const struct {
        const char* properties;
        std::function<double(double)> expected;
    } cases[] = {
        // 1, 3, 1, 3, 1 V at each millisecond, then the last value held.
        { "PARTITION=REC,PROBE=v1",
            [](double t) { return t >= 4e-3 ? 1.0 : 1 + 2 * (1 - std::abs(std::fmod(t / 1e-3, 2.0) - 1)); } },
        // PLAY takes the first channel and leaves PARTITION and PROBE unread.
        { "PLAY=REC,PARTITION=NONE,PROBE=V1", [](double) { return -1.0; } },
    };
    for (const auto& c : cases) {
        std::map<double, double> points = play(generator("TAPE!", c.properties), 5e-3, 0.5e-3);
        for (const auto& [time, value] : points)
            EXPECT_NEAR(value, c.expected(time), 1e-9) << c.properties << " at " << time;
    }
    // The recording stays out of the run's partitions, where the probes naming none would take
    // it for theirs (its name sorts before RUN).
    EXPECT_EQ(partitions["REC"], nullptr);
}

TEST_F(TapeTest, DigitalChannelPlaysItsLevelsWithTheirEdgeTimes)
{
    recording([](PARTITION& p) {
        int d = p.addchannel("D", "");
        const uint32_t low = 1;
        const uint32_t high = 3;
        p.writedigital(0, d, &low, 1);
        p.writedigital(1e-6, d, &high, 1);
        p.writedigital(2e-6, d, &low, 1);
    });
    const struct {
        const char* properties;
        double rise;
        double fall;
    } cases[] = {
        { "PARTITION=REC,PROBE=D", 1e-9, 1e-9 },
        { "PARTITION=REC,PROBE=D,TRISE=10n,TFALL=20n", 10e-9, 20e-9 },
        { "PARTITION=REC,PROBE=D,TRISE=10n,TFALL=-1", 10e-9, 10e-9 },
    };
    for (const auto& c : cases) {
        // Steps of 0.5 us land on each change and on the end of its edge.
        std::map<double, double> points = play(generator("TAPE!", c.properties), 3e-6, 0.5e-6);
        EXPECT_NEAR(at(points, 1e-6), 0, 1e-9) << c.properties;
        EXPECT_NEAR(at(points, 1e-6 + c.rise), 5, 1e-9) << c.properties;
        EXPECT_NEAR(at(points, 2e-6), 5, 1e-9) << c.properties;
        EXPECT_NEAR(at(points, 2e-6 + c.fall), 0, 1e-9) << c.properties;
        EXPECT_NEAR(at(points, 3e-6), 0, 1e-9) << c.properties;
    }
}

TEST_F(TapeTest, FrequencyChannelIsTheSourceOfAnAcAnalysis)
{
    recording([](PARTITION& p) {
        int f = p.addchannel("F", "");
        p.writecomplex(0, f, { 1, 0 });
        p.writecomplex(1e3, f, { 3, 4 });
        p.writecomplex(2e3, f, { 0, 1 });
    });
    ANALOGBENCH& solver = generator("TAPE!", "PARTITION=REC,PROBE=F");
    auto* tape = model<TAPE>("G1");
    std::vector<double> real(solver.values.size(), 0.0);
    std::vector<double> imag(solver.values.size(), 0.0);
    tape->loadac(6.283185307179586 * 1.5e3, real.data(), imag.data());
    EXPECT_DOUBLE_EQ(real[static_cast<size_t>(tape->source.branch)], 1.5);
    EXPECT_DOUBLE_EQ(imag[static_cast<size_t>(tape->source.branch)], 2.5);
    // In the time domain it gives 0 V.
    solver.operatingpoint();
    EXPECT_EQ(voltage("OUT"), 0);
}

TEST_F(TapeTest, MissingPartitionsProbesAndEdgesEndTheRun)
{
    recording([](PARTITION& p) { p.writeanalog(0, p.addchannel("V1", ""), 1, 1); });
    const struct {
        const char* properties;
        const char* fatal;
    } cases[] = {
        { "PROBE=V1", "#F:Must specify a partition in tape G1" },
        { "PARTITION=REC", "#F:Must specify a probe in tape G1" },
        { "PARTITION=REC,PROBE=V2", "#F:Could not find probe named V2 in REC" },
        { "PARTITION=GONE,PROBE=V1", "#F:Could not find probe named V1 in GONE" },
        { "PLAY=GONE", "#F:Could not find probe named Gen in GONE" },
        { "PARTITION=REC,PROBE=V1,TRISE=0", "#F:Cannot have zero edge time in G1!" },
        { "PARTITION=REC,PROBE=V1,TRISE=-1n,TFALL=1n", "#F:Cannot have zero edge time in G1!" },
        { "PARTITION=REC,PROBE=V1", "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(refusal("TAPE!", c.properties), c.fatal) << c.properties;
}

TEST_F(GeneratorTest, AcAnalysisIsRefusedByFileAndSoundGenerators)
{
    write("ramp.txt", "0 0\n");
    ANALOGBENCH& solver = generator("VFILE!", "FILE=ramp.txt");
    std::vector<double> rhs(solver.values.size(), 0.0);
    model<FILEGEN>("G1")->loadac(1, rhs.data(), rhs.data());
    EXPECT_THAT(lines("#E:"), ElementsAre("#E:AC Analysis not supported"));
}

} // namespace
