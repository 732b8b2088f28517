#pragma once

#include "host/deckrun/controls.h"
#include "engines/nerith/descriptor.h"

#include <complex>
#include <cstdio>
#include <string>
#include <vector>

namespace deckrun {

// Prints the plots of a run, each a block of lines: the names, the sweep variable first when the
// plot has one, then a line per point, values "%.9e" separated by blanks; blocks are separated by
// an empty line. A plot prints the vectors of the ".print" cards of its analysis and of those
// without one; when the deck has no card for its analysis, every node voltage, or every vector of a
// noise or transfer-function plot. Complex values print by their form (magnitude by default), the
// noise plots' squared densities and totals by their roots (V/sqrt(Hz), V).
class Printer {
public:
    Printer(IFsimulator* engine, IFcircuit* ckt, const Controls& controls, std::FILE* out, std::FILE* err);

    // The front end's plot entries; 0, or E_NOTFOUND (reported) for a vector the plot cannot give.
    int begin(const char* analysis, IFuid reference, int32_t count, IFuid* names, int32_t type);
    int add(double reference, const IFvalue& data);
    int end();

    // The vectors of the plots' names that cards of `analysis` asked for and no plot held.
    std::vector<std::string> unprinted(const std::string& analysis) const;

    // The transient's TSTOP while its progress is shown on a terminal; 0: none shown.
    double stop = 0;
    // The last plot's vectors and the points of every plot, for the statistics.
    int32_t equations = 0;
    std::size_t points = 0;

private:
    // Where a printed vector's numbers come from in the plot's data: entry `plus` minus entry
    // `minus` (-1: ground).
    struct Column {
        Form form = Form::Value;
        int32_t plus = -1;
        int32_t minus = -1;
    };

    int32_t nodecolumn(const std::string& name, int32_t count, IFuid* names) const;
    double value(const Column& column, const IFvalue& data) const;

    IFsimulator* engine;
    IFcircuit* ckt;
    const Controls& controls;
    std::FILE* out;
    std::FILE* err;
    std::vector<Column> columns;
    std::vector<bool> printed; // of each .print vector: a plot held it
    bool sweep = false; // the plot has a reference to print first
    bool complex = false;
    bool roots = false; // a noise plot
    bool shown = false; // the plot prints
    int blocks = 0; // printed so far
    int progress = -1; // the percentage last shown
    std::string line; // the point being printed
};

} // namespace deckrun
