// The BSIM1 channel as plain functions: drain current and conductances at chosen bias points
// against ngspice's BSIM1 on the same card, the charges' derivatives against finite differences in
// both partitions, the current's continuity through vds = 0 and the unusable values named.
#include "engines/nerith/devices/bsim1.h"
#include "engines/nerith/tests/bsimchecks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace nerith::bsim1;

// The N and P channel cards of the BSIM1 decks (without series resistance).
Model nchannel(bool zeroto100 = true)
{
    Model m;
    m.polarity = 1;
    auto bin = [&](Binned k, double base, double l = 0, double w = 0) {
        m.bin[k][0] = base;
        m.bin[k][1] = l;
        m.bin[k][2] = w;
    };
    bin(Vfb, -0.82, 0.04, -0.02);
    bin(Phi, 0.74);
    bin(K1, 1.05, -0.12, 0.05);
    bin(K2, 0.08, 0.02);
    bin(Eta, 0.004, 0.006);
    bin(EtaB, -0.002);
    bin(EtaD, 0.0005);
    bin(BetaZeroB, 6, -4);
    bin(BetaVdd, 560, 80);
    bin(BetaVddB, -2);
    bin(BetaVddD, 8, -3);
    bin(Ugs, 0.06, 0.04);
    bin(UgsB, -0.005);
    bin(Uds, 0.12, 0.2);
    bin(UdsB, -0.01);
    bin(UdsD, 0.004);
    bin(N0, 1.4, 0.1);
    bin(Nb, 0.3);
    bin(Nd, 0.05);
    m.dl = 0.25;
    m.dw = 0.4;
    m.muz = 620;
    m.tox = 0.025;
    m.vdd = 5;
    m.xpart = zeroto100;
    return m;
}

Model pchannel()
{
    Model m;
    m.polarity = -1;
    const double base[BinnedCount] = { -0.25, 0.7, 0.55, 0.02, 0.006, 0.001, -0.0005, 2, 200, 1, 2, 0.1,
        0.004, 0.03, 0.002, 0.001, 1.5, 0.2, 0.02 };
    for (std::size_t k = 0; k < BinnedCount; ++k)
        m.bin[k][0] = base[k];
    m.dl = 0.3;
    m.dw = 0.4;
    m.muz = 210;
    m.tox = 0.025;
    m.vdd = 5;
    return m;
}

Constants constants(const Model& m)
{
    Constants c;
    EXPECT_EQ(prepare(m, 1.2e-6, 6e-6, 0, 0, 0, 0, 1, 1, c), nullptr);
    return c;
}

} // namespace

TEST(Bsim1, DrainCurrentAndConductancesMatchTheReferenceAtBiasPoints)
{
    // Drain currents of ngspice-39 (LEVEL 4) at these points and their central differences over
    // 10 uV, L = 1.2 um, W = 6 um.
    const bsimtest::Reference cases[] = {
        { "saturated", true, 3, 2, -0.2, 5.346326099e-04, 3.528076e-04, 5.713430e-06, 1.165909e-04 },
        { "linear with body bias", true, 3, 0.3, -1, 2.059373480e-04, 9.528909e-05, 5.509052e-04,
            2.600994e-05 },
        { "weak inversion", true, 0.6, 2, -0.2, 4.721753831e-08, 1.144672e-06, 1.722408e-08, 4.634705e-07 },
        { "above VDD", true, 5, 6, -0.2, 1.308958510e-03, 3.765878e-04, 8.039250e-06, 1.208798e-04 },
        { "P channel saturated", false, 3, 2, -0.2, 2.472723792e-04, 2.133584e-04, -2.481950e-06,
            4.556055e-05 },
        { "P channel linear", false, 4, 0.5, -1, 1.770578336e-04, 5.501440e-05, 3.055312e-04, 9.879550e-06 },
    };
    const Model n = nchannel();
    const Model p = pchannel();
    const Constants cn = constants(n);
    const Constants cp = constants(p);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.region);
        const Channel ch = channel(c.n ? n : p, c.n ? cn : cp, { c.vgs, c.vds, c.vbs }, false);
        bsimtest::expectreference(ch, c);
    }
}

TEST(Bsim1, ChargeDerivativesMatchFiniteDifferencesInBothPartitions)
{
    const double biases[][3]
        = { { 3, 0.5, -0.1 }, { 3, 4, -1 }, { 0.2, 1, -0.1 }, { -1.5, 1, -0.5 }, { 2.5, -0.8, -0.3 } };
    for (bool xpart : { false, true }) {
        const Model m = nchannel(xpart);
        const Constants c = constants(m);
        for (const auto& b : biases) {
            SCOPED_TRACE(
                testing::Message() << "xpart " << xpart << " at " << b[0] << ", " << b[1] << ", " << b[2]);
            bsimtest::expectderivatives(
                [&](const Bias& at) { return channel(m, c, at, true); }, { b[0], b[1], b[2] });
        }
    }
}

TEST(Bsim1, CurrentIsContinuousThroughZeroDrainVoltage)
{
    // Above the threshold the weak-inversion term must not leave its limit's current at any vds > 0
    // while none flows at vds = 0: the current falls to zero with vds from either side.
    const Model m = nchannel();
    const Constants c = constants(m);
    for (double vds : { 1e-6, -1e-6, 1e-9 }) {
        const Channel ch = channel(m, c, { 4, vds, 0 }, false);
        EXPECT_LT(std::fabs(ch.ids.v), 2 * std::fabs(ch.ids.d * vds)) << vds;
    }
}

TEST(Bsim1, UnusableValuesAreNamed)
{
    Constants c;
    Model m = nchannel();
    m.tox = 0;
    EXPECT_STREQ(prepare(m, 1e-6, 1e-6, 0, 0, 0, 0, 1, 1, c), "oxide thickness TOX");
    m = nchannel();
    m.dl = 2;
    EXPECT_STREQ(prepare(m, 1e-6, 1e-6, 0, 0, 0, 0, 1, 1, c), "effective channel length (L less DL)");
}
