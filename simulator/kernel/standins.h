#pragma once

#include "simulator/kernel/component.h"

// Stand-ins for the part classes that come with the models: the SPICE parts that need more than
// the plain binding (MOSFETs, current-controlled, arbitrary and polynomial sources), the built-in
// mixed models (battery, power interface, ADC and DAC, switches, file players) and subcircuits.
// The factory makes them where it will make those classes. Each answers
// the pin questions of the class it stands for, so that nets are classified, interface objects
// placed and DC paths found as they will be; binding one to the engines logs the error that its
// model is not available yet.

struct PXlink;

// Which pins of a class are analog, digital, or either with the net deciding.
enum class PINSIDES {
    ANALOG, // every pin
    DIGITAL, // every pin
    NONE, // no pin (the part's pins are not classified as either)
    INTERFACE, // A and V pins analog, D pins digital (ADC, DAC)
    POWER, // every pin dual, when the part has exactly two pins (power interface)
    DSWITCH, // by PRIMITIVE: ANALOG, DIGITAL (and the E pin), PASSIVE (A and B pins dual)
};

// A class the factory makes: its name, what its parts are called in messages, its pins.
struct PARTCLASS {
    const char* name;
    const char* description;
    PINSIDES sides;
};

namespace partclass {
extern const PARTCLASS MOSFET, CCSOURCE, ARBSOURCE, POLYSOURCE, BATTERY, ADC, DAC, PWRITF, VSWITCH, CSWITCH,
    DSWITCH, FILEGEN, WAVEGEN, TAPE, SUBCKT;
}

class STANDIN : public COMPONENT {
public:
    STANDIN(const PARTCLASS& partclass, const char* name, PRIMITIVE* row, const SDF_MODEL* model,
        const PROPLIST* properties);
    int isanalogpin(SDF_PIN* pin) override;
    int isdigitalpin(SDF_PIN* pin) override;
    int isdualpin(SDF_PIN* pin) override;
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

// ADC and DAC objects. `link` is the digital engine's link the circuit builder got with the
// object (null: the object links itself).
class INTERFACESTANDIN final : public STANDIN {
public:
    INTERFACESTANDIN(const PARTCLASS& partclass, const char* name, PRIMITIVE* row, const SDF_MODEL* model,
        const PROPLIST* properties, PXlink* link);
    // Takes the power interface (null: none) as the ADC and DAC do: the ADC links itself to the
    // net of its pin D when it has no link, else keeps the power interface; the DAC keeps it when
    // it has a link, then links to the net of pin D. 0 when a power interface was given but no
    // link exists, else 1.
    int setlink(COMPONENT* part) override;

    PXlink* link;
    COMPONENT* power = nullptr; // not owned
    double edge = 0; // the DAC's present output edge (seconds), read by the engine
};

// The power interface of interface objects: answers the power-interface query with itself.
class POWERSTANDIN final : public STANDIN {
public:
    using STANDIN::STANDIN;
    int powerinterface(COMPONENT** self) override;
};
