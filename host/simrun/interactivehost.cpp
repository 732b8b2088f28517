#include "host/simrun/interactivehost.h"

#include "platform/win/modules.h"
#include "simulator/kernel/exports.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

constexpr int MODE_START = 0;
// A running tick: any mode but 0, 2 and 10 advances; 1 is what the end of a run tells the parts.
constexpr int MODE_ADVANCE = 3;
constexpr int MODE_PAUSE = 2;
constexpr int MODE_SNAPSHOT = 10;
constexpr int RESULT_BREAKPOINT = 4;
constexpr int RESULT_ENDED = 5;

struct EXPORTS {
    RTSINITIALIZEPROC initialize;
    RTSEXECUTEPROC execute;
    RTSEVENTPROC event;
    RTSTERMINATEPROC terminate;
};

// Whether the ticks go on after a tick's result.
bool goeson(int result)
{
    return result < 2;
}

using CLOCK = std::chrono::steady_clock;

double seconds(CLOCK::duration span)
{
    return std::chrono::duration<double>(span).count();
}

void printfigures(FILE* out, const TICKFIGURES& figures)
{
    const LATENCIES l = latencies(figures.latencies);
    fprintf(out, "real time: %g s in %.3f s: %.3f simulated seconds per wall second\n", figures.simulated,
        figures.wall, figures.wall > 0 ? figures.simulated / figures.wall : 0.0);
    fprintf(out, "tick latency: median %.3f ms, 99th percentile %.3f ms, maximum %.3f ms (%zu ticks)\n",
        1e3 * l.median, 1e3 * l.p99, 1e3 * l.most, figures.latencies.size());
}

} // namespace

LATENCIES latencies(std::vector<double> seconds)
{
    if (seconds.empty())
        return {};
    std::sort(seconds.begin(), seconds.end());
    const size_t n = seconds.size();
    const auto p99 = static_cast<size_t>(std::ceil(0.99 * static_cast<double>(n)));
    return { seconds[n / 2], seconds[std::max<size_t>(p99, 1) - 1], seconds.back() };
}

int runinteractive(HMODULE module, const char* netlist, HWND host, const INTERACTIVEPLAN& plan, FILE* out,
    FILE* progress, TICKFIGURES* figures)
{
    EXPORTS calls {
        reinterpret_cast<RTSINITIALIZEPROC>(GetProcAddress(module, "rts_initialize")),
        reinterpret_cast<RTSEXECUTEPROC>(GetProcAddress(module, "rts_execute")),
        reinterpret_cast<RTSEVENTPROC>(GetProcAddress(module, "rts_event")),
        reinterpret_cast<RTSTERMINATEPROC>(GetProcAddress(module, "rts_terminate")),
    };
    if (!calls.initialize || !calls.execute || !calls.event || !calls.terminate) {
        fprintf(stderr, "simrun: HELIXSIM lacks the interactive exports\n");
        return 3;
    }
    int result = calls.initialize(netlist, fileno(out), host);
    fprintf(out, "initialize: %d\n", result);
    if (result >= 3)
        return result;
    // No channel is linked to the host's flags unless the netlist says so; those that are stay off.
    int flags[32] = {};
    double time = 0;
    result = calls.execute(MODE_START, &time, flags);
    fprintf(out, "tick %d %g: %d\n", MODE_START, time, result);
    size_t next = 0;
    const double ticks = std::ceil(plan.until / plan.tick - 1e-9);
    int shown = -1;
    TICKFIGURES kept;
    const CLOCK::time_point first = CLOCK::now();
    for (double k = 1; goeson(result) && k <= ticks; ++k) {
        double target = std::min(k * plan.tick, plan.until);
        int mode = MODE_ADVANCE;
        for (; next < plan.actions.size() && plan.actions[next].time <= target; ++next) {
            const HOSTACTION& action = plan.actions[next];
            if (action.kind == HOSTACTION::PAUSE)
                mode = MODE_PAUSE;
            else if (action.kind == HOSTACTION::SNAPSHOT)
                mode = MODE_SNAPSHOT;
            else
                fprintf(out, "event %d %u at %g: %d\n", action.id, action.argument, action.time,
                    calls.event(action.id, action.time, action.argument));
        }
        time = target;
        if (plan.realtime)
            std::this_thread::sleep_until(
                first + std::chrono::duration_cast<CLOCK::duration>(std::chrono::duration<double>(target)));
        const CLOCK::time_point begun = CLOCK::now();
        result = calls.execute(mode, &time, flags);
        const CLOCK::time_point ended = CLOCK::now();
        kept.latencies.push_back(seconds(ended - begun));
        kept.wall = seconds(ended - first);
        kept.simulated = time;
        fprintf(out, "tick %d %g: %d\n", mode, time, result);
        int percent = static_cast<int>(100 * k / ticks);
        if (progress && percent != shown) {
            shown = percent;
            fprintf(progress, "\r%3d %%", percent);
            fflush(progress);
        }
    }
    if (progress && shown >= 0)
        fputs("\r      \r", progress);
    if (result == RESULT_BREAKPOINT)
        fprintf(out, "breakpoint at %g\n", time);
    else if (result == RESULT_ENDED)
        fprintf(out, "analysis ended at %g\n", time);
    result = calls.terminate();
    fprintf(out, "result: %d\n", result);
    if (plan.realtime)
        printfigures(out, kept);
    if (figures)
        *figures = std::move(kept);
    return result;
}
