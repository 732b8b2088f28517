#include "engines/pallex/tests/harness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

using harness::Circuit;

namespace {

class Partition final : public IPARTITION {
public:
    void writedigital(double time, int32_t channel, const void* data, int32_t words) override
    {
        const STATE* states = static_cast<const STATE*>(data);
        written.push_back({ std::llround(time * 1e12), channel, std::vector<STATE>(states, states + words) });
    }
    struct Sample {
        int64_t time;
        int32_t channel;
        std::vector<STATE> states;
        bool operator==(const Sample&) const = default;
        friend void PrintTo(const Sample& sample, std::ostream* out)
        {
            *out << sample.time << "ps ch" << sample.channel << " {";
            for (STATE state : sample.states)
                *out << " " << state;
            *out << " }";
        }
    };
    std::vector<Sample> written;
};

std::vector<double> requested;

void remember(void*, double time)
{
    requested.push_back(time);
}

// A model that, at its first analog point, asks for an earlier point and a callback.
class Early final : public IPALLEXMODEL {
public:
    int digitalpin(const char*) override { return 1; }
    void bindpallex(IINSTANCE*, IPALLEXCKT* bound) override { circuit = bound; }
    void runmode(int32_t) override {}
    void setstate(double, int32_t) override {}
    int32_t getstate(double, ACTIVEEVENT*) override { return 0; }
    void simulate(int64_t time, uint32_t mode) override
    {
        if (!(mode & SIM_ANALOG) || time == 0)
            return;
        circuit->setcallback(circuit->gettime(), this, time);
        if (!asked)
            circuit->requesttime(time - 1000);
        asked = true;
    }
    void callback(int64_t, intptr_t value) override { called.push_back(value); }
    int32_t pallexevent(intptr_t) override { return 0; }

    IPALLEXCKT* circuit = nullptr;
    bool asked = false;
    std::vector<intptr_t> called;
};

}  // namespace

TEST(Links, AnalogPointIsRetakenWhenAModelAsksForAnEarlierOne)
{
    Circuit circuit;
    Early early;
    circuit.part("M", "INTMODEL", {}, {}, &early);
    requested.clear();
    EXPECT_NE(pallex_setup(), 0);
    EXPECT_EQ(pallex_accept(10e-9, nullptr, remember), 2);
    EXPECT_EQ(requested, std::vector<double> { 9e-9 });
    EXPECT_TRUE(early.called.empty());
    EXPECT_EQ(pallex_accept(9e-9, nullptr, remember), 1);
    EXPECT_EQ(early.called, std::vector<intptr_t> { 9000 });
}

TEST(Links, BootStepSettlesWithoutDelaysAndCountsChangedDacs)
{
    for (int settle : { 1, 0 }) {
        Circuit circuit;
        PXobject* source = circuit.part("S", "DUMMY", { { "1", "a" } });
        circuit.part("B1", "BUFFER", { { "A", "a" }, { "Q", "b" } });
        circuit.part("B2", "INVERTER", { { "A", "b" }, { "Q", "c" } });
        circuit.part("CK", "CLOCK", { { "Q", "clk" } }, { { "PERIOD", "10n" } });
        pallex_pokepin(source, 0, 0, STATE_SHI);
        PXinterface pairs[4];
        int32_t count = 0;
        EXPECT_NE(pallex_createdacs("c", pairs, 4, &count), 0);
        ASSERT_EQ(count, 1);
        EXPECT_STREQ(pairs[0].name, "B2");
        EXPECT_NE(pallex_setup(), 0);
        int changes = -1;
        EXPECT_EQ(pallex_bootstep(1, settle, &changes), 1);
        EXPECT_EQ(circuit.state("c"), settle ? STATE_SLO : STATE_SUD) << settle;
        EXPECT_EQ(changes, settle);
        EXPECT_EQ(circuit.state("clk"), STATE_SLO);
        double next = 0;
        EXPECT_NE(pallex_timestep(0, &next), 0);
        EXPECT_DOUBLE_EQ(next, 5e-9);
        STATE state = 0;
        double time = -1;
        EXPECT_NE(pallex_polldac(pairs[0].link, &state, &time), 0);
        EXPECT_EQ(state, settle ? STATE_SLO : STATE_SUD);
        EXPECT_EQ(time, 0);
    }
}

