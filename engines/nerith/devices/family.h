#pragma once

#include "engines/nerith/ckt.h"
#include "engines/nerith/device.h"
#include "engines/nerith/parameters.h"
#include "engines/nerith/report.h"
#include "engines/nerith/store.h"

#include <array>
#include <deque>
#include <memory>
#include <span>
#include <tuple>
#include <vector>

namespace nerith {

// What a linear device type without model parameters leaves to the defaults.
struct LinearDevice {
    static constexpr bool Linear = true;
    struct Model : IFmodel { };
    static constexpr auto modelparameters = parametertable<Model>();
};

// The head of a device type's instance: its parameters derive from it; `hot` is its record in the
// family's load array while the instance is bound, null otherwise.
template <class Hot> struct Bindable : IFinstance {
    Hot* hot = nullptr;
};

// The ask of a value kept in the load record of a bound instance: 0 while it is not bound.
template <class Instance, auto Member> int askrecorded(IFcircuit&, Instance& instance, IFvalue& value)
{
    using T = typename MemberOf<decltype(Member)>::Type;
    writevalue(value, instance.hot ? instance.hot->*Member : T {});
    return 0;
}

// An ask-only value kept in `Member` of the load record, such as a device's operating point.
template <class Instance, auto Member>
constexpr Parameter<Instance> recorded(const char* keyword, int32_t id, const char* description)
{
    using T = typename MemberOf<decltype(Member)>::Type;
    Parameter<Instance> row = rows::basic<Instance>(keyword, id, kindof<T>() | IF_ASK, description);
    row.ask = &askrecorded<Instance, Member>;
    return row;
}

// The equation numbers of the first `count` terminals of the instance; fail() naming the device
// when one is not connected.
int terminalnumbers(const IFcircuit& ckt, const IFinstance& instance, int32_t count, int32_t* numbers);

// fail() for an analysis that needs a `what` model ("small-signal", "distortion") of the device's type,
// which has none.
int unmodelled(const IFinstance& device, const char* what);

// The places of a conductance between the equations a and b, in the order of stampconductance().
inline std::array<int32_t, 4> conductanceplaces(SparseMatrix& m, int32_t a, int32_t b)
{
    return { m.place(a, a), m.place(b, b), m.place(a, b), m.place(b, a) };
}

// Adds a conductance `g` to the four entries of conductanceplaces(), from `first` on.
inline void stampconductance(double* values, const int32_t* first, double g)
{
    values[first[0]] += g;
    values[first[1]] += g;
    values[first[2]] -= g;
    values[first[3]] -= g;
}

// The family of a device type `Device`: its models and instances in stable storage, and for the
// load loop a contiguous record (`Device::Hot`) of each bound instance, holding exactly what the
// loop reads and writes, its matrix entries (`cells`) among them. The type's static functions do the
// work: `bind` makes an instance's equations, states and places (left in `cells`, which the family
// turns into entries once the structure is analysed), `check` works out what its parameters give at
// the run's temperature, `load` stamps the records, and the optional `converged`, `settle`,
// `truncation`, `begin` and `accept` serve Newton and the transient. The small-signal analyses call
// `acload`, `noise` and `distortion` per instance with its record; a type without `acload` fails
// them, as a nonlinear one without `distortion` fails the distortion analysis. Its parameter tables
// (`parameters` of the instance, `modelparameters` of the model) answer set and ask.
template <class Device> class Family final : public DeviceFamily {
public:
    using Model = typename Device::Model;
    using Instance = typename Device::Instance;
    using Hot = typename Device::Hot;
    static constexpr std::size_t Cells = std::tuple_size_v<decltype(Hot::cells)>;

    explicit Family(int32_t typeindex)
        : type(typeindex)
    {
    }

    IFmodel* newmodel(const std::string& name) override
    {
        Model& model = models.emplace_back();
        model.name = name;
        model.type = type;
        Device::modelparameters.defaults(model);
        return &model;
    }
    IFinstance* newinstance(IFmodel* model, const char* name) override
    {
        Instance& instance = instances.emplace_back();
        instance.name = name;
        instance.model = model;
        instance.type = type;
        Device::parameters.defaults(instance);
        ++model->instances;
        ++live;
        return &instance;
    }
    void deleteinstance(IFinstance* instance) override
    {
        instance->deleted = true;
        --instance->model->instances;
        --live;
    }
    void deletemodel(IFmodel* model) override { model->deleted = true; }
    int setinstance(IFinstance& instance, int32_t id, const IFvalue& value) override
    {
        return Device::parameters.set(static_cast<Instance&>(instance), id, value);
    }
    int askinstance(IFcircuit& ckt, IFinstance& instance, int32_t id, IFvalue& value) override
    {
        return Device::parameters.ask(ckt, static_cast<Instance&>(instance), id, value);
    }
    int setmodel(IFmodel& model, int32_t id, const IFvalue& value) override
    {
        return Device::modelparameters.set(static_cast<Model&>(model), id, value);
    }
    int askmodel(IFcircuit& ckt, IFmodel& model, int32_t id, IFvalue& value) override
    {
        return Device::modelparameters.ask(ckt, static_cast<Model&>(model), id, value);
    }
    std::function<void()> preserve(IFinstance& instance) override
    {
        auto& kept = static_cast<Instance&>(instance);
        if constexpr (requires { Device::preserve(kept); })
            return Device::preserve(kept);
        else if constexpr (std::is_copy_assignable_v<Instance>)
            return [&kept, copy = kept] { kept = copy; };
        else
            return {}; // a device no sweep changes
    }

    int setup(IFcircuit& ckt) override
    {
        std::size_t unbound = 0;
        for (const Instance& instance : instances)
            unbound += !instance.deleted && !instance.bound;
        if (hot.size() + unbound > hot.capacity()) {
            // The records must not move while instances point at them.
            hot.reserve(hot.size() + unbound);
            for (std::size_t k = 0; k < hot.size(); ++k)
                bindings[k].owner->hot = &hot[k];
        }
        for (Instance& instance : instances) {
            if (instance.deleted)
                continue;
            if (!instance.bound) {
                Hot& record = hot.emplace_back();
                if (int code = Device::bind(ckt, instance, record)) {
                    hot.pop_back();
                    return code;
                }
                bindings.push_back({ &instance, record.cells });
                instance.hot = &record;
                instance.bound = true;
            }
            if (int code = Device::check(ckt, instance, *instance.hot))
                return code;
        }
        return 0;
    }
    void attach(const SparseMatrix& matrix) override
    {
        for (std::size_t k = 0; k < hot.size(); ++k) {
            for (std::size_t j = 0; j < Cells; ++j)
                hot[k].cells[j] = matrix.entry(bindings[k].places[j], k * Cells + j);
            // A type whose instances hold places of their own in numbers that vary maps them itself.
            if constexpr (requires { Device::attach(*bindings[k].owner, matrix); })
                Device::attach(*bindings[k].owner, matrix);
        }
    }
    void load(IFcircuit& ckt) override { Device::load(ckt, std::span<Hot>(hot)); }
    bool converged(IFcircuit& ckt) override
    {
        if constexpr (requires { Device::converged(ckt, std::span<const Hot>(hot)); })
            return Device::converged(ckt, std::span<const Hot>(hot));
        else
            return true;
    }
    void unbind() override
    {
        for (Instance& instance : instances) {
            instance.bound = false;
            instance.hot = nullptr;
            if constexpr (requires { Device::unbind(instance); })
                Device::unbind(instance);
        }
        hot.clear();
        bindings.clear();
    }
    void topology(Topology& topology) const override
    {
        for (std::size_t k = 0; k < hot.size(); ++k)
            Device::topology(topology, *bindings[k].owner, hot[k]);
    }
    bool uses(const Node* node) const override
    {
        for (const Instance& instance : instances) {
            if (instance.deleted)
                continue;
            for (uint32_t terminal : instance.terminals) {
                if (terminal == node->index + 1)
                    return true;
            }
        }
        return false;
    }
    bool nonlinear() const override { return !Device::Linear && live > 0; }

    void begin(IFcircuit& ckt) override
    {
        if constexpr (requires { Device::begin(ckt, std::span<Hot>(hot)); })
            Device::begin(ckt, std::span<Hot>(hot));
    }
    void settle(IFcircuit& ckt, TruncationTest* test) override
    {
        if constexpr (requires { Device::settle(ckt, std::span<Hot>(hot), test); })
            Device::settle(ckt, std::span<Hot>(hot), test);
        else if constexpr (requires { Device::truncation(ckt, std::span<const Hot>(hot), *test); }) {
            if (test)
                Device::truncation(ckt, std::span<const Hot>(hot), *test);
        }
    }
    void truncation(IFcircuit& ckt, TruncationTest& test) override
    {
        if constexpr (requires { Device::truncation(ckt, std::span<const Hot>(hot), test); })
            Device::truncation(ckt, std::span<const Hot>(hot), test);
    }
    void limitstep(IFcircuit& ckt, double& step) override
    {
        if constexpr (requires { Device::limitstep(ckt, std::span<const Hot>(hot), step); })
            Device::limitstep(ckt, std::span<const Hot>(hot), step);
    }
    void accept(IFcircuit& ckt) override
    {
        if constexpr (requires { Device::accept(ckt, std::span<const Hot>(hot)); })
            Device::accept(ckt, std::span<const Hot>(hot));
    }

    int acload(IFcircuit& ckt) override
    {
        if constexpr (requires(const Instance& i, const Hot& h) { Device::acload(ckt, i, h); }) {
            for (std::size_t k = 0; k < hot.size(); ++k)
                Device::acload(ckt, *bindings[k].owner, hot[k]);
            return 0;
        } else {
            return hot.empty() ? 0 : unmodelled(*bindings.front().owner, "small-signal");
        }
    }
    void noise(IFcircuit& ckt, NoiseSources& sources) override
    {
        if constexpr (requires(const Instance& i, const Hot& h) { Device::noise(ckt, i, h, sources); }) {
            for (std::size_t k = 0; k < hot.size(); ++k)
                Device::noise(ckt, *bindings[k].owner, hot[k], sources);
        }
    }
    int distortion(IFcircuit& ckt, Distortion& products) override
    {
        if constexpr (requires(
                          const Instance& i, const Hot& h) { Device::distortion(ckt, i, h, products); }) {
            for (std::size_t k = 0; k < hot.size(); ++k)
                Device::distortion(ckt, *bindings[k].owner, hot[k], products);
            return 0;
        } else {
            return Device::Linear || hot.empty() ? 0 : unmodelled(*bindings.front().owner, "distortion");
        }
    }

private:
    // A bound instance and the matrix places of its record's cells.
    struct Binding {
        Instance* owner;
        std::array<int32_t, Cells> places;
    };

    int32_t type;
    int32_t live = 0;
    std::deque<Model> models;
    Store<Instance> instances;
    std::vector<Hot> hot; // of the bound instances, in the order they were bound
    std::vector<Binding> bindings; // beside `hot`
};

template <class Device> std::unique_ptr<DeviceFamily> makefamily(int32_t type)
{
    return std::make_unique<Family<Device>>(type);
}

// The descriptor entry of a device type, its parameter lists from the type's tables.
template <class Device>
constexpr DeviceKind devicekind(const char* name, const char* description, int32_t terminals)
{
    return { { name, description, terminals, Device::parameters.count(), Device::parameters.parms(),
                 Device::modelparameters.count(), Device::modelparameters.parms() },
        &makefamily<Device> };
}

} // namespace nerith
