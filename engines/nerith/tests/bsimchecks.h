#pragma once

// The checks the BSIM levels' tests share: the current at a bias point against a reference, and the
// derivatives the equations carry along against central differences.
#include "engines/nerith/devices/bsimload.h"

#include <gtest/gtest.h>

#include <cmath>

namespace bsimtest {

// A bias point with a reference's drain current and its derivatives by vgs, vds and vbs.
struct Reference {
    const char* region;
    bool n; // of the N channel card (else the P channel's)
    double vgs, vds, vbs, id, gm, gds, gmbs;
};

// Expects the channel's current at the point within `digits` of the reference's (and the junction's
// leakage the reference may hold) and its derivatives within 1e-4.
inline void expectreference(const nerith::bsim::Channel& ch, const Reference& r, double digits = 1e-6)
{
    EXPECT_NEAR(ch.ids.v, r.id, digits * r.id + 1e-13);
    EXPECT_NEAR(ch.ids.g, r.gm, 1e-4 * std::fabs(r.gm));
    EXPECT_NEAR(ch.ids.d, r.gds, 1e-4 * std::fabs(r.gm) + 1e-4 * std::fabs(r.gds));
    EXPECT_NEAR(ch.ids.b, r.gmbs, 1e-4 * std::fabs(r.gmbs));
}

// Expects the current and the charges `evaluate(bias)` gives at `b` to carry the derivatives by vgs,
// vds and vbs that their central differences show, within 1e-4 of the derivatives' sum.
template <class Evaluate> void expectderivatives(Evaluate evaluate, const nerith::bsim::Bias& b)
{
    using nerith::bsim::Bias;
    using nerith::bsim::Channel;
    using nerith::bsim::Dual;
    const Channel at = evaluate(b);
    const double h = 1e-6;
    for (int k = 0; k < 3; ++k) {
        Bias up = b, down = b;
        (k == 0 ? up.vgs : k == 1 ? up.vds : up.vbs) += h;
        (k == 0 ? down.vgs : k == 1 ? down.vds : down.vbs) -= h;
        const Channel hi = evaluate(up);
        const Channel lo = evaluate(down);
        const struct {
            Dual Channel::*value;
            const char* name;
        } values[] = { { &Channel::ids, "ids" }, { &Channel::isub, "isub" }, { &Channel::qg, "qg" },
            { &Channel::qb, "qb" }, { &Channel::qd, "qd" } };
        for (const auto& [q, name] : values) {
            const double numeric = ((hi.*q).v - (lo.*q).v) / (2 * h);
            const double exact = k == 0 ? (at.*q).g : k == 1 ? (at.*q).d : (at.*q).b;
            const double scale = std::fabs((at.*q).g) + std::fabs((at.*q).d) + std::fabs((at.*q).b);
            EXPECT_NEAR(exact, numeric, 1e-4 * scale + 1e-18) << name << " by voltage " << k;
        }
    }
}

} // namespace bsimtest
