#pragma once

#include "engines/nerith/descriptor.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <type_traits>

// The parameters of a device, a model or an analysis as data: one table per owner, one row per
// parameter, from which come both the descriptor's IFparm list and the set and ask calls. A row
// either binds a member (with its "given" flag, default, unit and range) or names the functions
// that set or compute its value where a member does not do (vectors, strings, computed values,
// sets with side effects).

namespace nerith {

// The values a number set must lie in; a value outside them, or not finite, is refused with
// E_BADVALUE. An unchecked range takes any value and leaves it to the set-up's checks.
struct Range {
    double least = -std::numeric_limits<double>::infinity();
    double most = std::numeric_limits<double>::infinity();
    bool open = false; // `least` itself is outside
    bool checked = false;

    bool holds(double value) const
    {
        return !checked
            || (std::isfinite(value) && value >= least && value <= most && !(open && value == least));
    }
};

// The value kind of a member type.
template <class T> constexpr int32_t kindof()
{
    if constexpr (std::is_same_v<T, bool>)
        return IF_FLAG;
    else if constexpr (std::is_same_v<T, int32_t>)
        return IF_INTEGER;
    else if constexpr (std::is_same_v<T, double>)
        return IF_REAL;
    else {
        static_assert(std::is_same_v<T, IFcomplex>, "a member parameter is a flag, integer, real or complex");
        return IF_COMPLEX;
    }
}

// Reads the value as kind T: E_BADTYPE for a flag other than 0 or 1.
template <class T> int readvalue(const IFvalue& value, T& out)
{
    if constexpr (std::is_same_v<T, bool>) {
        if (value.iValue != 0 && value.iValue != 1)
            return E_BADTYPE;
        out = value.iValue != 0;
    } else if constexpr (std::is_same_v<T, int32_t>)
        out = value.iValue;
    else if constexpr (std::is_same_v<T, double>)
        out = value.rValue;
    else
        out = value.cValue;
    return 0;
}

template <class T> void writevalue(IFvalue& value, const T& in)
{
    if constexpr (std::is_same_v<T, bool>)
        value.iValue = in ? 1 : 0;
    else if constexpr (std::is_same_v<T, int32_t>)
        value.iValue = in;
    else if constexpr (std::is_same_v<T, double>)
        value.rValue = in;
    else
        value.cValue = in;
}

template <class T> bool inrange(const T& value, const Range& range)
{
    if constexpr (std::is_same_v<T, IFcomplex>)
        return range.holds(value.real) && range.holds(value.imag);
    else
        return range.holds(static_cast<double>(value));
}

// One parameter of an `Owner`. Built by field(), reading(), computed() or settable() and refined by the
// modifiers below; `set` null: ask only, `ask` null: set only.
template <class Owner> struct Parameter {
    const char* keyword = "";
    int32_t id = 0;
    int32_t dataType = 0;
    const char* description = "";
    const char* unit = ""; // empty for a pure number or a value that is not one
    double initial = 0; // the default a new owner's member gets
    Range range {};
    int (*set)(Owner&, const IFvalue&, const Parameter&) = nullptr;
    int (*ask)(IFcircuit&, Owner&, IFvalue&) = nullptr;
    void (*reset)(Owner&, double) = nullptr; // puts a default into the member; null for other rows

    constexpr Parameter in(const char* text) const
    {
        Parameter row = *this;
        row.unit = text;
        return row;
    }
    constexpr Parameter initially(double value) const
    {
        Parameter row = *this;
        row.initial = value;
        return row;
    }
    constexpr Parameter atleast(double value) const { return bounded(value, false); }
    constexpr Parameter above(double value) const { return bounded(value, true); }
    constexpr Parameter atmost(double value) const
    {
        Parameter row = *this;
        row.range.most = value;
        row.range.checked = true;
        return row;
    }
    constexpr Parameter setonly() const
    {
        Parameter row = *this;
        row.ask = nullptr;
        row.dataType &= ~IF_ASK;
        return row;
    }

private:
    constexpr Parameter bounded(double value, bool open) const
    {
        Parameter row = *this;
        row.range.least = value;
        row.range.open = open;
        row.range.checked = true;
        return row;
    }
};

template <class M> struct MemberOf;
template <class T, class O> struct MemberOf<T O::*> {
    using Owner = O;
    using Type = T;
};

template <class F> struct FunctionOf;
template <class T, class O> struct FunctionOf<T (*)(IFcircuit&, O&)> {
    using Owner = std::remove_const_t<O>;
    using Type = T;
};
template <class O> struct FunctionOf<int (*)(O&, const IFvalue&)> {
    using Owner = O;
};

namespace rows {

// A row with no set or ask yet.
template <class Owner>
constexpr Parameter<Owner> basic(const char* keyword, int32_t id, int32_t dataType, const char* description)
{
    Parameter<Owner> row;
    row.keyword = keyword;
    row.id = id;
    row.dataType = dataType;
    row.description = description;
    return row;
}

template <auto Member, auto Given, class Owner = typename MemberOf<decltype(Member)>::Owner>
int setmember(Owner& owner, const IFvalue& value, const Parameter<Owner>& row)
{
    typename MemberOf<decltype(Member)>::Type read {};
    if (int code = readvalue(value, read))
        return code;
    if (!inrange(read, row.range))
        return E_BADVALUE;
    owner.*Member = read;
    if constexpr (!std::is_null_pointer_v<decltype(Given)>)
        owner.*Given = true;
    return 0;
}

template <auto Member, class Owner = typename MemberOf<decltype(Member)>::Owner>
int askmember(IFcircuit&, Owner& owner, IFvalue& value)
{
    writevalue(value, owner.*Member);
    return 0;
}

template <auto Member, class Owner = typename MemberOf<decltype(Member)>::Owner>
void resetmember(Owner& owner, double initial)
{
    using T = typename MemberOf<decltype(Member)>::Type;
    if constexpr (std::is_same_v<T, IFcomplex>)
        owner.*Member = IFcomplex { initial, 0 };
    else
        owner.*Member = static_cast<T>(initial);
}

template <auto Compute, class Owner = typename FunctionOf<decltype(Compute)>::Owner>
int askcomputed(IFcircuit& ckt, Owner& owner, IFvalue& value)
{
    writevalue(value, Compute(ckt, owner));
    return 0;
}

template <auto Set, class Owner = typename FunctionOf<decltype(Set)>::Owner>
int setby(Owner& owner, const IFvalue& value, const Parameter<Owner>&)
{
    return Set(owner, value);
}

} // namespace rows

// A parameter stored in `Member`, set and asked; a set raises the flag `Given` when there is one.
template <auto Member, auto Given = nullptr>
constexpr auto field(const char* keyword, int32_t id, const char* description)
{
    using Owner = typename MemberOf<decltype(Member)>::Owner;
    using T = typename MemberOf<decltype(Member)>::Type;
    Parameter<Owner> row = rows::basic<Owner>(keyword, id, kindof<T>() | IF_SET | IF_ASK, description);
    row.set = &rows::setmember<Member, Given>;
    row.ask = &rows::askmember<Member>;
    row.reset = &rows::resetmember<Member>;
    return row;
}

// An ask-only value computed by `Compute(ckt, owner)`.
template <auto Compute> constexpr auto computed(const char* keyword, int32_t id, const char* description)
{
    using Owner = typename FunctionOf<decltype(Compute)>::Owner;
    using T = typename FunctionOf<decltype(Compute)>::Type;
    Parameter<Owner> row = rows::basic<Owner>(keyword, id, kindof<T>() | IF_ASK, description);
    row.ask = &rows::askcomputed<Compute>;
    return row;
}

// An ask-only value kept in `Member`, such as a device's operating point.
template <auto Member> constexpr auto reading(const char* keyword, int32_t id, const char* description)
{
    using Owner = typename MemberOf<decltype(Member)>::Owner;
    using T = typename MemberOf<decltype(Member)>::Type;
    Parameter<Owner> row = rows::basic<Owner>(keyword, id, kindof<T>() | IF_ASK, description);
    row.ask = &rows::askmember<Member>;
    return row;
}

// A set-only parameter of kind `dataType` that `Set(owner, value)` takes (0 or an error code).
template <auto Set>
constexpr auto settable(const char* keyword, int32_t id, int32_t dataType, const char* description)
{
    using Owner = typename FunctionOf<decltype(Set)>::Owner;
    Parameter<Owner> row = rows::basic<Owner>(keyword, id, dataType | IF_SET, description);
    row.set = &rows::setby<Set>;
    return row;
}

// Called only in a constant evaluation that must fail: two rows of one table share an id.
void duplicateparameterid();

// The parameter table of an `Owner`: its rows, the descriptor's IFparm list made from them, and
// the generic set, ask and defaults driven by them.
template <class Owner, std::size_t N> class ParameterTable {
public:
    constexpr ParameterTable() = default;
    constexpr explicit ParameterTable(const Parameter<Owner> (&list)[N])
    {
        for (std::size_t i = 0; i < N; ++i) {
            rows_[i] = list[i];
            parms_[i] = IFparm { list[i].keyword, list[i].id, list[i].dataType, list[i].description };
            byid_[i] = static_cast<uint16_t>(i);
        }
        std::sort(
            byid_.begin(), byid_.end(), [&](uint16_t a, uint16_t b) { return rows_[a].id < rows_[b].id; });
        for (std::size_t i = 1; i < N; ++i) {
            if (rows_[byid_[i]].id == rows_[byid_[i - 1]].id)
                duplicateparameterid();
        }
    }

    constexpr int32_t count() const { return static_cast<int32_t>(N); }
    // The descriptor's list, null when there are no parameters.
    constexpr const IFparm* parms() const { return N ? parms_.data() : nullptr; }
    constexpr std::span<const Parameter<Owner>> rows() const { return rows_; }

    const Parameter<Owner>* find(int32_t id) const
    {
        const auto at = std::lower_bound(byid_.begin(), byid_.end(), id,
            [&](uint16_t row, int32_t wanted) { return rows_[row].id < wanted; });
        return at != byid_.end() && rows_[*at].id == id ? &rows_[*at] : nullptr;
    }

    // 0, E_BADPARM for an id without a settable row, or the row's E_BADTYPE or E_BADVALUE.
    int set(Owner& owner, int32_t id, const IFvalue& value) const
    {
        const Parameter<Owner>* row = find(id);
        return row && row->set ? row->set(owner, value, *row) : E_BADPARM;
    }

    // 0, or E_BADPARM for an id without an askable row.
    int ask(IFcircuit& ckt, Owner& owner, int32_t id, IFvalue& value) const
    {
        const Parameter<Owner>* row = find(id);
        return row && row->ask ? row->ask(ckt, owner, value) : E_BADPARM;
    }

    // Gives every member row its default.
    void defaults(Owner& owner) const
    {
        for (const Parameter<Owner>& row : rows_) {
            if (row.reset)
                row.reset(owner, row.initial);
        }
    }

private:
    static_assert(N <= std::numeric_limits<uint16_t>::max());
    std::array<Parameter<Owner>, N> rows_ {};
    std::array<IFparm, N> parms_ {};
    std::array<uint16_t, N> byid_ {}; // row indices in ascending order of id
};

template <class Owner, std::size_t N> constexpr auto parametertable(const Parameter<Owner> (&list)[N])
{
    return ParameterTable<Owner, N>(list);
}

// A table of an owner's own rows followed by rows that several owners share.
template <class Owner, std::size_t M, std::size_t N>
constexpr auto parametertable(const Parameter<Owner> (&own)[M], const std::array<Parameter<Owner>, N>& shared)
{
    Parameter<Owner> joined[M + N] {};
    for (std::size_t i = 0; i < M; ++i)
        joined[i] = own[i];
    for (std::size_t i = 0; i < N; ++i)
        joined[M + i] = shared[i];
    return ParameterTable<Owner, M + N>(joined);
}

template <class Owner> constexpr auto parametertable()
{
    return ParameterTable<Owner, 0> {};
}

} // namespace nerith
