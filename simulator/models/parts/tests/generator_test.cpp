#include "simulator/models/parts/tests/parttesting.h"

#include "simulator/models/parts/generator.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;

class GeneratorTest : public PartTest {
protected:
    // A one-pin generator V1 of the row on net N, with these extra properties, in a circuit with
    // these netlist properties.
    void generator(
        const std::string& properties, const char* row, const std::string& value, const std::string& extra)
    {
        forget();
        make(properties, std::string("V1,") + row + "," + value + ",PRIMITIVE=ANALOG" + extra + "\n",
            "N,1\nV1,PS,*\n\n");
    }

    // The last value the engine took for the generator's parameter of that keyword.
    std::string lastset(const char* keyword)
    {
        std::string found = "(none)";
        std::string prefix = std::string("setInstanceParm(V1, ") + keyword + "=";
        for (const std::string& call : callsabout("V1"))
            if (call.rfind(prefix, 0) == 0)
                found = call.substr(prefix.size(), call.size() - prefix.size() - 1);
        return found;
    }

    GENERATOR* source() { return dynamic_cast<GENERATOR*>(part("V1")); }

    std::vector<std::string> bindings()
    {
        std::vector<std::string> found;
        for (const std::string& call : callsabout("V1"))
            if (call.rfind("bindNode", 0) == 0)
                found.push_back(call);
        return found;
    }
};

TEST_F(GeneratorTest, PropertiesBecomeTheWaveformVector)
{
    struct CASE {
        const char* circuit; // netlist properties
        const char* row;
        const char* value;
        const char* extra; // the part's properties after PRIMITIVE
        const char* keyword;
        const char* vector;
    } cases[] = {
        { "", "VDC!", "", "", "dc", "1" },
        { "", "VDC!", "", ",DC=2.5", "dc", "2.5" },
        { "", "VSINE!", "X", ",PEAK=2", "sine", "[0, 1, 0, 0, 0]" },
        { "", "VSINE!", "X", ",RMS=1,VO=-1,THETA=3", "sine", "[-1, 1.41421, 0, 0, 3]" },
        { "", "VSINE!", "X", ",FREQ=1k,TD=1m", "sine", "[0, 1, 0, 0.001, 0]" },
        { "TSTOP=2\n", "VSINE!", "X", ",OFFSET=1,AMP=3", "sine", "[1, 3, 0.5, 0, 0]" },
        { "TSTOP=2\n", "VSINE!", "X", ",PER=4m,DELAY=1", "sine", "[0, 1, 250, 1, 0]" },
        { "TSTOP=1\n", "VSINE!", "X", ",PHASE=90,FREQ=1k,TD=5", "sine", "[0, 1, 1000, -0.00025, 0]" },
        { "TSTOP=1\n", "VPULSE!", "X", ",PW=25%,PER=1m", "pulse",
            "[0, 1, 0, 2.5e-07, 2.5e-07, 0.00025, 0.001]" },
        { "TSTOP=10m\n", "VPULSE!", "X", "", "pulse", "[0, 1, 0, 5e-06, 5e-06, 0.005, 0.01]" },
        { "TSTOP=10m\n", "VPULSE!", "X", ",LOW=-1,HIGH=2,FREQ=1k,WIDTH=100u,TD=1u,TRISE=1n", "pulse",
            "[-1, 2, 1e-06, 1e-09, 1e-07, 0.0001, 0.001]" },
        { "", "VPULSE!", "X", ",PER=1m,PW=50%", "pulse", "[0, 1, 0, 1e-12, 1e-12, 0, 0]" },
        { "", "VEXP!", "X", ",TD1=1,TAU1=2", "exp", "[0, 1, 0, 0, 0, 0]" },
        { "TSTOP=1\n", "VEXP!", "X", ",V1=1,V2=0", "exp", "[1, 0, 0, 0.1, 0.5, 0.1]" },
        { "TSTOP=1\n", "VEXP!", "X", ",TD1=0.1,TAU1=0.2", "exp", "[0, 1, 0.1, 0.2, 0.6, 0.2]" },
        { "", "VSFFM!", "X", ",VO=1,FC=1k", "sffm", "[1, 1, 0, 0, 0]" },
        { "TSTOP=1m\n", "VSFFM!", "X", "", "sffm", "[0, 1, 1000, 1, 1000]" },
        { "TSTOP=1m\n", "VSFFM!", "X", ",CARRIER=10k,SIGNAL=100,SPREAD=5", "sffm", "[0, 1, 10000, 5, 100]" },
        { "", "VPWLIN!", "X", ",V0=1,V1m=5,V2m=0", "pwl", "[0, 1, 0.001, 5, 0.002, 0]" },
        { "", "VPWLIN!", "X", ",V2m=4,I1m=[NULL]", "pwl", "[0, 0, 0.001, 0, 0.002, 4]" },
    };
    for (const CASE& c : cases) {
        generator(c.circuit, c.row, c.value, c.extra);
        EXPECT_EQ(lastset(c.keyword), c.vector) << c.row << c.extra << " in " << c.circuit;
        EXPECT_EQ(log().find("#W:"), std::string::npos) << c.row << c.extra << "\n" << log();
    }
}

