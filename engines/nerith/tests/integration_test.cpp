// The integration formulas on polynomials, which each order must take exactly, over uneven steps.
#include "engines/nerith/ckt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using nerith::Integration;
using nerith::Method;
using nerith::TruncationTest;

namespace {

// Uneven times, newest first, and a polynomial of a given degree with its derivative.
constexpr double Times[] = { 3.1e-6, 2.6e-6, 2.4e-6, 1.7e-6, 1.5e-6, 0.9e-6, 0.6e-6, 0.1e-6 };

double polynomial(int degree, double t, double lead = 1)
{
    double value = lead;
    for (int k = 0; k < degree; ++k)
        value = value * (t * 1e6) + (k % 2 ? -0.5 : 0.25);
    return value;
}

double slope(int degree, double t, double lead = 1)
{
    const double h = 1e-12;
    return (polynomial(degree, t + h, lead) - polynomial(degree, t - h, lead)) / (2 * h);
}

// A circuit whose first state pair holds the polynomial over the times.
void fill(IFcircuit& ckt, Method method, int order, int degree, double lead = 1)
{
    Integration& in = ckt.integration;
    in.method = method;
    in.order = order;
    in.accepted = nerith::HistoryPoints - 1;
    ckt.statecount = 2;
    for (int j = 0; j < nerith::HistoryPoints; ++j) {
        in.times[j] = Times[j];
        ckt.states[j] = { polynomial(degree, Times[j], lead), slope(degree, Times[j], lead) };
        ckt.solutions[j] = { 0, polynomial(degree, Times[j], lead) };
    }
    ckt.solution = { 0, 0 };
    in.prepare();
}

} // namespace

TEST(Integration, EachOrderDifferentiatesItsPolynomialsExactly)
{
    for (int order = 1; order <= nerith::MaxOrder; ++order) {
        for (Method method : { Method::Trapezoidal, Method::Gear }) {
            if (method == Method::Trapezoidal && order > 2)
                continue;
            SCOPED_TRACE(std::string(method == Method::Gear ? "gear " : "trapezoidal ") + std::to_string(order));
            IFcircuit ckt;
            fill(ckt, method, order, order);
            const Integration& in = ckt.integration;
            const double derivative = in.slope() * ckt.states[0][0] + nerith::history(ckt, 0);
            EXPECT_NEAR(derivative, slope(order, Times[0]), 1e-6 * std::fabs(slope(order, Times[0])));
        }
    }
}

TEST(Integration, PredictorExtrapolatesPolynomialsOfItsOrder)
{
    for (int order = 1; order <= nerith::MaxOrder; ++order) {
        SCOPED_TRACE(order);
        IFcircuit ckt;
        fill(ckt, Method::Gear, order, order);
        nerith::predict(ckt);
        EXPECT_NEAR(ckt.solution[1], polynomial(order, Times[0]), 1e-9 * std::fabs(polynomial(order, Times[0])));
    }
}

TEST(Integration, TruncationErrorComesFromTheNextDerivative)
{
    for (int order = 1; order <= nerith::MaxOrder; ++order) {
        SCOPED_TRACE(order);
        IFcircuit ckt;
        ckt.options.chgtol = 1e300; // the tolerance then stays the same for every polynomial
        // One degree more than the order takes: twice its leading term shortens the step by the
        // order's root of 2; a polynomial the order takes exactly leaves only rounding to limit it.
        fill(ckt, Method::Gear, order, order + 1);
        TruncationTest once(ckt, order);
        once.add(0, 1e-12);
        fill(ckt, Method::Gear, order, order + 1, 2);
        TruncationTest twice(ckt, order);
        twice.add(0, 1e-12);
        ASSERT_TRUE(std::isfinite(once.step()));
        EXPECT_NEAR(once.step() / twice.step(), std::pow(2.0, 1.0 / order), 1e-6);
        fill(ckt, Method::Gear, order, order);
        TruncationTest exact(ckt, order);
        exact.add(0, 1e-12);
        EXPECT_GT(std::pow(exact.step() / once.step(), order), 1e6); // the error, a millionth
        // Too short a history for the order.
        ckt.integration.accepted = order;
        TruncationTest early(ckt, order);
        EXPECT_FALSE(early.possible());
    }
}
