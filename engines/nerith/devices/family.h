#pragma once

#include "engines/nerith/ckt.h"
#include "engines/nerith/device.h"
#include "engines/nerith/parameters.h"
#include "engines/nerith/report.h"

#include <deque>
#include <iterator>
#include <memory>

namespace nerith {

// What a linear device type without model parameters leaves to the defaults.
struct LinearDevice {
    static constexpr bool Linear = true;
    struct Model : IFmodel { };
    static constexpr auto modelparameters = parametertable<Model>();
    template <class List> static bool converged(IFcircuit&, List&) { return true; }
};

// The equation numbers of the first `count` terminals of the instance; fail() naming the device
// when one is not connected.
int terminalnumbers(const IFinstance& instance, int32_t count, int32_t* numbers);

// The family of a device type `Device`: its models and instances in stable storage, with the
// type's own static functions doing the work (set-up, the load loop) and its parameter tables
// (`parameters` of the instance, `modelparameters` of the model) answering set and ask.
template <class Device> class Family final : public DeviceFamily {
public:
    using Model = typename Device::Model;
    using Instance = typename Device::Instance;

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
    IFinstance* newinstance(IFmodel* model, const std::string& name) override
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
    int setup(IFcircuit& ckt) override
    {
        for (Instance& instance : instances) {
            if (instance.deleted)
                continue;
            if (int code = Device::check(ckt, instance))
                return code;
            if (instance.bound)
                continue;
            if (int code = Device::bind(ckt, instance))
                return code;
            instance.bound = true;
        }
        return 0;
    }
    void load(IFcircuit& ckt) override { Device::load(ckt, instances); }
    bool converged(IFcircuit& ckt) override { return Device::converged(ckt, instances); }
    void unbind() override
    {
        for (Instance& instance : instances) {
            instance.bound = false;
            Device::unbind(instance);
        }
    }
    void topology(Topology& topology) const override
    {
        for (const Instance& instance : instances) {
            if (!instance.deleted)
                Device::topology(topology, instance);
        }
    }
    bool uses(const Node* node) const override
    {
        for (const Instance& instance : instances) {
            if (instance.deleted)
                continue;
            for (const Node* terminal : instance.terminals) {
                if (terminal == node)
                    return true;
            }
        }
        return false;
    }
    bool nonlinear() const override { return !Device::Linear && live > 0; }

    void begin(IFcircuit& ckt) override
    {
        if constexpr (requires { Device::begin(ckt, instances); })
            Device::begin(ckt, instances);
    }
    void update(IFcircuit& ckt) override
    {
        if constexpr (requires { Device::update(ckt, instances); })
            Device::update(ckt, instances);
    }
    double truncation(IFcircuit& ckt, int32_t order) override
    {
        if constexpr (requires { Device::truncation(ckt, instances, order); })
            return Device::truncation(ckt, instances, order);
        else
            return DeviceFamily::truncation(ckt, order);
    }
    void limitstep(IFcircuit& ckt, double& step) override
    {
        if constexpr (requires { Device::limitstep(ckt, instances, step); })
            Device::limitstep(ckt, instances, step);
    }
    void accept(IFcircuit& ckt) override
    {
        if constexpr (requires { Device::accept(ckt, instances); })
            Device::accept(ckt, instances);
    }

private:
    int32_t type;
    int32_t live = 0;
    std::deque<Model> models;
    std::deque<Instance> instances;
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