TEST_F(GeneratorTest, UnusableKeysAreWarnedAboutAndTheNextServes)
{
    generator("TSTOP=1\n", "VPULSE!", "X", ",V1=?,LOW=2,PER=1m,WIDTH=25%");
    std::string text = log();
    EXPECT_THAT(text, HasSubstr("#W:Value expected for property 'V1' in 'V1'\n%S=V1\n"));
    // Only PW takes a percentage; under WIDTH it is an expression that does not evaluate.
    EXPECT_THAT(text, HasSubstr("#W:Error Numeric literal expected parsing property WIDTH of V1\n"));
    EXPECT_THAT(text, HasSubstr("#W:Value expected for property 'WIDTH' in 'V1'\n"));
    EXPECT_EQ(lastset("pulse"), "[2, 1, 0, 5e-07, 5e-07, 0.0005, 0.001]");

    generator("", "VDC!", "3", ",DC=?");
    EXPECT_THAT(log(), HasSubstr("#W:Value expected for property 'DC' in 'V1'\n"));
    EXPECT_EQ(lastset("dc"), "3");
}

TEST_F(GeneratorTest, RepeatedPiecewiseLinearTimeKeepsTheLaterValue)
{
    // Properties are kept in name order, so V1m comes after V0.001.
    generator("", "VPWLIN!", "X", ",V0=1,V1m=5,V2m=0,V0.001=3");
    EXPECT_THAT(log(), HasSubstr("#W:Specified same time V1m twice in V1\n%S=V1\n"));
    EXPECT_EQ(lastset("pwl"), "[0, 1, 0.001, 5, 0.002, 0]");
}

// How one-pin sources drive their net is checked by what the real engines solve (tests/engines).
TEST_F(GeneratorTest, TwoPinSourceBindsAsEverySpicePart)
{
    forget();
    make("", "V1,VSINE,X,PRIMITIVE=ANALOG\n", "P,1\nV1,PS,+\n\nM,1\nV1,PS,-\n\n");
    EXPECT_THAT(bindings(), ElementsAre("bindNode(V1, 1, P)", "bindNode(V1, 2, M)"));
}

TEST_F(GeneratorTest, FrequencyReferenceExcitesTheNamedGeneratorOnly)
{
    forget();
    make("FREQREF=v2\n", "V1,VSINE!,X,PRIMITIVE=ANALOG\nV2,VSINE!,X,PRIMITIVE=ANALOG\n",
        "A,1\nV1,PS,*\n\nB,1\nV2,PS,*\n\n");
    EXPECT_THAT(callsabout("V2"),
        testing::IsSupersetOf({ "setInstanceParm(V2, acmag=1)", "setInstanceParm(V2, acphase=0)",
            "setInstanceParm(V2, distof1=[1])", "setInstanceParm(V2, distof2=[1])" }));
    EXPECT_EQ(lastset("acmag"), "(none)");
    EXPECT_THAT(log(), HasSubstr("#I:V2 selected as frequency reference\n%S=V2\n"));
}

TEST_F(GeneratorTest, WaveformsLimitTheTransientSteps)
{
    struct CASE {
        const char* row;
        const char* extra;
        double tmax;
        double minbreak;
    } cases[] = {
        { "VSINE!", ",FREQ=1k", 1.0 / 30000, 1 },
        { "VSFFM!", ",FC=1k,FS=10k", 1.0 / 300000, 1 },
        { "VPULSE!", ",TR=1u,TF=2u", 1, 5e-7 },
        { "VPWLIN!", ",V0=0,V1m=1,V1.5m=0", 1, 2.5e-4 },
        { "VPWLIN!", ",V0=3", 1, 1 },
        { "VEXP!", "", 1, 1 },
        { "VDC!", "", 1, 1 },
    };
    for (const CASE& c : cases) {
        generator("TSTOP=1\n", c.row, "1", c.extra);
        double tmax = 1;
        double minbreak = 1;
        source()->limitsteps(&tmax, &minbreak);
        EXPECT_DOUBLE_EQ(tmax, c.tmax) << c.row << c.extra;
        EXPECT_DOUBLE_EQ(minbreak, c.minbreak) << c.row << c.extra;
    }
    // A zero frequency gives no limit.
    generator("", "VSINE!", "1", ",FREQ=1k");
    double tmax = 1;
    double minbreak = 1;
    source()->limitsteps(&tmax, &minbreak);
    EXPECT_EQ(tmax, 1);
}

TEST_F(GeneratorTest, RefusedWaveformKeepsTheOneTheEngineHolds)
{
    generator("TSTOP=1\n", "VSINE!", "X", ",FREQ=1k");
    const double* held = source()->coefficients.data();
    ASSERT_EQ(source()->coefficients.size(), 5u);
    fakes::script("setInstanceParm", { 0, E_BADTYPE });
    circuit->setsweepvalue("", 0);
    EXPECT_THAT(log(), HasSubstr("#W:Failed load generator value\n%S=V1\n"));
    EXPECT_EQ(source()->coefficients.data(), held);
    EXPECT_EQ(source()->coefficients[2], 1000);
}

} // namespace
