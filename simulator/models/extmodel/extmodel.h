#pragma once

#include "platform/win/handletypes.h"
#include "simulator/kernel/activeevent.h"
#include "simulator/kernel/instance.h"

#include <string>

class IACTIVEMODEL;
class IMIXEDMODEL;
class ISPICEMODEL;
class IPALLEXMODEL;
struct PXobject;

// EXTMODEL: a part whose model lives in a model library (modelentries.h). The library is loaded
// when the part is made and asked for the part's analog, digital or mixed model; the models are
// handed to the engines at binding, receive the interactive run's calls, and go back to the
// library when the part goes. A part whose ACTIVE property names a model object the host
// registered (activemodels.h) takes its models from that object instead.
class EXTMODEL : public INSTANCE {
public:
    // `library` is the MODDLL text; a library that cannot be loaded is fatal. `row` is the row of
    // model-library parts or of script models.
    EXTMODEL(const char* name, PRIMITIVE* row, const char* type, const SDF_MODEL* model,
        const PROPLIST* properties, const char* library);
    // 0: the models back to the library (never those of a host's object), then the library freed.
    ~EXTMODEL() override;

    // 4, 5: a pin the model puts on its side (answer > 0); with a null pin, whether the part has
    // that side at all. 6: a pin either model calls dual (answer < 0); never for a null pin.
    int isanalogpin(SDF_PIN* pin) override;
    int isdigitalpin(SDF_PIN* pin) override;
    int isdualpin(SDF_PIN* pin) override;
    // 9: an OBJITF instance of the library's SPICE model for the analog side, the digital engine's
    // part for the digital side, each pin connected on its side.
    void bindmodel(INPtables* table, IFcircuit* circuit) override;
    // 17: the event record's ids, from the part that holds ACTIVE.
    void initialise(CIRCUIT* circuit, void* argument) override;
    // 29, 30, 31: the interactive run's calls, to the analog model, else the digital one.
    void setrunmode(int32_t mode) override;
    void userevent(int32_t id, double time, int32_t data) override;
    int activeevents(double time, DPA* list) override;

    // The library's exported function `entry`; null when it has none or no library is loaded.
    void* entry(const char* entry) const;

    std::string file; // the library's file name, NAME.DLL
    HMODULE module = nullptr;
    IACTIVEMODEL* activemodel = nullptr; // the host's
    IMIXEDMODEL* mixed = nullptr;
    ISPICEMODEL* analog = nullptr;
    IPALLEXMODEL* digital = nullptr;
    IFinstance* spiceinstance = nullptr;
    PXobject* pallexinstance = nullptr;
    IFcircuit* spice = nullptr; // the SPICE circuit the analog side was bound to
    uint32_t eid = 0xFFFFFFFF; // the element id of the part that holds ACTIVE
    ACTIVEEVENT event {}; // sheet, active id and ELEMENT; the model fills kind and data
    int32_t runmode = 0;

protected:
    // Whether the part makes a digital part when it has no digital pin (script models do).
    virtual bool alwaysdigital() const { return false; }

private:
    void load(const char* library);
    void createmodels(const char* type);
    void bindanalog(IFcircuit* circuit);
    void binddigital();
    // The models back to the library, then the library freed.
    void release();
};

// SCRIPTMODEL: a part whose model the script engine (the model library TRIVOLA) compiles from a
// script of the netlist. `getstrval("SCRIPT")` answers the script block.
class SCRIPTMODEL final : public EXTMODEL {
public:
    // `script` null: a part naming no script that the netlist has.
    SCRIPTMODEL(
        const char* name, const SDF_SCRIPT* script, const SDF_MODEL* model, const PROPLIST* properties);

    const char* getstrval(const char* property, const char* def) override;

    const SDF_SCRIPT* script;

protected:
    bool alwaysdigital() const override { return true; }
};

// The script engine's library.
inline constexpr const char* SCRIPTENGINE = "TRIVOLA.DLL";
