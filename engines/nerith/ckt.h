#pragma once

#include "engines/nerith/device.h"
#include "engines/nerith/integration.h"
#include "engines/nerith/job.h"
#include "engines/nerith/matrix.h"
#include "engines/nerith/names.h"
#include "engines/nerith/nodes.h"
#include "engines/nerith/options.h"
#include "engines/nerith/spiceckt.h"
#include "engines/nerith/store.h"
#include "engines/nerith/textarena.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class CIRCUIT;
class ISIMLOG;

namespace nerith {

// The sources a small-signal load excites.
enum class Excitation : int32_t {
    Ac, // every source by its AC magnitude and phase
    Input, // only the circuit's `input` source, by 1 (the noise analysis's gain)
    FirstTone, // the distortion inputs at F1 ("distof1"), by half their magnitude
    SecondTone, // the distortion inputs at F2 ("distof2"), by half their magnitude
    None, // no source: the distortion analysis adds the devices' currents itself
};

// Counts of the last doAnalyses, answered by the options analysis.
struct RunStatistics {
    int32_t iterations = 0; // Newton iterations
    int32_t steps = 0; // time steps attempted
    int32_t goodsteps = 0;
    int32_t badsteps = 0;
};

} // namespace nerith

// A circuit: its nodes and equations, device families and tasks, its matrix and the state of its
// runs. Everything in it is made and freed through the descriptor.
struct IFcircuit {
    IFcircuit();
    IFcircuit(const IFcircuit&) = delete;
    IFcircuit& operator=(const IFcircuit&) = delete;

    // The number of equations (solution entries 1..size()).
    int32_t size() const { return static_cast<int32_t>(equations.size()) - 1; }
    // A new node of that name in `nodes`, its name kept in `names`; not yet in `nodenames`.
    nerith::Node& newnode(std::string_view name);
    // A new node equation for a node just placed in `nodes`; its number.
    int32_t addnode(nerith::Node& node);
    // The node at a terminal (from 0) of an instance; null when not connected.
    nerith::Node* terminal(const IFinstance& instance, std::size_t k);
    const nerith::Node* terminal(const IFinstance& instance, std::size_t k) const;
    // Connects the terminal to the node (null: disconnects it).
    static void connect(IFinstance& instance, std::size_t k, const nerith::Node* node);
    // A new branch-current equation named by the front end from the owner's name and the suffix.
    int32_t addbranch(IFinstance* owner, const char* ownername, const char* suffix);
    // Marks an equation gone; numbers close up at the next set-up.
    void removeequation(int32_t number);
    // The identifier of an equation for messages: a node's name, or "the current of <device>".
    std::string describe(int32_t number) const;

    // Structure.
    nerith::Store<nerith::Node> nodes;
    nerith::Node* ground = nullptr;
    nerith::NameIndex<nerith::Node, &IFnode::name> nodenames;
    nerith::Equations equations; // by number; [0] stands for ground
    nerith::TextArena names; // of the nodes and branches
    std::vector<std::unique_ptr<nerith::DeviceFamily>> families; // by device type index
    nerith::NameIndex<IFinstance, &IFinstance::name> instancenames;
    nerith::NameIndex<IFmodel, &IFmodel::name> modelnames;
    std::vector<std::unique_ptr<IFtask>> tasks;
    bool rebuild = false; // something was deleted or rewired: the next set-up starts afresh
    // Nothing was made, deleted, bound or set through the descriptor since the last set-up: a run
    // that goes on after a stop needs none.
    bool setupcurrent = false;

    // The kernel's, kept for the models.
    CIRCUIT* kernel = nullptr;
    ISIMLOG* log = nullptr;
    nerith::SpiceCircuit models { *this };

    // Solving.
    nerith::SparseMatrix matrix;
    nerith::Options options; // in force for the present run
    uint32_t mode = 0;
    double time = 0;
    double srcfact = 1; // source-stepping factor
    double diaggmin = 0; // conductance gmin stepping puts from every node to ground
    bool nonlinear = false;
    std::vector<double> rhs; // right-hand side while loading; the new iterate after a solve
    std::vector<double> solution; // the last iterate; the result once converged
    std::vector<double> loaded; // the right-hand side the last iterate was solved from
    std::vector<uint8_t> voltage; // by equation number: 1 for a node voltage
    std::vector<int32_t> diagonal; // by equation number: the place of a node's diagonal; Ground for branches
    // The nodes given a suggested voltage for the first iterations of an operating point, and a
    // voltage held through the operating point of a transient (or its start with UIC): a few among
    // millions, so kept apart from the nodes.
    std::unordered_map<const nerith::Node*, double> givennodesets;
    std::unordered_map<const nerith::Node*, double> giveninitials;
    // Those of the nodes in the present equations, by equation number.
    std::vector<std::pair<int32_t, double>> nodesets;
    std::vector<std::pair<int32_t, double>> initialconditions; // held in MODE_TRANOP
    std::vector<IFuid> plotnames; // identifiers of equations 1..size()
    int32_t noncon = 0; // devices that limited their step in the present iteration
    int32_t trouble = 0; // the equation that failed the convergence test last
    std::string nonconvergence; // nonconvErr's text; empty when the last run converged
    nerith::RunStatistics statistics;

