#pragma once

#include "simulator/models/parts/iprobe.h"
#include "simulator/models/parts/spicecpt.h"

#include <memory>
#include <string>
#include <vector>

class IFparseTree;

// ARBSOURCE: the behavioural source (rows AVS and ACS): the engine's arbitrary source with an
// output voltage or current given by the expression in VALUE. The expression may read the part's
// own pins: v(X) and v(X,Y) become the quoted names of the pins' nets, and i(X,Y) the current of a
// probe the part inserts from X's net to Y's (named "<part>#XY", letters in alphabetical order; i
// written with the letters descending reads -i of it). Everything else reaches the engine's
// parser as written, in lower case without blanks.
class ARBSOURCE final : public SPICECPT {
public:
    using SPICECPT::SPICECPT;
    // 9: the SPICE part's binding, then the expression: rewritten, parsed and set as the row's
    // value parameter. A rewrite or parse that fails is warned about ("Error in %s - %s."), with
    // the VALUE text and a caret under the point reached on the module's standard output; the
    // source then has no expression.
    void bindmodel(INPtables* table, IFcircuit* circuit) override;
    // 17: the SPICE part's parameters; its VALUE is the expression bindmodel set, no SPICE value.
    void initialise(CIRCUIT* circuit, void* models) override;

    // The outcome of rewriting a VALUE text.
    struct REWRITE {
        std::string text; // what the engine's parser gets
        std::string error; // empty when the rewrite succeeded
        size_t position = 0; // characters of the VALUE text read before the error
    };
    // Rewrites the VALUE text, inserting the probes its current terms need (bound in the engine's
    // circuit and entered in the parser's table).
    REWRITE rewrite(const char* value, INPtables* table, IFcircuit* circuit);

    std::vector<std::unique_ptr<IPROBE>> probes; // owned
    IFparseTree* expression = nullptr; // the parser's; null when the rewrite or the parse failed
};
