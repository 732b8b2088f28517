#pragma once

#include "engines/contract/models.h"
#include "engines/fakes/instance.h"
#include "engines/pallex/pallex.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace harness {

// The netlist options as the kernel's circuit answers them: texts, numbers where they read as one.
class Options final : public IOPTIONS {
public:
    std::map<std::string, std::string> values;

    int getoption(const char* name, double* value) override
    {
        auto it = values.find(name);
        if (it == values.end())
            return 0;
        char* end = nullptr;
        double number = std::strtod(it->second.c_str(), &end);
        if (end == it->second.c_str())
            return 0;
        *value = number;
        return 1;
    }
    const char* getoptiontext(const char* name) override
    {
        auto it = values.find(name);
        return it == values.end() ? nullptr : it->second.c_str();
    }
};

// A model that records the state of its first pin at every change, in picoseconds.
class Watch final : public IPALLEXMODEL {
public:
    int digitalpin(const char*) override { return 1; }
    void bindpallex(IINSTANCE*, IPALLEXCKT* bound) override { circuit = bound; }
    void runmode(int32_t) override {}
    void setstate(double, int32_t) override {}
    int32_t getstate(double, ACTIVEEVENT*) override { return 0; }
    void simulate(int64_t time, uint32_t mode) override
    {
        if ((mode & SIM_EVALUATE) && pin)
            seen.emplace_back(time, pin->getstate());
    }
    void callback(int64_t, intptr_t) override {}
    int32_t pallexevent(intptr_t) override { return 0; }

    // The times at which the level went high.
    std::vector<int64_t> rises() const
    {
        std::vector<int64_t> times;
        for (const auto& [time, state] : seen) {
            if ((state & STATE_LEVEL) == STATE_HIGH)
                times.push_back(time);
        }
        return times;
    }

    IPALLEXCKT* circuit = nullptr;
    IPALLEXPIN2* pin = nullptr;
    std::vector<std::pair<int64_t, STATE>> seen;
};

inline void ignore(void*, double) {}

// One digital circuit for a test, made through the engine's exports and freed with the harness.
class Circuit {
public:
    explicit Circuit(std::map<std::string, std::string> values = {})
    {
        options.values = std::move(values);
        EXPECT_NE(pallex_initialize(&options, &circuit), 0);
    }
    ~Circuit() { pallex_terminate(); }

    fakes::Instance& instance(const std::string& name, std::map<std::string, std::string> properties = {})
    {
        return instances.emplace_back(name, std::move(properties));
    }

    // A part of `type` with its pins joined to nets, given as {pin, net} in connection order.
    PXobject* part(const std::string& name, const char* type, std::vector<std::pair<std::string, std::string>> wiring,
        std::map<std::string, std::string> properties = {}, IPALLEXMODEL* model = nullptr)
    {
        PXobject* made = nullptr;
        EXPECT_NE(pallex_create(&instance(name, std::move(properties)), type, nullptr, model, &made), 0) << type;
        for (const auto& [pin, net] : wiring)
            EXPECT_NE(pallex_connect(made, pin.c_str(), 1, net.c_str(), nullptr), 0) << name << "." << pin;
        return made;
    }

    // A watch on `net`.
    Watch& watch(const std::string& net)
    {
        Watch& made = watches.emplace_back();
        PXobject* part = nullptr;
        EXPECT_NE(pallex_create(&instance("W" + net), "INTMODEL", nullptr, &made, &part), 0);
        EXPECT_NE(pallex_connect(part, "A", 1, net.c_str(), &made.pin), 0);
        return made;
    }

    STATE state(const std::string& net)
    {
        STATE* cell = nullptr;
        EXPECT_NE(pallex_linknet(net.c_str(), &cell), 0) << net;
        return cell ? *cell : STATE_NONE;
    }

    // Set-up, then the run up to `seconds` as the analog engine's accepted points would drive it.
    int start(double seconds)
    {
        EXPECT_NE(pallex_setup(), 0);
        return advance(seconds);
    }
    int advance(double seconds) { return pallex_accept(seconds, nullptr, ignore); }

    Options options;
    IPALLEXCKT* circuit = nullptr;
    std::deque<fakes::Instance> instances;
    std::deque<Watch> watches;
};

}  // namespace harness
