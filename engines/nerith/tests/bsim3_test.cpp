// The BSIM3 channel as plain functions: drain current and conductances at chosen bias points against
// ngspice's BSIM3 (version 3.3) on the same model card, every derivative carried along the equations
// against finite differences, and the model's checks of its values.
#include "engines/nerith/devices/bsim3eval.h"
#include "engines/nerith/devices/bsim3table.h"
#include "engines/nerith/tests/bsimchecks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <string>

namespace {

using namespace nerith::bsim3;

struct Value {
    const char* keyword;
    double value;
};

// Sets a value through the model's table, as a card would.
void set(Model& m, const Value& v)
{
    for (const auto& row : modelparameters.rows()) {
        if (std::strcmp(row.keyword, v.keyword) == 0 && row.set) {
            IFvalue value {};
            if (row.dataType & IF_INTEGER)
                value.iValue = static_cast<int32_t>(v.value);
            else
                value.rValue = v.value;
            EXPECT_EQ(row.set(m, value, row), 0) << v.keyword;
            return;
        }
    }
    ADD_FAILURE() << "no parameter " << v.keyword;
}

// A model of the given polarity with its defaults and the values set.
Model model(int32_t polarity, std::initializer_list<Value> values, std::initializer_list<Value> extra = {})
{
    Model m;
    modelparameters.defaults(m);
    m.polarity = polarity;
    for (const Value& v : values)
        set(m, v);
    for (const Value& v : extra)
        set(m, v);
    return m;
}

// A 0.35 um style card (no series resistance, so the bias is the channel's own).
Model nchannel(std::initializer_list<Value> extra = {})
{
    return model(1,
        { { "tox", 7.6e-9 }, { "xj", 1.5e-7 }, { "nch", 2.2e17 }, { "nsub", 6e16 }, { "vth0", 0.54 },
            { "k1", 0.58 }, { "k2", 0.012 }, { "k3", 0 }, { "nlx", 1.6e-7 }, { "dvt0", 2.4 },
            { "dvt1", 0.62 }, { "dvt2", -0.04 }, { "u0", 430 }, { "ua", 2.1e-9 }, { "ub", 1.4e-18 },
            { "uc", 3.5e-11 }, { "vsat", 1.05e5 }, { "a0", 1.05 }, { "ags", 0.22 }, { "b0", 1e-7 },
            { "b1", 1e-6 }, { "keta", -0.012 }, { "rdsw", 850 }, { "prwg", 0.04 }, { "prwb", -0.02 },
            { "wint", 4e-8 }, { "lint", 3e-8 }, { "dwg", -5e-9 }, { "dwb", 4e-9 }, { "voff", -0.09 },
            { "nfactor", 1.1 }, { "eta0", 0.025 }, { "etab", -0.02 }, { "dsub", 0.5 }, { "pclm", 1.4 },
            { "pdiblc1", 0.22 }, { "pdiblc2", 4.5e-3 }, { "pdiblcb", -0.05 }, { "drout", 0.5 },
            { "pscbe1", 4e8 }, { "pscbe2", 1.5e-5 }, { "pvag", 0.1 }, { "alpha0", 1e-7 }, { "beta0", 28 },
            { "ua1", 4.3e-9 }, { "ub1", -7.6e-18 }, { "uc1", -5.6e-11 }, { "cgsl", 4e-11 }, { "cgdl", 4e-11 },
            { "cgso", 2.2e-10 }, { "cgdo", 2.2e-10 }, { "cgbo", 1e-12 }, { "cj", 9.2e-4 }, { "mj", 0.36 } },
        extra);
}

Model pchannel()
{
    return model(-1,
        { { "tox", 7.6e-9 }, { "xj", 1.5e-7 }, { "nch", 8.6e16 }, { "nsub", 6e16 }, { "vth0", -0.66 },
            { "k1", 0.49 }, { "k2", -0.02 }, { "k3", 0 }, { "nlx", 1.9e-7 }, { "dvt0", 2.1 },
            { "dvt1", 0.48 }, { "dvt2", -0.06 }, { "u0", 145 }, { "ua", 1.3e-9 }, { "ub", 1.6e-21 },
            { "uc", -1.1e-10 }, { "vsat", 1.2e5 }, { "a0", 0.95 }, { "ags", 0.16 }, { "b0", 2e-7 },
            { "b1", 2e-6 }, { "keta", -0.008 }, { "rdsw", 1900 }, { "prwg", 0.05 }, { "prwb", -0.04 },
            { "wint", 5e-8 }, { "lint", 4e-8 }, { "dwg", -6e-9 }, { "dwb", 5e-9 }, { "voff", -0.11 },
            { "nfactor", 1.25 }, { "eta0", 0.06 }, { "etab", -0.045 }, { "dsub", 0.7 }, { "pclm", 2.1 },
            { "pdiblc1", 0.04 }, { "pdiblc2", 3e-4 }, { "pdiblcb", -0.08 }, { "drout", 0.3 },
            { "pscbe1", 6e9 }, { "pscbe2", 5e-10 }, { "pvag", 0.3 }, { "ua1", 4e-9 }, { "ub1", -7e-18 },
            { "kt1", -0.12 }, { "kt2", 0.02 }, { "ute", -1.3 } });
}

constexpr double Room = 300.15;

Constants constants(const Model& m, double l = 0.35e-6, double w = 2e-6, double kelvin = Room)
{
    Constants c;
    Findings found;
    prepare(m, { l, w, 0, 0, 0, 0, 1, 1 }, Room, kelvin, c, found);
    EXPECT_EQ(found.fatal, "");
    return c;
}

} // namespace

