// BSIM cards through the parser into the engine: every parameter name of the BSIM1, BSIM2 and BSIM3
// models and instances reads, a device takes the bin its size falls in, the model's warnings come
// once per model and a fatal value names the model and the parameter.
#include "host/deckrun/tests/rundeck.h"
#include "engines/nerith/descriptor.h"
#include "engines/nerith/nerith.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

using decktest::Result;
using decktest::rundeck;

namespace {

// The number of times `part` occurs in `text`.
int occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The drain current of the operating point the deck prints last.
double current(const Result& r)
{
    const auto line = r.out.find('\n');
    return line == std::string::npos ? 0 : std::strtod(r.out.c_str() + line + 1, nullptr);
}

} // namespace

TEST(Bsim3Cards, EveryParameterNameReads)
{
    // Every model parameter of the engine's table of each BSIM level on one card (numbers where they
    // take one), and every instance parameter on an M card: none is unknown to the parser.
    IFfrontEnd front {};
    IFsimulator* d = nullptr;
    ASSERT_EQ(siminit(&front, &d), 0);
    for (const auto& [type, level] :
        { std::pair { "BSIM1", "4" }, std::pair { "BSIM2", "5" }, std::pair { "BSIM3", "7" } }) {
        std::string card = std::string(".model n nmos level=") + level;
        std::string instance = "m1 d g 0 0 n";
        for (int32_t k = 0; k < d->numDevices; ++k) {
            const IFdevice* device = d->devices[k];
            if (std::string(device->name) != type)
                continue;
            for (int32_t i = 0; i < device->numModelParms; ++i) {
                const IFparm& p = device->modelParms[i];
                if ((p.dataType & IF_SET) && !(p.dataType & IF_FLAG))
                    card += std::string("\n+ ") + p.keyword + (p.dataType & IF_STRING ? "=3.3.0" : "=0");
            }
            for (int32_t i = 0; i < device->numInstanceParms; ++i) {
                const IFparm& p = device->instanceParms[i];
                if ((p.dataType & IF_SET) && !(p.dataType & (IF_FLAG | IF_VECTOR)))
                    instance += std::string(" ") + p.keyword + "=1";
            }
        }
        ASSERT_GT(card.size(), 500u) << type; // the table was found
        const Result r
            = rundeck("every name\nvd d 0 1\nvg g 0 1\n" + instance + "\n" + card + "\n.op\n.end\n");
        EXPECT_EQ(r.err.find("unknown parameter"), std::string::npos) << type << r.err;
    }
}

TEST(Bsim3Cards, DevicesTakeTheBinOfTheirSize)
{
    // Two bins apart in threshold: below 1 um the device conducts, from 1 um on it is off.
    const std::string bins = ".model n.1 nmos level=7 lmin=0.2u lmax=1u wmin=0.5u wmax=10u vth0=0.4\n"
                             ".model n.2 nmos level=7 lmin=1u lmax=5u wmin=0.5u wmax=10u vth0=2.5\n";
    const struct {
        const char* size;
        bool conducts;
    } cases[] = { { "l=0.5u w=2u", true }, { "l=1u w=2u", false }, { "l=4u w=2u", false } };
    for (const auto& c : cases) {
        const Result r = rundeck(std::string("bins\nvd d 0 1.5\nvg g 0 1.8\nm1 d g 0 0 n ") + c.size + "\n"
            + bins + ".op\n.print op i(vd)\n.end\n");
        ASSERT_EQ(r.status, 0) << c.size << r.err;
        EXPECT_EQ(std::fabs(current(r)) > 1e-5, c.conducts) << c.size << " draws " << current(r);
    }
    const Result outside
        = rundeck("bins\nvd d 0 1\nvg g 0 1\nm1 d g 0 0 n l=6u w=2u\n" + bins + ".op\n.end\n");
    EXPECT_NE(outside.err.find("unable to find definition of model n"), std::string::npos) << outside.err;
}

TEST(Bsim3Cards, WarningsComeOncePerModelAndFatalValuesNameModelAndParameter)
{
    const std::string devices = "vd d 0 1.5\nvg g 0 1.2\nm1 d g 0 0 n l=1u w=2u\nm2 d g 0 0 n l=2u w=2u\n"
                                "m3 d g 0 0 n l=3u w=2u\n";
    const Result warned = rundeck(
        "warnings\n" + devices + ".model n nmos level=7 k1=0.5 nsub=1e17 noff=5\n.tran 1n 20n\n.end\n");
    EXPECT_EQ(warned.status, 0) << warned.err;
    EXPECT_EQ(occurrences(warned.err, "BSIM3 model n: nsub is ignored because k1 or k2 is given"), 1)
        << warned.err;
    EXPECT_EQ(occurrences(warned.err, "BSIM3 model n: Noff = 5 is too large"), 1) << warned.err;

    const Result fatal = rundeck("fatal\n" + devices + ".model n nmos level=7 tox=-2n\n.op\n.end\n");
    EXPECT_NE(fatal.status, 0);
    EXPECT_NE(fatal.err.find("BSIM3 model n: Tox = -2e-09 is not positive"), std::string::npos) << fatal.err;
    const Result selector = rundeck("selector\n" + devices + ".model n nmos level=7 capmod=4\n.op\n.end\n");
    EXPECT_NE(selector.err.find("BSIM3 model n has an unknown CAPMOD (0 to 3)"), std::string::npos)
        << selector.err;
}
