#pragma once

#include "simulator/kernel/guard.h"
#include "simulator/kernel/tests/kerneltesting.h"

#include <gmock/gmock.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

// A kernel signed on against the engines the program links, with a circuit read from netlist text (or a
// fixture of tests/fixtures) whose trace channels are set from its properties, as the load does.
class CircuitTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        signon();
    }

    void TearDown() override
    {
        INPtabEnd(table);
        table = nullptr;
        circuit.reset();
        KernelTest::TearDown();
    }

    CIRCUIT& read(const std::string& text)
    {
        INPtabEnd(table);
        table = nullptr;
        circuit.reset();
        circuit = std::make_unique<CIRCUIT>();
        FILE* stream = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
        circuit->read(stream);
        fclose(stream);
        simlog()->registerchannels(nullptr, traceflags, 0, &circuit->getproperties(), nullptr);
        return *circuit;
    }

    CIRCUIT& readfixture(const char* name)
    {
        std::ifstream file(std::string(VKT_TEST_SOURCE_DIR) + "/fixtures/" + name);
        std::stringstream text;
        text << file.rdbuf();
        return read(text.str());
    }

    // Builds the circuit under a guard; false when a fatal message ended the build.
    bool build()
    {
        table = INPtabInit(64);
        parserdescriptor = *spicesimulator;
        return guarded([&] { circuit->build(table); });
    }

    COMPONENT* part(const char* name) const { return circuit->findcomponent(name); }

    // The part's pins as "name:type:net" in index order.
    std::vector<std::string> pins(const char* name) const
    {
        std::vector<std::string> list;
        if (COMPONENT* found = part(name))
            for (SDF_PIN* pin : found->pins)
                list.push_back(std::string(pin->name) + ":" + std::to_string(pin->type) + ":" + pin->net);
        return list;
    }

    std::unique_ptr<CIRCUIT> circuit;
    INPtables* table = nullptr;
};
