#pragma once

#include "simulator/models/builtin/instrument.h"

#include <string>

// RTVBREAK, RTIBREAK, RTVCHECK and RTICHECK: instruments that watch a voltage across their pins
// (the first pin against ground when they have one) or the current through a zero-volt ammeter
// between them, at every accepted time point of an interactive run. A breakpoint stops the run
// each time the quantity rises to VALUE (not before AFTER, which is a break point of the run so
// that a level passed already fires there); a range check reports (MODE 1
// information, 2 warning, 3 error) or stops the run (MODE 0) each time the quantity leaves
// [MIN, MAX], in the text MSG gives or the standard one. They post no events.
class RTWATCH final : public INTMODEL {
public:
    RTWATCH(bool current, bool check, const char* name, PRIMITIVE* row, const SDF_MODEL* model,
        const PROPLIST* properties);

    int isanalogpin(SDF_PIN*) override { return 1; }
    // VALUE and AFTER, or MIN and MAX; the ammeter's branch is made anew at the set-up.
    void initialise(CIRCUIT* circuit, void* argument) override;

    // Re-arms; a check reads MODE and MSG.
    void bindspice(IINSTANCE* owner, ISPICECKT* circuit) override;
    // The ammeter of a current instrument.
    void loaddc(double time, uint32_t mode, const double* solution, double* rhs) override;
    void acceptstep(double time, const double* solution) override;

    bool current;
    bool check;
    double level = 0; // VALUE of a breakpoint
    double after = 0;
    double min = 0;
    double max = 1;
    int32_t action = 3; // MODE of a check
    std::string messageformat; // MSG of a check; empty: the standard text
    bool fired = false; // triggered (breakpoint) or reported (check) until re-armed
    AMMETERSTAMP ammeter;

private:
    void watchlevel(double time, double quantity);
    void watchrange(double quantity);
};

// Formats the text of a range check with MSG as the format: the four arguments (the quantity's
// name, its value as text, MIN, MAX) go in that order, and only a format whose conversions fit
// them (%s, %s, then %g-family conversions, at most four, and %%) is used; otherwise, and for a
// null format, the standard text. A design's text can so never read or write what it must not.
std::string formatcheck(
    const char* format, const char* standard, const char* name, const char* value, double min, double max);
