#pragma once

#include "engines/mavro/mavro.h"

#include <optional>
#include <string>
#include <vector>

namespace deckrun {

// A vector a ".print" card names: v(node), v(node,node) or i(device).
struct Vector {
    std::string name; // as the card writes it, without blanks: "v(out)"
    char kind = 'v';
    std::string first; // node or device
    std::string second; // the reference node of v(a,b); empty for ground
};

struct TranCard {
    double tstep = 0;
    double tstop = 0;
    double tstart = 0;
    double tmax = 0;
    bool uic = false;
};

// What the runner reads from the deck's control cards; the parser reads the rest.
struct Controls {
    std::optional<TranCard> tran; // ".tran tstep tstop [tstart [tmax]] [uic]"
    bool op = false; // ".op"
    std::vector<Vector> prints; // ".print [tran|op] vectors...", in card order
    std::vector<std::pair<std::string, double>> ics; // ".ic v(node)=value ..."
    std::vector<std::pair<std::string, double>> nodesets; // ".nodeset v(node)=value ..."
};

// Reads the control cards of the deck; a card that does not read gets its message on its error
// text and in *errors ("line %d: ...").
Controls readcontrols(SPICECARD* deck, std::vector<std::string>* errors);

} // namespace deckrun
