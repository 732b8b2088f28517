#pragma once

#include "engines/nerith/taylor.h"

#include <complex>
#include <cstdint>
#include <initializer_list>
#include <vector>

struct IFcircuit;

namespace nerith {

// The distortion products of the small-signal analysis of a weakly nonlinear circuit (its Volterra
// series to the third order), each the response at one frequency to the currents the devices'
// nonlinearities draw from the responses of lower order: the tones at F1 and F2 themselves, 2F1 and
// F1 - F2 of the second order. Phasors are those of e^(jwt), the halves of cosines.
enum class Product { SecondHarmonic, ThirdHarmonic, Sum, Difference, Intermodulation };

// What a device's nonlinearity adds to the right-hand side of a product.
class Distortion {
public:
    using Solution = std::vector<std::complex<double>>; // by equation number

    // A voltage that controls a nonlinearity: sign * (x[pos] - x[neg]).
    struct Control {
        int32_t pos = 0;
        int32_t neg = 0;
        double sign = 1;
    };

    Distortion(IFcircuit& ckt, Product product, double omega)
        : ckt(ckt)
        , product(product)
        , omega(omega)
    {
    }

    // The responses of lower order the product is built from; those it does not use may be null.
    const Solution* tone1 = nullptr; // at F1
    const Solution* tone2 = nullptr; // at F2
    const Solution* harmonic = nullptr; // at 2 F1
    const Solution* difference = nullptr; // at F1 - F2

    // The product of a current `sign` * i(controls) that flows from `a` through the device to `b`.
    void current(
        const Taylor& i, std::initializer_list<Control> controls, int32_t a, int32_t b, double sign = 1);
    // The same of a charge q(controls) whose current flows from `a` to `b`.
    void charge(
        const Taylor& q, std::initializer_list<Control> controls, int32_t a, int32_t b, double sign = 1);

private:
    std::complex<double> source(const Taylor& f, std::initializer_list<Control> controls) const;
    void add(std::complex<double> current, int32_t a, int32_t b);

    IFcircuit& ckt;
    Product product;
    double omega; // of the product
};

// The depletion charge of a junction (junction.h's depletion()) as a Taylor polynomial of its
// voltage `v`.
Taylor depletioncharge(const Taylor& v, double cj0, double vj, double m, double fc);

} // namespace nerith