    // The small-signal analyses: the complex system at one frequency.
    double omega = 0; // angular frequency (rad/s)
    nerith::Excitation excitation = nerith::Excitation::Ac;
    const IFinstance* input = nullptr; // the source Excitation::Input excites
    std::vector<double> irhs; // the imaginary part of `rhs` and of the solution in small-signal analyses

    // Requests of models and the kernel, kept for the time-stepping analyses.
    bool breakasked = false;
    std::string breaktext;
    std::vector<double> breaks; // break points, ascending
    std::vector<double> stops; // times the transient stops at without landing a step there, ascending
    // A solved step waits past a stop for the run to go on: `time` and `solution` show the stop.
    bool holding = false;
    double initialstep = 0; // limit of the first time step from time 0; 0: none
    double proposedstep = 0; // smallest step proposed since the last step was planned; 0: none

    // Time stepping: the integration of the present point and the history of accepted ones.
    nerith::Integration integration;
    double stepfloor = 0; // the smallest step the transient takes before it gives up (s)
    double sourcestep = 0; // the step and stop time that waveforms take their defaults from (s)
    double sourcestop = 0;
    int32_t statecount = 0;
    std::vector<double> states[nerith::HistoryPoints]; // by point: 0 being solved, j the j-th last accepted
    std::vector<double> solutions[nerith::HistoryPoints]; // accepted solutions by point (from 1)

    IFtask* present = nullptr; // the task doAnalyses ran last: DCtran goes on with it
};

namespace nerith {

// Gets a circuit ready for a run: closes up numbers after deletions, makes the equations and cells
// of new instances, checks every device's values and sizes the run's vectors. 0, or fail()'s code.
int setup(IFcircuit& ckt);

// The identifier of a derived equation: the front end's "#<owner>#<suffix>" (owner null: the suffix).
std::string identifier(IFcircuit& ckt, const char* owner, const char* suffix);

// The history part of x'(0) for the state pair at `state` (Integration): everything but
// slope() * x(0).
inline double history(const IFcircuit& ckt, int32_t state)
{
    const Integration& in = ckt.integration;
    const auto s = static_cast<std::size_t>(state);
    if (in.order == 2 && in.method == Method::Trapezoidal)
        return in.weights[1] * ckt.states[1][s] - ckt.states[1][s + 1];
    double sum = 0;
    for (int32_t j = 1; j <= in.order; ++j)
        sum += in.weights[j] * ckt.states[j][s];
    return sum;
}

// State `state` at a new time point, extrapolated linearly from the last two accepted points, the
// first guess of a device's voltages there; `last` receives the last accepted point's value.
inline double extrapolatestate(const IFcircuit& ckt, int32_t state, double& last)
{
    const auto s = static_cast<std::size_t>(state);
    const double* t = ckt.integration.times;
    const double ratio = (t[0] - t[1]) / (t[1] - t[2]);
    last = ckt.states[1][s];
    return (1 + ratio) * last - ratio * ckt.states[2][s];
}

// Integrates the charge of the state pair at `state`: keeps the charge and its derivative x'(0)
// and gives the derivative. The first step of a run has the present charge as its past, unmoving.
inline double integratestate(IFcircuit& ckt, int32_t state, double charge, bool first)
{
    const auto s = static_cast<std::size_t>(state);
    if (first) {
        ckt.states[1][s] = charge;
        ckt.states[1][s + 1] = 0;
    }
    const double flow = ckt.integration.slope() * charge + history(ckt, state);
    ckt.states[0][s] = charge;
    ckt.states[0][s + 1] = flow;
    return flow;
}

// A break point at `time`, kept in order; false for a time before the present one. Points closer
// than the minimum spacing to one already set, or to the present time, merge with it. While a step
// waits past a stop, the present is the last accepted point: a break before the stop retakes it.
bool addbreak(IFcircuit& ckt, double time);

// A stop at `time`, kept in order; false for a time before the present one.
bool addstop(IFcircuit& ckt, double time);

} // namespace nerith
