#pragma once

// The interfaces of outside modules that the main program calls when they are installed. What the
// operations do lies with those modules; only the calls are the program's.

#include "framework/context/interfaces.h"

// The report module's interface 25.
class IREPORT : public IMODULE {
public:
    // Start-up is over (flags 0).
    virtual void onstartup(int flags) = 0;

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
