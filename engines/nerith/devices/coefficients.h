#pragma once

#include "engines/nerith/ckt.h"
#include "engines/nerith/descriptor.h"
#include "engines/nerith/parameters.h"

#include <array>
#include <cmath>
#include <memory>

// What resistors, capacitors and inductors share: a value scaled by the instance multiplier M and
// by first and second order temperature coefficients, the instance's or else its model's, from the
// model's TNOM (else the circuit's) to the instance's temperature.

namespace nerith {

// The multiplier, temperature and coefficients of one instance. Few instances of the millions a
// large deck may hold have any, so an instance keeps them apart, made on the first set.
struct Coefficients {
    double temp = 0;
    double dtemp = 0;
    double m = 1;
    double tc1 = 0;
    double tc2 = 0;
    bool tempgiven = false;
    bool tc1given = false;
    bool tc2given = false;
};

// Their model: the coefficients of instances that give none, and the temperature they hold from.
struct CoefficientModel : IFmodel {
    double tc1 = 0;
    double tc2 = 0;
    double tnom = 0;
    bool tnomgiven = false;
};

// The instance's temperature (Celsius): its TEMP when given, else the circuit's TEMP plus DTEMP.
double instancetemperature(const IFcircuit& ckt, const Coefficients* coefficients);
// The factor 1 + tc1 dT + tc2 dT^2, the coefficients the instance's where given, else the model's,
// dT from the model's TNOM (else the circuit's) to the instance's temperature: its TEMP when given
// (DTEMP is then ignored), else the circuit's TEMP plus DTEMP.
double temperaturefactor(const IFcircuit& ckt, const Coefficients* coefficients, const IFmodel& model);
inline double multiplier(const Coefficients* coefficients)
{
    return coefficients ? coefficients->m : 1;
}

namespace coefficientparts {

template <class Instance> Coefficients& made(Instance& instance)
{
    if (!instance.coefficients)
        instance.coefficients = std::make_unique<Coefficients>();
    return *instance.coefficients;
}

template <class Instance, auto Member, auto Given>
int set(Instance& instance, const IFvalue& value, const Parameter<Instance>& row)
{
    if (!inrange(value.rValue, row.range))
        return E_BADVALUE;
    Coefficients& c = made(instance);
    c.*Member = value.rValue;
    if constexpr (!std::is_null_pointer_v<decltype(Given)>)
        c.*Given = true;
    return 0;
}

template <class Instance, auto Member> int ask(IFcircuit&, Instance& instance, IFvalue& value)
{
    static const Coefficients defaults;
    value.rValue = (instance.coefficients ? *instance.coefficients : defaults).*Member;
    return 0;
}

// "TC=tc1[,tc2]": the coefficients as one vector of one or two values.
template <class Instance> int setboth(Instance& instance, const IFvalue& value)
{
    const int32_t count = value.v.numValue;
    if (count < 1 || count > 2 || !value.v.vec.rVec)
        return E_BADVALUE;
    const double tc1 = value.v.vec.rVec[0];
    const double tc2 = count == 2 ? value.v.vec.rVec[1] : 0;
    if (!std::isfinite(tc1) || !std::isfinite(tc2))
        return E_BADVALUE;
    Coefficients& c = made(instance);
    c.tc1 = tc1;
    c.tc2 = tc2;
    c.tc1given = c.tc2given = true;
    return 0;
}

// A real row of a member of the instance's coefficients.
template <class Instance, auto Member, auto Given = nullptr>
constexpr Parameter<Instance> row(const char* keyword, int32_t id, const char* description)
{
    Parameter<Instance> made = rows::basic<Instance>(keyword, id, IF_REAL | IF_SET | IF_ASK, description);
    made.set = &set<Instance, Member, Given>;
    made.ask = &ask<Instance, Member>;
    return made;
}

} // namespace coefficientparts

// The rows of an instance's temperature, multiplier and coefficients (its member `coefficients`,
// a std::unique_ptr<Coefficients>), with the ids first (TEMP), first + 1 (M), first + 2 and 3 (TC1,
// TC2), first + 4 (TC) and first + 5 (DTEMP).
template <class Instance> constexpr std::array<Parameter<Instance>, 6> coefficientrows(int32_t first)
{
    using namespace coefficientparts;
    return {
        row<Instance, &Coefficients::temp, &Coefficients::tempgiven>("temp", first, "Instance temperature")
            .in("degC"),
        row<Instance, &Coefficients::m>("m", first + 1, "Parallel multiplier").above(0),
        row<Instance, &Coefficients::tc1, &Coefficients::tc1given>(
            "tc1", first + 2, "First order temperature coefficient")
            .in("1/degC"),
        row<Instance, &Coefficients::tc2, &Coefficients::tc2given>(
            "tc2", first + 3, "Second order temperature coefficient")
            .in("1/degC^2"),
        settable<&setboth<Instance>>(
            "tc", first + 4, IF_REAL | IF_VECTOR, "First and second order temperature coefficients"),
        row<Instance, &Coefficients::dtemp>("dtemp", first + 5, "Instance temperature above the circuit's")
            .in("degC"),
    };
}

// The model's rows, ids from `first`: TC1, TC2, TNOM.
constexpr auto coefficientmodelparameters(int32_t first)
{
    using Model = CoefficientModel;
    return parametertable<Model>({
        field<&Model::tc1>("tc1", first, "First order temperature coefficient").in("1/degC"),
        field<&Model::tc2>("tc2", first + 1, "Second order temperature coefficient").in("1/degC^2"),
        field<&Model::tnom, &Model::tnomgiven>("tnom", first + 2, "Parameter measurement temperature")
            .in("degC"),
    });
}

} // namespace nerith
