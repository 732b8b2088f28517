#pragma once

#include <cstdarg>
#include <cstdint>

// IINSTANCE: the services a part offers the model that simulates it. The kernel implements it once
// for every part; the engines and model libraries call it through this table, so the slot order is
// part of the model interface and never changes. Texts are NUL-terminated 8-bit strings; every call
// runs on the simulation thread. A property counts as absent when it is missing, begins with
// "[NULL]" or begins with '?'.

struct TRACEFLAG;
struct TRACEFLAGINFO;
class ITRACEOWNER;
class IPALLEXPIN2;
class IBUSPIN;
class INETINFO;

class IINSTANCE {
public:
    // 0: the part's name; never null.
    virtual const char* getname() = 0;
    // 1: the text of the part's VALUE property; null when absent.
    virtual const char* getvalue() = 0;
    // 2: the text of a property; `def` when absent.
    virtual const char* getstrval(const char* name, const char* def) = 0;
    // 3: a property evaluated as an expression over the circuit's variables; `def` when absent or
    // when it does not evaluate (a warning is logged).
    virtual double getnumval(const char* name, double def) = 0;
    // 4: a property read as a boolean word (TRUE, T, ON, YES, 1 and their opposites); `def` when
    // absent or unreadable (a warning is logged).
    virtual int getboolval(const char* name, int def) = 0;
    // 5: a property read as hexadecimal, else as an integer with a radix prefix; `def` otherwise.
    virtual uint32_t gethexval(const char* name, uint32_t def) = 0;
    // 6: the digital engine's initial value of the property for this part (pallex getinitval).
    virtual int32_t getinitval(const char* name, int32_t def) = 0;
    // 7: the digital engine's delay of the property for this part, in picoseconds (pallex getdelay).
    virtual int64_t getdelay(const char* name, int64_t def) = 0;
    // 8: the number after ':' in the ACTIVE property of the part or of its closest owner; 0 when none.
    virtual uint32_t getactiveid() = 0;
    // 9: the linked instance; null when none.
    virtual IINSTANCE* getlink() = 0;
    // 10: the part's model data block; non-zero with both outputs set when it has one.
    virtual int getmoddata(const void** data, int32_t* length) = 0;
    // 11: the SPICE node number of an analog pin; -1 when not found (an error when `required`).
    virtual int32_t getspicenode(const char* pin, int required) = 0;
    // 12: the digital engine's handle of a digital pin; null when not found (an error when `required`).
    virtual IPALLEXPIN2* getpallexpin(const char* pin, int required) = 0;
    // 13: an information message naming the part; non-zero when logged.
    virtual int message(const char* format, ...) = 0;
    // 14: a warning naming the part; non-zero when logged.
    virtual int warning(const char* format, ...) = 0;
    // 15: an error naming the part; non-zero when logged.
    virtual int error(const char* format, ...) = 0;
    // 16: a fatal message naming the part; ends the run and does not return.
    virtual void fatal(const char* format, ...) = 0;
    // 17: a text for the user (at most 1023 characters): to the host in an interactive run, else
    // to standard output; returns whether the run is interactive.
    virtual int log(const char* format, ...) = 0;
    // 18: asks the host for a popup of the part; the host's popup interface, null outside an
    // interactive run or when the part has no element id.
    virtual void* createpopup(void* record) = 0;
    // 19: an element message to the host (interactive run only).
    virtual void sendelementmessage(intptr_t data) = 0;
    // 20: a host message; the host's answer, 0 outside an interactive run.
    virtual intptr_t sendhostmessage(uint32_t value) = 0;
    // 21: loads a .BIN, .HEX or .S19 firmware image into `cells` cells of `buffer`; the loader's
    // result, 0 for any other extension (an error is logged).
    virtual int loadmemory(const char* file, uint8_t* buffer, int32_t cells, uint32_t base, int32_t shift) = 0;
    // 22: a bus pin over `count` digital pin handles; null on failure.
    virtual IBUSPIN* getbuspin(const char* name, IPALLEXPIN2** pins, int32_t count) = 0;
    // 23: a bus pin over the pins "<base><i>" or "<base>[i]" for i from `first`, `width` of them;
    // null when one is missing (an error when `required`).
    virtual IBUSPIN* getbuspinbyname(const char* base, int32_t first, int32_t width, int required) = 0;
    // 24: a message of class `cls` through the log, then the part's source lines; non-zero when logged.
    virtual int logmessage(int cls, const char* format, va_list args) = 0;
    // 25: a help reference (file null: the default help file).
    virtual void help(const char* file, int32_t topic) = 0;
    // 26: registers trace channels from the part's own properties (owner null: the part).
    virtual void registertrace(const TRACEFLAGINFO* table, TRACEFLAG* records, int32_t count, ITRACEOWNER* owner) = 0;
    // 27: a trace message through the log, then the part's source lines; non-zero when logged.
    virtual int trace(TRACEFLAG* channel, int cls, const char* format, va_list args) = 0;
    // 28: non-zero when the part has at least one analog and one digital pin.
    virtual int ismixed() = 0;
    // 29: the net at the named pin; null when the pin or its net is missing.
    virtual INETINFO* getpinnet(const char* pin) = 0;

protected:
    ~IINSTANCE() = default;
};
