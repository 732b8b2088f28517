#pragma once

#include "engines/nerith/options.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

struct IFcircuit;

namespace nerith {

// Highest integration order (Gear); trapezoidal integration stops at 2.
inline constexpr int32_t MaxOrder = 6;
// Time points whose states the circuit keeps: the one being solved and MaxOrder + 1 accepted ones,
// enough for the divided difference the truncation error of the highest order needs.
inline constexpr int32_t HistoryPoints = MaxOrder + 2;

// How the transient turns charges into currents (and fluxes into voltages) at the point being
// solved. A state pair is a quantity x at index s and its time derivative at s + 1; point 0 is the
// one being solved, point j the j-th last accepted one.
struct Integration {
    Method method = Method::Trapezoidal;
    int32_t order = 1;
    double times[HistoryPoints] {};
    // x'(0) = slope * x(0) + history, with history = sum of weights[j] * x(j) for j >= 1 (and,
    // for the trapezoidal rule of order 2, minus x'(1)).
    double weights[MaxOrder + 1] {};
    int32_t accepted = 0; // accepted points held in times[1..] (at most HistoryPoints - 1)

    double slope() const { return weights[0]; }
    // Whether the truncation error of order k can be estimated at the point being solved: its
    // divided difference needs k + 1 accepted points.
    bool estimable(int32_t k) const { return accepted >= k + 1; }
    double step() const { return times[0] - times[1]; }
    // The weights for times[0] at the present method and order.
    void prepare();
};

// The largest step from the last accepted point that keeps the local truncation error of every
// pair added within tolerance at integration order `order`: for each, the (order + 1)-th divided
// difference of x over the points 0 .. order + 1 times the method's error constant
// (integration.cpp), against RELTOL of the larger derivative plus the pair's absolute tolerance, or
// RELTOL of the larger x (at least CHGTOL) over the step, scaled by TRTOL.
class TruncationTest {
public:
    TruncationTest(const IFcircuit& ckt, int32_t order);
    // Whether the history holds enough points for the order (Integration::estimable); step() is
    // infinite when not.
    bool possible() const { return points > 0; }
    void add(int32_t state, double derivativetol)
    {
        if (!possible())
            return;
        const auto s = static_cast<std::size_t>(state);
        const double derivative = std::max(std::fabs(x[0][s + 1]), std::fabs(x[1][s + 1]));
        const double quantity = std::max(std::fabs(x[0][s]), std::fabs(x[1][s]));
        const double tolerance
            = std::max(reltol * derivative + derivativetol, perstep * std::max(quantity, chgtol));
        double difference = 0;
        for (int32_t j = 0; j < points; ++j)
            difference += weights[j] * x[j][s];
        if (difference == 0)
            return;
        // The smallest tolerance over error so far, kept as a fraction so that no pair divides.
        const double error = std::max(abstol, constant * std::fabs(difference));
        if (tolerance * worsterror < worsttolerance * error) {
            worsttolerance = tolerance;
            worsterror = error;
        }
    }
    // A bound a device puts on the step whatever the truncation error (a switch nearing its
    // threshold); it counts at every order.
    void limit(double step) { bound = std::min(bound, step); }
    // The step all pairs added and every bound allow; infinite when none limits it.
    double step() const;

private:
    int32_t order;
    int32_t points = 0; // of the divided difference; 0: not enough history
    const double* x[MaxOrder + 2] {}; // the states of each point
    double weights[MaxOrder + 2] {}; // the divided difference as a sum of weights times x
    double constant = 0;
    double reltol = 0;
    double perstep = 0; // RELTOL over the step
    double chgtol = 0;
    double abstol = 0;
    double trtol = 0;
    double worsttolerance = 1;
    double worsterror = 0;
    double bound = std::numeric_limits<double>::infinity();
};

// The solution extrapolated to times[0] from the accepted solutions, a first guess for Newton.
void predict(IFcircuit& ckt);

} // namespace nerith
