// The BSIM2 channel as plain functions: drain current and conductances at chosen bias points
// against ngspice's BSIM2 on the same card, the derivatives of current and charges against finite
// differences from weak to strong inversion, and the voltage limits the model holds its bias in.
#include "engines/nerith/devices/bsim2.h"
#include "engines/nerith/tests/bsimchecks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace nerith::bsim2;

// A model with every binned base value and the given length terms, the rest as a card leaves them.
Model model(int32_t polarity, const double (&base)[BinnedCount], double mu0, double dl)
{
    Model m;
    m.polarity = polarity;
    for (std::size_t k = 0; k < BinnedCount; ++k)
        m.bin[k][0] = base[k];
    m.mu0 = mu0;
    m.dl = dl;
    m.dw = 0.3;
    m.tox = 0.02;
    m.temp = 27;
    m.vdd = 5;
    m.vgg = 5;
    m.vbb = -5;
    m.af = 1;
    return m;
}

// The N and P channel cards of the BSIM2 decks (without series resistance).
Model nchannel()
{
    const double base[BinnedCount] = { -0.9, 0.8, 1.0, 0.05, 0.002, -0.001, -2, 700, -5, 2.5, 0.2, -0.1, 12,
        -1, -0.5, -2, 0.1, 0.2, 0.15, -0.01, 0.01, 0.002, 0.08, -0.005, 0.1, 1.3, 0.3, 0.02, 1.5, -0.1, 0.05,
        2, 0.1, 20, 1, 0.3, -0.2 };
    Model m = model(1, base, 550, 0.2);
    m.bin[Vfb][1] = 0.03;
    m.bin[K1][1] = -0.1;
    m.bin[Eta0][1] = 0.004;
    m.bin[Betas0][1] = -50;
    m.bin[Ua0][1] = 0.05;
    m.bin[U10][1] = 0.1;
    return m;
}

Model pchannel()
{
    const double base[BinnedCount]
        = { -0.3, 0.75, 0.6, 0.02, 0.003, 0.001, -1, 230, -2, 2, 0, 0, 4, -0.3, 0, 0, 0, 0, 0.2, 0, 0.005, 0,
              0.03, -0.002, 0.05, 1.4, 0.4, 0.02, 1.6, 0, 0.04, 0, 0, 0, 0, 0.25, -0.15 };
    return model(-1, base, 180, 0.25);
}

Constants constants(const Model& m)
{
    Constants c;
    EXPECT_EQ(prepare(m, 1.2e-6, 6e-6, 0, 0, 0, 0, 1, 1, c), nullptr);
    return c;
}

} // namespace

TEST(Bsim2, DrainCurrentAndConductancesMatchTheReferenceAtBiasPoints)
{
    // Drain currents of ngspice-39 (LEVEL 5) at these points and their central differences over
    // 10 uV, L = 1.2 um, W = 6 um.
    const bsimtest::Reference cases[] = {
        { "saturated with impact ionization", true, 3, 2, -0.2, 6.284514390e-04, 4.371842e-04, 2.044736e-05,
            1.453486e-04 },
        { "linear with body bias", true, 3, 0.3, -1, 1.955260496e-04, 7.944279e-05, 5.683467e-04,
            2.342869e-05 },
        { "weak inversion", true, 0.5, 2, -0.2, 3.493338339e-09, 8.235467e-08, 1.074718e-09, 3.442930e-08 },
        { "between weak and strong inversion", true, 0.75, 1, -0.2, 7.258375950e-07, 1.135836e-05,
            1.061353e-07, 4.534484e-06 },
        { "P channel saturated", false, 3, 2, -0.2, 2.563182194e-04, 2.135361e-04, 6.687500e-06,
            4.912590e-05 },
        { "P channel linear", false, 4, 0.5, -1, 1.567134881e-04, 3.748615e-05, 2.945884e-04, 6.865400e-06 },
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

TEST(Bsim2, DerivativesMatchFiniteDifferencesFromWeakToStrongInversion)
{
    const Model m = nchannel();
    const Constants c = constants(m);
    const double biases[][3] = { { 3, 0.5, -0.1 }, { 3, 4, -1 }, { 0.3, 1, -0.1 }, { 0.75, 1, -0.2 },
        { -1.5, 1, -0.5 }, { 2.5, -0.8, -0.3 }, { 1.2, 0.05, 0.2 } };
    for (const auto& b : biases) {
        SCOPED_TRACE(testing::Message() << "at " << b[0] << ", " << b[1] << ", " << b[2]);
        bsimtest::expectderivatives(
            [&](const Bias& at) { return channel(m, c, at, true); }, { b[0], b[1], b[2] });
    }
}

TEST(Bsim2, BiasIsHeldWithinTwiceTheModelsVoltageLimits)
{
    // Beyond 2 VDD, 2 VGG and 2 VBB the channel sees the limit: its current stands still.
    const Model m = nchannel();
    const Constants c = constants(m);
    const double at = channel(m, c, { 10, 10, -10 }, false).ids.v;
    EXPECT_EQ(channel(m, c, { 12, 14, -11 }, false).ids.v, at);
    EXPECT_EQ(channel(m, c, { 12, 14, -11 }, false).ids.g, 0);
}
