#pragma once

#include "engines/nerith/descriptor.h"
#include "engines/nerith/nodes.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The head every device type's model derives from.
struct IFmodel {
    std::string name;
    int32_t type = 0; // device type index in the descriptor
    int32_t instances = 0; // instances not deleted
    bool deleted = false;
};

// The head every device type's instance derives from.
struct IFinstance {
    static constexpr int32_t MaxTerminals = 4;
    const char* name = ""; // kept in the circuit's text arena
    IFmodel* model = nullptr;
    int32_t type = 0;
    bool deleted = false;
    bool bound = false; // its equations and matrix cells exist
    // The node of each terminal by its place in the circuit's store of nodes, plus one; 0: not
    // connected. Four bytes rather than a pointer, as large decks have millions of instances.
    std::array<uint32_t, MaxTerminals> terminals {};
};

namespace nerith {

class SparseMatrix;
class TruncationTest;
class NoiseSources;
class Distortion;

// What a device contributes to the DC topology, gathered only to explain a singular matrix.
class Topology {
public:
    // A DC path between the nodes of two equations.
    virtual void conducts(int32_t a, int32_t b) = 0;
    // A voltage the device sets between two nodes (a source or a controlled voltage).
    virtual void fixes(const IFinstance& device, int32_t a, int32_t b) = 0;
    // The equation of the node at a terminal (from 0) of the device; 0 when not connected.
    virtual int32_t terminal(const IFinstance& device, std::size_t k) const = 0;

protected:
    ~Topology() = default;
};

// The models and instances of one device type in one circuit, and the load loop over them.
class DeviceFamily {
public:
    virtual ~DeviceFamily() = default;
    virtual IFmodel* newmodel(const std::string& name) = 0;
    // `name` must stay valid as long as the instance: the circuit's text arena keeps it.
    virtual IFinstance* newinstance(IFmodel* model, const char* name) = 0;
    // Marks the instance deleted; its memory stays until the circuit goes.
    virtual void deleteinstance(IFinstance* instance) = 0;
    virtual void deletemodel(IFmodel* model) = 0;
    // Parameter calls: 0, E_BADPARM for an id the type cannot set or ask, E_BADTYPE for a value of the
    // wrong kind, E_BADVALUE for one out of range.
    virtual int setinstance(IFinstance& instance, int32_t id, const IFvalue& value) = 0;
    virtual int askinstance(IFcircuit& ckt, IFinstance& instance, int32_t id, IFvalue& value) = 0;
    virtual int setmodel(IFmodel& model, int32_t id, const IFvalue& value) = 0;
    // What puts the instance's parameters back as they are now (a sweep changes them for its run).
    virtual std::function<void()> preserve(IFinstance& instance) = 0;
    virtual int askmodel(IFcircuit& ckt, IFmodel& model, int32_t id, IFvalue& value) = 0;
    // Before each run: makes the equations, states and matrix places of the instances not bound
    // yet and checks every instance's values. 0, or the code of fail() naming the device.
    virtual int setup(IFcircuit& ckt) = 0;
    // After the matrix structure was analysed: the stamps of every instance go to the entries of its
    // places.
    virtual void attach(const SparseMatrix& matrix) = 0;
    // Stamps every instance for one Newton iteration.
    virtual void load(IFcircuit& ckt) = 0;
    // Whether the currents of the last iterate meet the tolerances (always, for linear types).
    virtual bool converged(IFcircuit& ckt) = 0;
    // Forgets every instance's equations and places: they are made again at the next set-up.
    virtual void unbind() = 0;
    virtual void topology(Topology& topology) const = 0;
    // Whether a live instance has a terminal on the node.
    virtual bool uses(const Node* node) const = 0;
    // Whether the family has instances whose stamps depend on the iterate.
    virtual bool nonlinear() const = 0;

    // The transient's calls; a family without time dependence leaves them alone.
    // At the start of a transient, before its first solution: waveforms take their defaults and
    // set their first break points.
    virtual void begin(IFcircuit&) { }
    // After a time point converged: the states of the point, computed from its solution, and with a
    // test, their truncation errors added to it.
    virtual void settle(IFcircuit&, TruncationTest*) { }
    // The truncation errors of the states added to a test of another order than the settled one.
    virtual void truncation(IFcircuit&, TruncationTest&) { }
    // Before a step from the present time: may lower `step`, never raise it.
    virtual void limitstep(IFcircuit&, double&) { }
    // After a time point was accepted (ckt.time is its time): break points ahead, model calls.
    virtual void accept(IFcircuit&) { }

    // The small-signal analyses' calls, about the operating point that the last load (in
    // MODE_INITSMSIG) linearised the devices at.
    // Stamps every instance's admittance at the angular frequency ckt.omega into the real (stamps())
    // and imaginary (imaginary()) parts of the matrix, and the sources' excitation (ckt.excitation)
    // into ckt.rhs and ckt.irhs. 0, or fail()'s code naming a device that has no small-signal model.
    virtual int acload(IFcircuit& ckt) = 0;
    // Adds the noise generators of every instance.
    virtual void noise(IFcircuit& ckt, NoiseSources& sources) = 0;
    // Adds the distortion currents of every instance for the product `distortion` computes. 0, or
    // fail()'s code naming a nonlinear device that has no distortion model.
    virtual int distortion(IFcircuit& ckt, Distortion& distortion) = 0;
};

// A device type: its static description and how a circuit makes its family.
struct DeviceKind {
    IFdevice description;
    std::unique_ptr<DeviceFamily> (*makefamily)(int32_t type);
};

// The device types built, in descriptor order.
const std::vector<const DeviceKind*>& devicekinds();

} // namespace nerith
