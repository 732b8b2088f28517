#pragma once

#include "simulator/kernel/component.h"
#include "simulator/kernel/tests/circuittesting.h"

#include <string>

// The kernel's class a part was made as.
inline std::string kernelclass(COMPONENT* part)
{
    if (dynamic_cast<SCRIPTDUMMY*>(part))
        return "SCRIPTDUMMY";
    if (dynamic_cast<DUMMY*>(part))
        return "DUMMY";
    return "COMPONENT";
}

// An empty sheet on which a test makes parts through the component factory.
class FactoryTest : public CircuitTest {
protected:
    void SetUp() override
    {
        CircuitTest::SetUp();
        read("TAVI\n\n:x\n");
    }

    COMPONENT* make(const char* name, const char* device, const char* properties)
    {
        PROPLIST list(properties);
        return circuit->createcomponent(name, device, &list);
    }
};
