#pragma once

#include <string>

struct IFcircuit;
struct IFinstance;
struct IFmodel;

// A resistor the engine has beside a part's own instance, on the same two terminals: a capacitor's
// leakage, a controlled source's parallel resistance. Its model is "RPARA" of the engine's resistor;
// its instance is named after the part with "#RPARA", since the part's name is its own instance's.
class SIDERESISTOR {
public:
    // Made on the first call, on the nodes of terminals 1 and 2 of `beside`; then its resistance
    // (ohm). False, with nothing set, when the engine has no resistor or refuses it.
    bool set(IFcircuit* circuit, IFinstance* beside, const char* part, double resistance);
    bool exists() const { return instance != nullptr; }

private:
    bool make(IFcircuit* circuit, IFinstance* beside, const char* part);

    std::string name;
    IFmodel* model = nullptr; // the engine's
    IFinstance* instance = nullptr; // the engine's; null until made
};
