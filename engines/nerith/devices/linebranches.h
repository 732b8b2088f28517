#pragma once

#include "engines/nerith/devices/family.h"

#include <array>
#include <cmath>
#include <cstdint>

// What the transmission lines share: two ports (pos1, neg1) and (pos2, neg2), each with a branch
// for the current into its positive terminal, and the ports' values at the start of a run with UIC.

namespace nerith {

// The cells of a line: the ports' incidence of their branches, then each branch's row.
enum LineCell : std::size_t {
    Pos1Br1,
    Neg1Br1,
    Pos2Br2,
    Neg2Br2,
    Br1Pos1,
    Br1Neg1,
    Br1Br1,
    Br1Pos2,
    Br1Neg2,
    Br1Br2,
    Br2Pos2,
    Br2Neg2,
    Br2Br2,
    Br2Pos1,
    Br2Neg1,
    Br2Br1,
    LineCells
};

// The head of a line's load record.
struct LinePorts {
    int32_t ports[4]; // pos1, neg1, pos2, neg2
    int32_t branches[2];
    std::array<int32_t, LineCells> cells;
};

// Numbers the line's terminals, makes its branches "i1" and "i2" once (kept in `branches` across
// set-ups) and places its cells.
inline int bindline(IFcircuit& ckt, IFinstance& line, int32_t (&branches)[2], LinePorts& h)
{
    if (int code = terminalnumbers(ckt, line, 4, h.ports))
        return code;
    for (int k = 0; k < 2; ++k) {
        if (branches[k] == 0)
            branches[k] = ckt.addbranch(&line, line.name, k == 0 ? "i1" : "i2");
        h.branches[k] = branches[k];
    }
    SparseMatrix& m = ckt.matrix;
    const int32_t p1 = h.ports[0], n1 = h.ports[1], p2 = h.ports[2], n2 = h.ports[3];
    const int32_t b1 = h.branches[0], b2 = h.branches[1];
    h.cells = { m.place(p1, b1), m.place(n1, b1), m.place(p2, b2), m.place(n2, b2), m.place(b1, p1),
        m.place(b1, n1), m.place(b1, b1), m.place(b1, p2), m.place(b1, n2), m.place(b1, b2), m.place(b2, p2),
        m.place(b2, n2), m.place(b2, b2), m.place(b2, p1), m.place(b2, n1), m.place(b2, b1) };
    return 0;
}

// The ports' KCL: each branch's current leaves its port's positive node and enters the negative.
inline void stampincidence(double* a, const LinePorts& h)
{
    a[h.cells[Pos1Br1]] += 1;
    a[h.cells[Neg1Br1]] -= 1;
    a[h.cells[Pos2Br2]] += 1;
    a[h.cells[Neg2Br2]] -= 1;
}

// "ic": V1, I1, V2 and I2 of the line's members v1, i1, v2, i2, as many as the vector gives.
template <class Instance> int setlinestart(Instance& t, const IFvalue& value)
{
    const int32_t count = value.v.numValue;
    if (count < 1 || count > 4 || !value.v.vec.rVec)
        return E_BADVALUE;
    double* targets[] = { &t.v1, &t.i1, &t.v2, &t.i2 };
    for (int32_t k = 0; k < count; ++k) {
        if (!std::isfinite(value.v.vec.rVec[k]))
            return E_BADVALUE;
        *targets[k] = value.v.vec.rVec[k];
    }
    return 0;
}

} // namespace nerith
