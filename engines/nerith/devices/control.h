#pragma once

#include "engines/nerith/ckt.h"
#include "engines/nerith/parameters.h"
#include "engines/nerith/report.h"

#include <array>
#include <cstdint>
#include <string>

// What controls a controlled source or a switch: the voltage between two of its terminals, or the
// branch current of a source it names. Either is a sum of solution entries (columns) with signs, so
// the devices stamp and read their control the same way whatever it is.

namespace nerith {

// The branch equation of `source` (a device with an askable "branch" above 0), or 0 when it has none.
int32_t sourcebranch(IFcircuit& ckt, IFinstance& source);

// The branch equation of the source of that name (a device with an askable "branch"), for a
// device that reads its current; fail() naming `user` when there is none. `what` describes the user
// in the message ("current-controlled switch").
int controlbranch(
    IFcircuit& ckt, const char* what, const IFinstance& user, const std::string& name, int32_t* branch);

// The value of a control (VoltageControl, CurrentControl) over its columns in the solution x.
template <class Control> double controlvalue(const int32_t* columns, const double* x)
{
    double sum = 0;
    for (int32_t k = 0; k < Control::Columns; ++k)
        sum += Control::Sign[k] * x[columns[k]];
    return sum;
}

// Control by the voltage between the device's terminals 3 (+) and 4 (-).
struct VoltageControl {
    static constexpr int32_t Terminals = 4; // with the device's own two
    static constexpr int32_t Columns = 2;
    static constexpr double Sign[Columns] = { 1, -1 };
    static constexpr const char* kind = "voltage-controlled";

    struct Fields { };

    template <class Instance> static constexpr std::array<Parameter<Instance>, 0> rows(int32_t) { return {}; }

    // The columns from the device's terminal equations.
    template <class Instance>
    static int resolve(IFcircuit&, const char*, const Instance&, const int32_t* terminals, int32_t* columns)
    {
        columns[0] = terminals[2];
        columns[1] = terminals[3];
        return 0;
    }
    template <class Instance> static int check(const char*, const Instance&) { return 0; }
    template <class Instance> static void unbind(Instance&) { }
};

// Control by the branch current of the source named by the instance parameter "control".
struct CurrentControl {
    static constexpr int32_t Terminals = 2;
    static constexpr int32_t Columns = 1;
    static constexpr double Sign[Columns] = { 1 };
    static constexpr const char* kind = "current-controlled";

    struct Fields {
        std::string controlname; // the controlling source's name
        std::string resolvedname; // the name its column was resolved from
    };

    template <class Instance> static int setcontrol(Instance& s, const IFvalue& value)
    {
        if (!value.uValue || !*value.uValue)
            return E_BADVALUE;
        s.controlname = value.uValue;
        return 0;
    }

    template <class Instance> static constexpr std::array<Parameter<Instance>, 1> rows(int32_t id)
    {
        return { settable<&setcontrol<Instance>>("control", id, IF_INSTANCE, "Controlling source") };
    }

    template <class Instance>
    static int resolve(IFcircuit& ckt, const char* what, Instance& s, const int32_t*, int32_t* columns)
    {
        if (int code = controlbranch(ckt, what, s, s.controlname, columns))
            return code;
        s.resolvedname = s.controlname;
        return 0;
    }

    // The column stays the one resolved when the device bound: a control renamed afterwards would
    // need cells the matrix does not have.
    template <class Instance> static int check(const char* what, const Instance& s)
    {
        if (s.resolvedname.empty() || s.controlname == s.resolvedname)
            return 0;
        return fail(E_BADDEVICE,
            "%s %s: its controlling source became %s after the circuit was set up with %s", what,
            s.name, s.controlname.c_str(), s.resolvedname.c_str());
    }
    template <class Instance> static void unbind(Instance& s) { s.resolvedname.clear(); }
};

} // namespace nerith
