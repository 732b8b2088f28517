#pragma once

#include <cstdint>
#include <vector>

struct IFcircuit;
struct IFjob;
struct IFplot;

namespace nerith {

// The parameters of a transient analysis; its job's parameter table gives their defaults.
struct TranSettings {
    double tstart; // output starts here
    double tstop; // the run ends here
    double tstep; // the output step a deck asks for; 0: none
    double tmax; // the largest time step; 0: TSTEP or 1/50 of the span, whichever is smaller
    bool uic; // start from initial conditions instead of an operating point
};

// One run of a transient: its initial solution, then time points to TSTOP, each accepted one handed
// to the front end and followed by the pause test. A stop after any point keeps everything the run
// needs to go on from there.
class Transient {
public:
    Transient(IFcircuit& ckt, IFjob& job, const TranSettings& settings);
    Transient(const Transient&) = delete;
    Transient& operator=(const Transient&) = delete;

    // Runs from the start: 0 at TSTOP, E_PAUSE or E_BREAK after a point, or fail()'s code.
    int start();
    // Goes on after a stop, as start() does; 0 at once when the run had ended.
    int resume();
    bool finished() const { return done; }

private:
    struct Plan {
        double target = 0; // the time of the next point
        double wanted = 0; // the step asked for before break points cut it
        bool onbreak = false; // the point lands on a break point
    };
    // A step solved within its truncation error, before the digital side and the commit.
    struct Solved {
        Plan plan;
        double truncation = 0; // the step its truncation error allows next
        bool estimable = false;
    };

    int initialsolution();
    void consistentstart();
    int steps();
    int step();
    int hold(const Solved& point, double stop);
    int release(bool* stands);
    void interpolate(double time);
    int plan(double wanted, double forced, bool retry, Plan* next);
    int solve(double target);
    int acceptdigital(double target, double* retake);
    void commit(double target);
    double nextstep(const Plan& plan, double truncation, bool estimable);
    double allowedstep(int32_t order);
    int deliver(double target);
    void restore();
    double nextbreak() const;
    // E_TIMESTEP for a step cut below the floor, after Newton failed or for its truncation error.
    int stepfailure(double target, bool newton);

    IFcircuit& ckt;
    IFjob& job;
    TranSettings settings;
    double tmax = 0;
    double minbreak = 0;
    int32_t maxorder = 1;
    int32_t equations = 0; // the circuit's size when the run started
    IFplot* plot = nullptr;
    double following = 0; // the step the next point tries
    int32_t stepsatorder = 0; // points accepted since the order last changed
    bool afterbreak = false; // the step being taken is the first past a break point
    bool started = false;
    bool done = false;
    std::vector<double> requests; // times the digital side asked for at the present point
    Solved held; // the step waiting past a stop (ckt.holding)
    std::vector<double> heldsolution;
};

} // namespace nerith
