#pragma once

#include "engines/pallex/state.h"

#include <cstdint>

// The digital circuit and its pins as models see them. Times are whole picoseconds.

class IINSTANCE;
class IPALLEXMODEL;

class IPALLEXCKT {
public:
    // 0: the present digital time.
    virtual int64_t gettime() = 0;
    // 1: the engine calls model->callback(time, value) at `time` (at or after the present time);
    // 0 when the time lies in the past (nothing scheduled).
    virtual int setcallback(int64_t time, IPALLEXMODEL* model, intptr_t value) = 0;
    // 2: asks the run to break after the present time point (the run step ends with E_BREAK and can
    // resume). owner null: a break request of the log; `text` says why.
    virtual void suspend(IINSTANCE* owner, const char* text) = 0;
    // 3: asks the analog engine for a time point at `time`.
    virtual void requesttime(int64_t time) = 0;

protected:
    ~IPALLEXCKT() = default;
};

// A digital pin of a part, as pallex_connect hands it out.
class IPALLEXPIN2 {
public:
    // 0: the pin's present state.
    virtual STATE getstate() = 0;
    // 1: non-zero when the pin's level is high.
    virtual int ishigh() = 0;
    // 2: drives the pin with `state` from `time` (picoseconds; a past time means now) on, so that a
    // model can drive its outputs; 0 when the pin cannot drive (an input pin).
    virtual int setstate(int64_t time, STATE state) = 0;

protected:
    ~IPALLEXPIN2() = default;
};

// Several digital pins handed out as one (pallex_getbuspin); no caller uses an operation of it yet.
class IBUSPIN {
protected:
    ~IBUSPIN() = default;
};
