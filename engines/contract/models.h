#pragma once

#include <cstdint>

// The model interfaces: what the analog engine calls on a model through its OBJITF device
// (ISPICEMODEL), what the digital engine calls on a model it created with pallex_create
// (IPALLEXMODEL), and both in one object (IMIXEDMODEL). Built-in models and model libraries
// implement them; the kernel calls slots 0, 2, 3 and 4 of each, the engines the others.
//
// Pin answers of analogpin and digitalpin: positive when the pin is on this side, 0 when it is
// not, negative when the pin is dual (the net it lies on decides). A null pin asks about the part.

class IINSTANCE;
class ISPICECKT;
class IPALLEXCKT;
struct ACTIVEEVENT;

// Mode bits of IPALLEXMODEL::simulate. A model acts on the bits it knows and ignores the others.
inline constexpr uint32_t SIM_FIRST = 0x01;     // once at the start of a digital run, time 0
inline constexpr uint32_t SIM_EVALUATE = 0x04;  // an input of the model changed at this time
inline constexpr uint32_t SIM_ANALOG = 0x10;    // an analog time point: the analog solution at this
                                                // time may be read through ISPICECKT

class ISPICEMODEL {
public:
    // 0: whether the pin is analog (see the pin answers above).
    virtual int analogpin(const char* pin) = 0;
    // 1: binds the model to its part and the analog circuit at set-up: the model creates its
    // internal nodes, branches and states and fetches its matrix elements here.
    virtual void bindspice(IINSTANCE* instance, ISPICECKT* circuit) = 0;
    // 2: the run mode of the interactive run (2 = paused).
    virtual void runmode(int32_t mode) = 0;
    // 3: a user event for the model.
    virtual void setstate(double time, int32_t data) = 0;
    // 4: fills the part's event record; the event flags (1 a change to report, 2 one to report
    // while paused), 0 for none.
    virtual int32_t getstate(double time, ACTIVEEVENT* record) = 0;
    // 5: stamps the model at one Newton iteration of an operating point, DC sweep or transient
    // point: `mode` holds the MODE_ bits of the circuit, `solution` the previous iterate (index =
    // node or equation number, [0] ground), `rhs` the right-hand side to add to.
    virtual void loaddc(double time, uint32_t mode, const double* solution, double* rhs) = 0;
    // 6: stamps the small-signal model at angular frequency `omega` through the same matrix elements.
    virtual void loadac(double omega, double* rhsreal, double* rhsimag) = 0;
    // 7: before a time step from `time`: may lower *step, never raise it.
    virtual void limitstep(double time, double* step) = 0;
    // 8: after a time point was accepted, with the accepted solution.
    virtual void acceptstep(double time, const double* solution) = 0;
    // 9: reserved for model libraries; built-in models return 0.
    virtual int32_t spiceevent(intptr_t argument) = 0;

protected:
    ~ISPICEMODEL() = default;
};

class IPALLEXMODEL {
public:
    // 0: whether the pin is digital (see the pin answers above).
    virtual int digitalpin(const char* pin) = 0;
    // 1: binds the model to its part and the digital circuit, right after pallex_create.
    virtual void bindpallex(IINSTANCE* instance, IPALLEXCKT* circuit) = 0;
    // 2: the run mode of the interactive run (2 = paused).
    virtual void runmode(int32_t mode) = 0;
    // 3: a user event for the model.
    virtual void setstate(double time, int32_t data) = 0;
    // 4: fills the part's event record; the event flags as ISPICEMODEL::getstate.
    virtual int32_t getstate(double time, ACTIVEEVENT* record) = 0;
    // 5: a digital step at `time` (picoseconds) for the SIM_ bits in `mode`.
    virtual void simulate(int64_t time, uint32_t mode) = 0;
    // 6: a callback the model scheduled with IPALLEXCKT::setcallback, at its time (picoseconds)
    // with the value it gave.
    virtual void callback(int64_t time, intptr_t value) = 0;
    // 7: reserved for model libraries; built-in models return 0.
    virtual int32_t pallexevent(intptr_t argument) = 0;

protected:
    ~IPALLEXMODEL() = default;
};

// Both interfaces in one object; its digital interface is static_cast<IPALLEXMODEL*>(mixed).
class IMIXEDMODEL : public ISPICEMODEL, public IPALLEXMODEL {
protected:
    ~IMIXEDMODEL() = default;
};
