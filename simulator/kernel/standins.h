#pragma once

#include "simulator/kernel/component.h"

// Stand-ins for the part classes that come with the models: the SPICE parts that need more than
// the plain binding (current-controlled, arbitrary and polynomial sources) and
// subcircuits. The factory makes them where it will make those classes. Each answers
// the pin questions of the class it stands for, so that nets are classified, interface objects
// placed and DC paths found as they will be; binding one to the engines logs the error that its
// model is not available yet.

// Which pins of a class are analog.
enum class PINSIDES {
    ANALOG, // every pin
    NONE, // no pin (the part's pins are not classified as either)
};

// A class the factory makes: its name, what its parts are called in messages, its pins.
struct PARTCLASS {
    const char* name;
    const char* description;
    PINSIDES sides;
};

namespace partclass {
extern const PARTCLASS CCSOURCE, ARBSOURCE, POLYSOURCE, SUBCKT;
}

class STANDIN : public COMPONENT {
public:
    STANDIN(const PARTCLASS& partclass, const char* name, PRIMITIVE* row, const SDF_MODEL* model,
        const PROPLIST* properties);
    int isanalogpin(SDF_PIN* pin) override;
    // The error "{P:name}: the <description> model is not available yet."
    void bindmodel(INPtables* table, IFcircuit* circuit) override;
    // An error of the part: the message, then its source line.
    void instanceerror(const char* format, ...) __attribute__((format(printf, 2, 3)));

    const PARTCLASS& partclass;

protected:
    void notavailable();
};

// SPICE parts; the model record is kept apart from the part's own properties, as the SPICE parts
// keep it.
class SPICESTANDIN final : public STANDIN {
public:
    SPICESTANDIN(const PARTCLASS& partclass, const char* name, PRIMITIVE* row, const SDF_MODEL* model,
        const PROPLIST* properties);

    const SDF_MODEL* model;
};
