#include "engines/nerith/integration.h"

#include "engines/nerith/ckt.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace nerith {

namespace {

// The local truncation error of order k is C(k) h^(k+1) x^(k+1) = C(k) (k+1)! h^(k+1) times the
// (k+1)-th divided difference. The estimate takes the divided difference times C(k) at orders 1
// and 2, the scale TRTOL is set for, and keeps that scale at the higher orders: C(k) (k+1)! / 3!.
constexpr double TrapezoidalError[] = { 1.0 / 2, 1.0 / 12 };
constexpr double GearError[]
    = { 1.0 / 2, 2.0 / 9, 3.0 / 22 * 4, 12.0 / 125 * 20, 10.0 / 137 * 120, 20.0 / 343 * 840 };

} // namespace

void Integration::prepare()
{
    const double h = times[0] - times[1];
    std::fill(std::begin(weights), std::end(weights), 0.0);
    if (order == 1) {
        weights[0] = 1 / h;
        weights[1] = -1 / h;
        return;
    }
    if (method == Method::Trapezoidal) {
        weights[0] = 2 / h;
        weights[1] = -2 / h;
        return;
    }
    // The derivative at times[0] of the polynomial through points 0 .. order: weight j is the
    // derivative of the j-th Lagrange basis polynomial there.
    for (int32_t m = 1; m <= order; ++m)
        weights[0] += 1 / (times[0] - times[m]);
    for (int32_t j = 1; j <= order; ++j) {
        double numerator = 1;
        for (int32_t m = 1; m <= order; ++m) {
            if (m != j)
                numerator *= times[0] - times[m];
        }
        double denominator = 1;
        for (int32_t m = 0; m <= order; ++m) {
            if (m != j)
                denominator *= times[j] - times[m];
        }
        weights[j] = numerator / denominator;
    }
}

TruncationTest::TruncationTest(const IFcircuit& ckt, int32_t k)
    : order(k)
{
    const Integration& in = ckt.integration;
    if (order < 1 || order > MaxOrder || !in.estimable(order))
        return;
    points = order + 2;
    // The divided difference over points 0 .. order + 1 is the sum of x(j) over the product of its
    // time's distances to the others.
    for (int32_t j = 0; j < points; ++j) {
        double product = 1;
        for (int32_t m = 0; m < points; ++m) {
            if (m != j)
                product *= in.times[j] - in.times[m];
        }
        weights[j] = 1 / product;
        x[j] = ckt.states[j].data();
    }
    constant = in.method == Method::Trapezoidal ? TrapezoidalError[order - 1] : GearError[order - 1];
    const Options& o = ckt.options;
    reltol = o.reltol;
    perstep = o.reltol / in.step();
    chgtol = o.chgtol;
    abstol = o.abstol;
    trtol = o.trtol;
}

double TruncationTest::step() const
{
    if (worsterror == 0)
        return bound;
    const double least = trtol * worsttolerance / worsterror;
    const double estimate = order == 1 ? least : order == 2 ? std::sqrt(least) : std::pow(least, 1.0 / order);
    return std::min(bound, estimate);
}

void predict(IFcircuit& ckt)
{
    const Integration& in = ckt.integration;
    const int32_t degree = std::min(in.order, in.accepted - 1);
    if (degree < 1)
        return;
    double weight[MaxOrder + 2];
    for (int32_t j = 1; j <= degree + 1; ++j) {
        double w = 1;
        for (int32_t m = 1; m <= degree + 1; ++m) {
            if (m != j)
                w *= (in.times[0] - in.times[m]) / (in.times[j] - in.times[m]);
        }
        weight[j] = w;
    }
    double* x = ckt.solution.data();
    const std::size_t size = ckt.solution.size();
    for (std::size_t n = 1; n < size; ++n) {
        double sum = 0;
        for (int32_t j = 1; j <= degree + 1; ++j)
            sum += weight[j] * ckt.solutions[static_cast<std::size_t>(j)][n];
        x[n] = sum;
    }
}

} // namespace nerith
