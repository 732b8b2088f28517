#pragma once

#include <cstdint>

// ISPICECKT: the analog circuit as a model sees it, handed to every ISPICEMODEL::bindspice and to
// the kernel by spice_initialize. The slot numbers are part of the model interface.

class IINSTANCE;

// Circuit modes (ISPICECKT::modetest, ISPICEMODEL::loaddc).
inline constexpr uint32_t MODE_TRAN = 0x1;
inline constexpr uint32_t MODE_AC = 0x2;
inline constexpr uint32_t MODE_DCOP = 0x10; // an operating point of its own
inline constexpr uint32_t MODE_TRANOP = 0x20; // the operating point that starts a transient
inline constexpr uint32_t MODE_DCTRANCURVE = 0x40; // a point of a DC transfer curve
inline constexpr uint32_t MODE_INITFLOAT = 0x100; // an ordinary Newton iteration
inline constexpr uint32_t MODE_INITJCT = 0x200; // the first iteration: models start from scratch
inline constexpr uint32_t MODE_INITFIX = 0x400;
inline constexpr uint32_t MODE_INITSMSIG = 0x800; // the operating point is being linearised for AC
inline constexpr uint32_t MODE_INITTRAN = 0x1000; // the first iteration of the first transient point
inline constexpr uint32_t MODE_INITPRED = 0x2000; // the first iteration of a later transient point
inline constexpr uint32_t MODE_UIC = 0x10000; // the transient starts from initial conditions

// Codes of ISPICECKT::query.
inline constexpr int QUERY_TIME = 0; // present time (s)
inline constexpr int QUERY_STEP = 2; // present time step (s)
inline constexpr int QUERY_GMIN = 3; // smallest conductance (S)
inline constexpr int QUERY_STEPFLOOR = 4; // smallest step the engine takes before it gives up (s)
inline constexpr int QUERY_MINSTEP = 5; // smallest spacing of break points (option OPT_MINBREAK, s)
inline constexpr int QUERY_SRCFACT = 6; // source-stepping factor: 1 outside source stepping
inline constexpr int QUERY_ORDER = 14; // present integration order

class ISPICECKT {
public:
    // 0: non-zero when the present circuit mode has any of the MODE_ bits given.
    virtual int modetest(uint32_t bits) = 0;
    // 1: *out = the quantity of a QUERY_ code; 1 when answered, 0 for an unknown code (*out untouched).
    virtual int query(double* out, int code) = 0;
    // 2: state `index` of the present (which 0) or the previous (1) time point; null out of range.
    virtual double* state(int32_t which, int32_t index) = 0;
    // 3: asks the run to break after the present time point: doAnalyses and DCtran then return
    // E_BREAK and can resume. owner null: a break request of the log; `text` says why.
    virtual void suspend(IINSTANCE* owner, const char* text) = 0;
    // 4: the present solution: the last Newton iterate while loading, the accepted solution after a
    // point was accepted. Index = node or equation number; [0] is ground and always 0.
    virtual double* solution() = 0;
    // 5: lowers the first time step a transient takes from time 0 to at most `limit`, until it has
    // taken that step; returns the first step now in force.
    virtual double lowerinitialstep(double limit) = 0;
    virtual int reserved6() { return 0; }
    virtual int reserved7() { return 0; }
    // 8: a new internal node named "#<owner>#<name>"; its number, 0 on failure.
    virtual int32_t newnode(IINSTANCE* owner, const char* name) = 0;
    // 9: a new branch equation named "#<owner>#<name>"; its number, 0 on failure.
    virtual int32_t newbranch(IINSTANCE* owner, const char* name) = 0;
    virtual int reserved10() { return 0; }
    // 11: the matrix element (row, column), valid for the whole run through every reordering and
    // refactorisation; row or column 0 (ground) gives a scratch cell the engine ignores; null when
    // a number is out of range.
    virtual double* element(int32_t row, int32_t column) = 0;
    // 12: a break point at `time` (at or after the present time); 0 when refused.
    virtual int setbreak(double time) = 0;
    virtual int reserved13() { return 0; }
    // 14: allocates `count` states for every time point; the first index, -1 on failure.
    virtual int32_t allocstates(int32_t count) = 0;
    virtual int reserved15() { return 0; }
    virtual int reserved16() { return 0; }
    virtual int reserved17() { return 0; }
    virtual int reserved18() { return 0; }
    // 19: proposes that the next time step be at most `step`.
    virtual void proposestep(double step) = 0;

protected:
    ~ISPICECKT() = default;
};