TEST(Bsim3, DrainCurrentAndConductancesMatchTheReferenceAtBiasPoints)
{
    // Values of ngspice-39 (LEVEL 8, version 3.3.0) at these points, L = 0.35 um, W = 2 um, 27 degC.
    const bsimtest::Reference cases[] = {
        { "linear", true, 1.2, 0.1, 0, 3.377359e-05, 4.898298e-05, 2.955697e-04, 1.673849e-05 },
        { "saturated", true, 2, 3.3, 0, 4.216332e-04, 3.623761e-04, 3.640195e-05, 9.256063e-05 },
        { "reverse body bias", true, 1.5, 2, -1, 1.436603e-04, 3.036106e-04, 1.708870e-05, 5.847107e-05 },
        { "subthreshold", true, 0.3, 1, 0, 3.905057e-10, 1.097701e-08, 2.000495e-10, 3.441544e-09 },
        { "forward body bias", true, 3.3, 0.6, 0.3, 4.264586e-04, 6.752469e-05, 5.749822e-04, 2.566909e-05 },
        { "P channel saturated", false, 2, 3, 0, 2.411571e-04, 2.405510e-04, 1.691525e-05, 2.086646e-05 },
        { "P channel linear", false, 3, 0.2, -0.5, 7.221912e-05, 1.422753e-05, 3.451973e-04, 3.468325e-06 },
    };
    const Model n = nchannel();
    const Model p = pchannel();
    const Constants cn = constants(n);
    const Constants cp = constants(p);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.region);
        const Model& m = c.n ? n : p;
        const Channel ch = channel(m, c.n ? cn : cp, { c.vgs, c.vds, c.vbs }, false);
        bsimtest::expectreference(ch, c, 1e-5);
    }
}

TEST(Bsim3, ReversedChannelCarriesTheMirroredCurrent)
{
    // With drain and source exchanged the current is the negative of the forward one at the
    // exchanged voltages, and so are its derivatives by the exchanged terminals.
    const Model m = nchannel();
    const Constants c = constants(m);
    const Channel forward = channel(m, c, { 1.6, 1.2, -0.4 }, true);
    const Channel reverse = channel(m, c, { 1.6 - 1.2, -1.2, -0.4 - 1.2 }, true);
    EXPECT_EQ(reverse.mode, -1);
    EXPECT_NEAR(reverse.ids.v, -forward.ids.v, 1e-12 * forward.ids.v);
    // The reverse gate drive is vgs - vds: d/dvgs of it is the forward gm.
    EXPECT_NEAR(reverse.ids.g, -forward.ids.g, 1e-9 * forward.ids.g);
    // The reverse drain charge is the forward source charge.
    const double qs = -(forward.qg.v + forward.qb.v + forward.qd.v);
    EXPECT_NEAR(reverse.qd.v, qs, 1e-9 * std::fabs(qs));
}

