#pragma once

// The tests' stand-in for the simulation host, loaded by the name ZMVDEBUG from the tests' own
// program folder: it lists the processors that VKT_TEST_PROCESSORS names (device names separated
// by commas; an empty one has no device name) and records every call made of it, which the tests
// read through the interface the process hands out (14).

#include <string>
#include <vector>

#include "shell/main/outsidemodules.h"

class RECORDINGHOST : public ISIMHOST {
public:
    std::vector<std::string> calls; // "property PIC16F877 CLOCK 4MHz 3 1", "command 584", ...

    virtual ~RECORDINGHOST() = default;
};