// The states before the step are kept per link, ADC links included, so that a DAC behind an ADC
// is compared with its own earlier state.
TEST(Links, BootStepComparesEachDacWithItsOwnStateBehindAnAdc)
{
    Circuit circuit;
    PXobject* source = circuit.part("S", "DUMMY", { { "1", "a" } });
    circuit.part("B", "INVERTER", { { "A", "a" }, { "Q", "c" } });
    pallex_pokepin(source, 0, 0, STATE_SHI);
    PXlink* adc = nullptr;
    ASSERT_NE(pallex_linkadc("a", &adc), 0);
    PXinterface pairs[4];
    int32_t count = 0;
    ASSERT_NE(pallex_createdacs("c", pairs, 4, &count), 0);
    ASSERT_EQ(count, 1);
    EXPECT_NE(pallex_setup(), 0);
    int changes = -1;
    EXPECT_EQ(pallex_bootstep(1, 1, &changes), 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(pallex_bootstep(0, 1, &changes), 1);
    EXPECT_EQ(changes, 0);
}

TEST(Links, BootStepCountsTheChangesAtModelsPins)
{
    Circuit circuit;
    PXobject* source = circuit.part("S", "DUMMY", { { "1", "a" } });
    circuit.part("B", "INVERTER", { { "A", "a" }, { "Q", "b" } });
    circuit.watch("b");
    pallex_pokepin(source, 0, 0, STATE_SLO);
    EXPECT_NE(pallex_setup(), 0);
    int changes = -1;
    EXPECT_EQ(pallex_bootstep(1, 1, &changes), 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(pallex_bootstep(0, 1, &changes), 1);
    EXPECT_EQ(changes, 0);
}

TEST(Links, TimeStepFollowsTheEventsOnlyWhenDacsOrModelsSeeThem)
{
    for (bool model : { false, true }) {
        Circuit circuit;
        circuit.part("CK", "CLOCK", { { "Q", "clk" } });
        if (model)
            circuit.watch("clk");
        circuit.start(0);
        double next = 0;
        EXPECT_NE(pallex_timestep(0, &next), 0);
        EXPECT_EQ(next, model ? 0.5e-6 : HUGE_VAL);
    }
}

TEST(Links, AdcsDriveWeaklyAndDacsReadTheirPartsDrivers)
{
    Circuit circuit;
    PXobject* source = circuit.part("S", "DUMMY", { { "1", "en" } });
    circuit.part("T", "TRIBUF", { { "A", "en" }, { "EN", "en" }, { "Q", "mix" } }, { { "TD", "1n" } });
    circuit.part("G", "INVERTER", { { "A", "mix" }, { "Q", "out" } }, { { "TD", "1n" } });
    PXinterface adcs[4];
    int32_t count = 0;
    EXPECT_NE(pallex_createadcs("mix", adcs, 4, &count), 0);
    ASSERT_EQ(count, 1);
    EXPECT_STREQ(adcs[0].name, "G");
    PXinterface dacs[4];
    EXPECT_NE(pallex_createdacs("mix", dacs, 4, &count), 0);
    ASSERT_EQ(count, 1);
    pallex_pokepin(source, 0, 0, STATE_SLO);
    circuit.start(5e-9);
    EXPECT_NE(pallex_postadc(adcs[0].link, STATE_WHI), 0);
    circuit.advance(10e-9);
    EXPECT_EQ(circuit.state("mix"), STATE_WHI);
    EXPECT_EQ(circuit.state("out"), STATE_SLO);
    STATE state = 0;
    double time = 0;
    pallex_polldac(dacs[0].link, &state, &time);
    EXPECT_EQ(state, STATE_FLT);
    // The strong driver wins over the ADC; the DAC follows its part alone.
    pallex_pokepin(source, 0, 10e-9, STATE_SHI);
    circuit.advance(20e-9);
    EXPECT_EQ(circuit.state("mix"), STATE_SHI);
    pallex_polldac(dacs[0].link, &state, &time);
    EXPECT_EQ(state, STATE_SHI);
    EXPECT_NEAR(time, 11e-9, 1e-15);
}

TEST(Links, SwitchJoinsItsNetsWhileClosed)
{
    Circuit circuit;
    PXobject* source = circuit.part("S", "DUMMY", { { "1", "a" } });
    PXobject* relay = circuit.part("K", "SWITCH", { { "A", "a" }, { "B", "b" } });
    circuit.part("P", "PULLDOWN", { { "1", "b" } });
    pallex_pokepin(source, 0, 0, STATE_SHI);
    EXPECT_NE(pallex_actuate(relay, 1e-9, 1), 0);
    circuit.start(0.5e-9);
    EXPECT_EQ(circuit.state("b"), STATE_WLO);
    circuit.advance(1e-9);
    EXPECT_EQ(circuit.state("b"), STATE_SHI);
    EXPECT_EQ(circuit.state("a"), STATE_SHI);
    pallex_actuate(relay, 2e-9, 0);
    circuit.advance(3e-9);
    EXPECT_EQ(circuit.state("b"), STATE_WLO);
}

TEST(Links, MergedNetsAreOneAndProbesRecordTheirChanges)
{
    Circuit circuit;
    STATE* early = nullptr;
    circuit.part("CK", "CLOCK", { { "Q", "clk" } }, { { "PERIOD", "10n" } });
    circuit.part("W", "BUFFER", { { "A", "w" }, { "Q", "x" } }, { { "TD", "0" } });
    ASSERT_NE(pallex_linknet("w", &early), 0);
    EXPECT_NE(pallex_mergenets("clk", "w"), 0);
    PXobject* probe = circuit.part("D", "DPROBE", { { "*", "clk" }, { "*", "x" } });
    Partition partition;
    EXPECT_NE(pallex_linkprobe(probe, &partition, 3), 0);
    circuit.start(7e-9);
    EXPECT_EQ(*early, STATE_SHI);
    circuit.advance(12e-9);
    EXPECT_NE(pallex_writedata(6e-9, nullptr), 0);
    using Sample = Partition::Sample;
    EXPECT_EQ(partition.written, (std::vector<Sample> { { 0, 3, { STATE_SLO, STATE_SLO } }, { 5000, 3, { STATE_SHI, STATE_SHI } } }));
    EXPECT_NE(pallex_writedata(12e-9, probe), 0);
    EXPECT_EQ(partition.written.size(), 3u);
    EXPECT_EQ(partition.written.back(), (Sample { 10000, 3, { STATE_SLO, STATE_SLO } }));
}

TEST(Links, ProbesWriteTheirSamplesInTimeOrderFromTheStateWhenLinked)
{
    Circuit circuit;
    circuit.part("CK", "CLOCK", { { "Q", "clk" } }, { { "PERIOD", "10n" } });
    circuit.part("B", "BUFFER", { { "A", "clk" }, { "Q", "late" } }, { { "TD", "3n" } });
    PXobject* first = circuit.part("D1", "DPROBE", { { "*", "late" } });
    PXobject* second = circuit.part("D2", "DPROBE", { { "*", "clk" } });
    EXPECT_NE(pallex_setup(), 0);
    int changes = 0;
    pallex_bootstep(1, 1, &changes);
    Partition partition;
    EXPECT_NE(pallex_linkprobe(first, &partition, 1), 0);
    EXPECT_NE(pallex_linkprobe(second, &partition, 2), 0);
    circuit.advance(12e-9);
    // One probe named: every probe's samples go, in time order.
    EXPECT_NE(pallex_writedata(12e-9, first), 0);
    using Sample = Partition::Sample;
    EXPECT_EQ(partition.written,
        (std::vector<Sample> { { 0, 1, { STATE_SLO } }, { 0, 2, { STATE_SLO } }, { 5000, 2, { STATE_SHI } },
            { 8000, 1, { STATE_SHI } }, { 10000, 2, { STATE_SLO } } }));
    EXPECT_NE(pallex_writedata(12e-9, second), 0);
    EXPECT_EQ(partition.written.size(), 5u);
}
