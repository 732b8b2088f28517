#include "engines/contract/models.h"
#include "engines/nerith/devices/family.h"
#include "engines/nerith/nerith.h"

namespace nerith {

namespace {

// The interface device of models that stamp themselves (built-in and library models): each instance
// hands the engine's calls on to the ISPICEMODEL it was given. The model makes its own nodes,
// branches, states and matrix cells when it binds, through the circuit interface; the engine knows
// nothing of what it stamps, so the device counts as nonlinear and leaves convergence to the
// solution's own test.
struct Objitf {
    static constexpr bool Linear = false;

    struct Model : IFmodel {
        ISPICECKT* circuit = nullptr; // handed to the instances instead of the engine's own; borrowed
    };

    struct Hot {
        ISPICEMODEL* model; // borrowed from the kernel
        std::array<int32_t, 0> cells; // the model's cells are its own
    };

    struct Instance : Bindable<Hot> {
        IINSTANCE* part = nullptr; // borrowed from the kernel
        ISPICEMODEL* spicemodel = nullptr; // borrowed from the kernel
    };

    static int setpart(Instance& i, const IFvalue& value)
    {
        i.part = static_cast<IINSTANCE*>(value.pValue);
        return 0;
    }
    static int setspicemodel(Instance& i, const IFvalue& value)
    {
        i.spicemodel = static_cast<ISPICEMODEL*>(value.pValue);
        return 0;
    }
    static int setcircuit(Model& m, const IFvalue& value)
    {
        m.circuit = static_cast<ISPICECKT*>(value.pValue);
        return 0;
    }

    static constexpr auto parameters = parametertable<Instance>({
        settable<&setpart>("instance", OBJITF_INSTANCE, IF_POINTER, "The part's services"),
        settable<&setspicemodel>("model", OBJITF_MODEL, IF_POINTER, "The part's analog model"),
    });
    static constexpr auto modelparameters = parametertable<Model>({
        settable<&setcircuit>("circuit", OBJITF_CIRCUIT, IF_POINTER, "Circuit handed to the models"),
    });

    static int bind(IFcircuit& ckt, Instance& i, Hot& h)
    {
        if (!i.spicemodel)
            return fail(E_BADDEVICE, "interface device %s has no model", i.name);
        const auto* model = static_cast<const Model*>(i.model);
        i.spicemodel->bindspice(i.part, model->circuit ? model->circuit : &ckt.models);
        h.model = i.spicemodel;
        return 0;
    }

    // The model bound stays the one the instance serves: another would have made no cells.
    static int check(IFcircuit&, const Instance& i, Hot& h)
    {
        if (i.spicemodel != h.model)
            return fail(E_BADDEVICE, "interface device %s got another model after the circuit was set up",
                i.name);
        return 0;
    }

    static void load(IFcircuit& ckt, std::span<Hot> list)
    {
        for (const Hot& i : list)
            i.model->loaddc(ckt.time, ckt.mode, ckt.solution.data(), ckt.rhs.data());
    }

    static void limitstep(IFcircuit& ckt, std::span<const Hot> list, double& step)
    {
        for (const Hot& i : list) {
            double asked = step;
            i.model->limitstep(ckt.time, &asked);
            // A model may lower the step, never raise it; a step that is no number is no limit.
            if (asked > 0 && asked < step)
                step = asked;
        }
    }

    static void accept(IFcircuit& ckt, std::span<const Hot> list)
    {
        for (const Hot& i : list)
            i.model->acceptstep(ckt.time, ckt.solution.data());
    }

    // The model stamps its small-signal matrix through its own cells and its excitation into the
    // right-hand sides.
    static void acload(IFcircuit& ckt, const Instance&, const Hot& h)
    {
        h.model->loadac(ckt.omega, ckt.rhs.data(), ckt.irhs.data());
    }

    static void topology(Topology&, const Instance&, const Hot&) { }
};

} // namespace

extern const DeviceKind objitfkind;
constexpr DeviceKind objitfkind = devicekind<Objitf>("OBJITF", "Interface of built-in and library models", 0);

} // namespace nerith