TEST(Bsim3, DerivativesMatchFiniteDifferencesInEveryChargeModel)
{
    const struct {
        double capmod, xpart, mobmod;
    } variants[] = { { 0, 0, 1 }, { 0, 1, 2 }, { 0, 0.5, 3 }, { 1, 0, 1 }, { 1, 1, 2 }, { 1, 0.5, 1 },
        { 2, 0, 3 }, { 2, 0.4, 1 }, { 3, 0, 1 }, { 3, 1, 1 }, { 3, 0.5, 2 } };
    const double biases[][3] = { { 1.5, 2.5, 0 }, { 2.2, 0.3, -1.2 }, { 0.35, 1.5, 0 }, { -0.6, 1, -0.5 },
        { 1.8, -0.7, -0.2 }, { 2.5, 0.05, 0.2 } };
    for (const auto& v : variants) {
        const Model m = nchannel(
            { { "capmod", v.capmod }, { "xpart", v.xpart }, { "mobmod", v.mobmod }, { "ngate", 5e19 } });
        const Constants c = constants(m);
        for (const auto& b : biases) {
            SCOPED_TRACE(testing::Message() << "capmod " << v.capmod << " xpart " << v.xpart << " at vgs "
                                            << b[0] << " vds " << b[1] << " vbs " << b[2]);
            bsimtest::expectderivatives(
                [&](const Bias& at) { return channel(m, c, at, true); }, { b[0], b[1], b[2] });
        }
    }
}

TEST(Bsim3, BinnedTermsScaleWithTheEffectiveSize)
{
    // P = P0 + PL / Leff + PW / Weff + PP / (Leff Weff), the inverses in 1/um with BINUNIT 1.
    const Model m = nchannel({ { "lvth0", 0.02 }, { "wvth0", -0.01 }, { "pvth0", 0.004 }, { "lu0", -30 } });
    const Constants c = constants(m, 0.5e-6, 4e-6);
    const double leff = 0.5 - 2 * 0.03, weff = 4 - 2 * 0.04; // um
    EXPECT_NEAR(c.leff, leff * 1e-6, 1e-15);
    EXPECT_NEAR(c.vth0, 0.54 + 0.02 / leff - 0.01 / weff + 0.004 / (leff * weff), 1e-12);
    EXPECT_NEAR(c.p[U0], (430 - 30 / leff) / 1e4, 1e-12);
    // The same terms in meters with BINUNIT 0.
    const Model meters = nchannel({ { "binunit", 0 }, { "lvth0", 0.02e-6 }, { "wvth0", -0.01e-6 },
        { "pvth0", 0.004e-12 }, { "lu0", -30e-6 } });
    const Constants cm = constants(meters, 0.5e-6, 4e-6);
    EXPECT_NEAR(cm.vth0, c.vth0, 1e-12);
    EXPECT_NEAR(cm.p[U0], c.p[U0], 1e-12);
}

TEST(Bsim3, ChecksNameTheFaultyParameterAndWarnOfDoubtfulValues)
{
    const struct {
        Value value;
        const char* fatal;
    } faults[] = {
        { { "tox", -1e-9 }, "Tox = -1e-09 is not positive" },
        { { "nch", -1 }, "Nch = -1 is not positive" },
        { { "xj", 0 }, "Xj = 0 is not positive" },
        { { "dvt1", -0.1 }, "Dvt1 = -0.1 is negative" },
        { { "pclm", 0 }, "Pclm = 0 is not positive" },
        { { "lint", 0.2e-6 }, "the effective channel length is not positive" },
    };
    for (const auto& f : faults) {
        Constants c;
        Findings found;
        prepare(nchannel({ f.value }), { 0.35e-6, 2e-6, 0, 0, 0, 0, 1, 1 }, Room, Room, c, found);
        EXPECT_EQ(found.fatal, f.fatal) << f.value.keyword;
    }
    Constants c;
    Findings found;
    prepare(nchannel({ { "paramchk", 1 }, { "a2", 2 }, { "noff", 5 } }), { 0.35e-6, 2e-6, 0, 0, 0, 0, 1, 1 },
        Room, Room, c, found);
    EXPECT_EQ(found.fatal, "");
    const std::string all = [&] {
        std::string text;
        for (const std::string& w : found.warnings)
            text += w + "\n";
        return text;
    }();
    EXPECT_NE(all.find("Noff = 5 is too large"), std::string::npos) << all;
    EXPECT_NE(all.find("A2 = 2 is larger than 1: A2 = 1 and A1 = 0 are used"), std::string::npos) << all;
    EXPECT_EQ(c.p[A2], 1);
}
