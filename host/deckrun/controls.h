#pragma once

#include "engines/mavro/mavro.h"

#include <optional>
#include <string>
#include <vector>

namespace deckrun {

// How a vector's values print: a complex value by its magnitude unless the form says else.
enum class Form { Value, Magnitude, Decibel, Phase, Real, Imaginary };

// A vector a ".print" card names: v(node), v(node,node) or i(device), each with a form letter after
// its own (vm, vdb, vp, vr, vi; im, idb, ip, ir, ii), or a vector of a noise or transfer-function
// plot by its name.
struct Vector {
    std::string name; // as the card writes it, without blanks: "vdb(out)"
    char kind = 'v'; // 'v' a node voltage, 'i' a branch current, 'n' a vector of the plot by name
    Form form = Form::Value;
    std::string first; // node, device or the plot's vector
    std::string second; // the reference node of v(a,b); empty for ground
    std::string analysis; // the card's analysis ("tran", "ac", ...); empty: every analysis
};

struct TranCard {
    double tstep = 0;
    double tstop = 0;
    double tstart = 0;
    double tmax = 0;
    bool uic = false;
};

// "dec|oct|lin points fstart fstop"
struct FrequencySweep {
    std::string spacing;
    int32_t points = 0;
    double start = 0;
    double stop = 0;
};

// "source start stop step" of a ".dc" card
struct DcSweep {
    std::string name;
    double start = 0;
    double stop = 0;
    double step = 0;
};

// An analysis card; `kind` names it as the analysis's .print cards do.
struct AnalysisCard {
    std::string kind; // "op", "tran", "ac", "dc", "tf", "noise", "disto"
    TranCard tran;
    FrequencySweep sweep; // of .ac, .noise and .disto
    std::vector<DcSweep> sources; // of .dc: one or two
    Vector output; // of .tf and .noise: v(node[,node]) or, for .tf, i(source)
    std::string input; // of .tf and .noise
    int32_t ptspersum = 0; // of .noise
    std::optional<double> f2overf1; // of .disto
};

// What the runner reads from the deck's control cards; the parser reads the rest.
struct Controls {
    // ".op", ".tran tstep tstop [tstart [tmax]] [uic]", ".ac dec|oct|lin n fstart fstop",
    // ".dc src start stop step [src2 start2 stop2 step2]", ".tf v(n[,m])|i(vsrc) src",
    // ".noise v(n[,m]) src dec|oct|lin n fstart fstop [ptspersum]",
    // ".disto dec|oct|lin n fstart fstop [f2overf1]", in card order
    std::vector<AnalysisCard> analyses;
    std::vector<Vector> prints; // ".print [analysis] vectors...", in card order
    std::vector<std::pair<std::string, double>> ics; // ".ic v(node)=value ..."
    std::vector<std::pair<std::string, double>> nodesets; // ".nodeset v(node)=value ..."
    std::vector<std::string> notes; // warnings ("line %d: ..."): what was left out
};

// Reads the control cards of the deck; a card that does not read gets its message on its error
// text and in *errors ("line %d: ...").
Controls readcontrols(SPICECARD* deck, std::vector<std::string>* errors);

} // namespace deckrun
