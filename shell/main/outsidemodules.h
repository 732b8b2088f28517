#pragma once

// The interfaces of outside modules that the main program calls when they are installed. What the
// operations do lies with those modules; only the calls are the program's.

#include <string>
#include <vector>

#include "framework/context/interfaces.h"

// The report module's interface 25.
class IREPORT : public IMODULE {
public:
    // Start-up is over (flags 0).
    virtual void onstartup(int flags) = 0;
    // The crash reporter's settings: how often to look for solutions (days), after how many days
    // old tickets go, and whether reports are uploaded (0 never, 1 after asking, 2 always).
    virtual int getcheckinterval() = 0;
    virtual void setcheckinterval(int days) = 0;
    virtual int getticketage() = 0;
    virtual void setticketage(int days) = 0;
    virtual int getuploadmode() = 0;
    virtual void setuploadmode(int mode) = 0;

protected:
    ~IREPORT() = default;
};

// The design-import module's interface 37.
class IDESIGNIMPORT : public IMODULE {
public:
    // Imports another program's design into a new project in folder; non-zero when it did.
    virtual int importproject(const char* folder) = 0;
    // While the program serves that module hidden: 0 when it is no longer needed.
    virtual int keepalive() = 0;

protected:
    ~IDESIGNIMPORT() = default;
};

// A processor of the open design, as the simulation host lists it.
struct PROCESSORINSTANCE {
    void* handle; // the host's; valid until the design changes
    std::string device; // the device name; empty for none
};

// The simulation host's interface 14: what a programmer's IDE asks of it through the launch file.
class ISIMHOST : public IMODULE {
public:
    static constexpr unsigned short CMD_RUN = 584; // starts the simulation

    // Carries out one of the host's commands.
    virtual void sendcommand(unsigned short id) = 0;
    // The processors of the open design, in the design's order; none without a design.
    virtual std::vector<PROCESSORINSTANCE> processors() = 0;
    // Sets a property of a processor; flags and options as the host reads them.
    virtual void setproperty(void* processor, const char* name, const char* value, int flags, int options) = 0;
    // Serves the debugger of the IDE on port.
    virtual void debugport(int port) = 0;

protected:
    ~ISIMHOST() = default;
};
