#pragma once

#include <cstdint>

struct IFcircuit;
struct IFinstance;

// What the mutual inductance needs of the inductors it couples.

namespace nerith {

// Whether the instance is an inductor.
bool isinductor(const IFinstance& instance);
// The inductance of an inductor (H) at its temperature, of its M copies in parallel.
double inductance(const IFcircuit& ckt, const IFinstance& inductor);
// The branch equation of a bound inductor.
int32_t inductorbranch(const IFinstance& inductor);
// Couples two bound inductors: from now on each one's flux holds *mutual times the other's current.
// The caller keeps *mutual (H) up to date; the coupling lasts until the inductors unbind.
void couple(IFinstance& a, IFinstance& b, const double* mutual);

} // namespace nerith
