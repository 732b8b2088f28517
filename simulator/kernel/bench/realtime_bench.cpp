// The interactive run against the clock, on generated circuits: RC meshes driven by a 50 Hz sine
// with four interactive switches and four meters, of 500 nodes (alone, with 20 diodes, with 20
// MOSFET inverters) and of 5,000 nodes. Each is ticked at 1 ms over 2 s of simulated time as fast
// as the run goes, as the host drives it (the module loaded, its events taken by a host window),
// with the switches flipped at 0.25 s intervals. Printed per circuit, as a table:
//
// - the batch run of the same 2 s: its steps and processor-independent wall time;
// - the ticked run without events: its steps, which are to be no more than the batch run's;
// - the events ticked only at their own times (the batch run with the events' break points): its
//   steps, against which the ticked run with the events is measured;
// - the ticked run with the events: its steps, the simulated seconds per wall second and the
//   latencies of its ticks (median, 99th percentile, maximum).
//
//     build/bin/realtime_bench [--only NAME]
#include "host/simrun/interactivehost.h"
#include "host/simrun/simhost.h"
#include "platform/win/modules.h"
#include "simulator/kernel/exports.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

enum class EXTRA { NONE, DIODES, INVERTERS };

struct CIRCUIT {
    const char* name;
    int width;
    int height;
    EXTRA extra;
};

const CIRCUIT circuits[] = {
    { "mesh_500", 25, 20, EXTRA::NONE },
    { "mesh_500_diodes", 25, 20, EXTRA::DIODES },
    { "mesh_500_inverters", 25, 20, EXTRA::INVERTERS },
    { "mesh_5000", 100, 50, EXTRA::NONE },
};

constexpr double TICK = 1e-3;
constexpr double SPAN = 2;
constexpr int SWITCHES = 4;
constexpr int EXTRAS = 20;
// The switches close one after another every EVENTSTEP from EVENTSTEP on, then open in turn.
constexpr double EVENTSTEP = 0.25;

// A netlist in the making: parts, and the pins of each net in order.
class NETLIST {
public:
    void part(const std::string& line) { parts.push_back(line); }
    void pin(const std::string& net, const std::string& part, const char* pin)
    {
        for (auto& [name, pins] : nets) {
            if (name == net) {
                pins.push_back(part + ",PS," + pin);
                return;
            }
        }
        nets.push_back({ net, { part + ",PS," + pin } });
    }
    std::string text(const std::vector<std::string>& properties, const std::vector<std::string>& models) const
    {
        std::ostringstream out;
        out << "TAVI NETLIST FILE\nGenerated mesh\nDesign: Mesh\n*PROPERTIES," << properties.size() << "\n";
        for (const std::string& line : properties)
            out << line << "\n";
        if (!models.empty()) {
            out << "*MODELDEFS," << models.size() << "\n";
            for (const std::string& line : models)
                out << line << "\n";
        }
        out << "*PARTLIST," << parts.size() << "\n";
        for (const std::string& line : parts)
            out << line << "\n";
        out << "*NETLIST," << nets.size() << "\n";
        for (const auto& [name, pins] : nets) {
            const bool ground = name == "GND";
            out << name << "," << pins.size() + (ground ? 1 : 0) << "\n";
            for (const std::string& line : pins)
                out << line << "\n";
            if (ground)
                out << "GND,PT,GND\n";
            out << "\n";
        }
        return out.str();
    }

private:
    std::vector<std::string> parts;
    std::vector<std::pair<std::string, std::vector<std::string>>> nets;
};

std::string node(int x, int y)
{
    return "N" + std::to_string(x) + "_" + std::to_string(y);
}

// The circuit's netlist; with TSTOP the batch run's, without it the interactive run's (a day).
std::string netlist(const CIRCUIT& c, bool batch)
{
    NETLIST n;
    n.part("V1,VSINE,,PRIMITIVE=ANALOG,VO=0,VA=5,FREQ=50");
    n.pin("IN", "V1", "+");
    n.pin("GND", "V1", "-");
    n.part("RIN,RESISTOR,1k,PRIMITIVE=ANALOG");
    n.pin("IN", "RIN", "1");
    n.pin(node(0, 0), "RIN", "2");
    int k = 0;
    for (int x = 0; x < c.width; ++x) {
        for (int y = 0; y < c.height; ++y) {
            const std::string id = std::to_string(++k);
            n.part("C" + id + ",CAPACITOR,100n,PRIMITIVE=ANALOG");
            n.pin(node(x, y), "C" + id, "1");
            n.pin("GND", "C" + id, "2");
            if (x + 1 < c.width) {
                n.part("RX" + id + ",RESISTOR,1k,PRIMITIVE=ANALOG");
                n.pin(node(x, y), "RX" + id, "1");
                n.pin(node(x + 1, y), "RX" + id, "2");
            }
            if (y + 1 < c.height) {
                n.part("RY" + id + ",RESISTOR,1k,PRIMITIVE=ANALOG");
                n.pin(node(x, y), "RY" + id, "1");
                n.pin(node(x, y + 1), "RY" + id, "2");
            }
        }
    }
    n.part("RL,RESISTOR,10k,PRIMITIVE=ANALOG");
    n.pin(node(c.width - 1, c.height - 1), "RL", "1");
    n.pin("GND", "RL", "2");
    // Each switch puts 100 ohm from a node to ground; a meter shows that node.
    char line[160];
    for (int s = 0; s < SWITCHES; ++s) {
        const std::string owner = "U" + std::to_string(s + 1);
        const std::string at
            = node((s + 1) * c.width / (SWITCHES + 1), s * c.height / SWITCHES + c.height / 8);
        snprintf(line, sizeof line, "%s,SOURCE,,ACTIVE=1,SHEETID=2,EID=%X", owner.c_str(), 0x10 + s);
        n.part(line);
        n.part(owner + "_S,RTSWITCH,,PRIMITIVE=ANALOG,STATE=0,R(0)=OFF,R(1)=100,TSWITCH=1u");
        n.pin(at, owner + "_S", "1");
        n.pin("GND", owner + "_S", "2");
        n.part(owner + "_V,RTVPROBE,,PRIMITIVE=ANALOG,ELEMENT=1,SCALE=1");
        n.pin(at, owner + "_V", "1");
    }
    std::vector<std::string> models;
    if (c.extra == EXTRA::DIODES) {
        models.push_back("DX: IS=2.52n, N=1.752, RS=0.568");
        for (int d = 0; d < EXTRAS; ++d) {
            const std::string name = "D" + std::to_string(d);
            n.part(name + ",DIODE,DX,PRIMITIVE=ANALOG,MODEL=DX");
            n.pin(node(d * 7 % c.width, d * 11 % c.height), name, "A");
            n.pin("GND", name, "K");
        }
    }
    if (c.extra == EXTRA::INVERTERS) {
        models.push_back("NX: LEVEL=1, VTO=0.7, KP=50u");
        models.push_back("PX: LEVEL=1, VTO=-0.7, KP=20u");
        n.part("VDD,VSOURCE,5,PRIMITIVE=ANALOG");
        n.pin("VDD", "VDD", "+");
        n.pin("GND", "VDD", "-");
        for (int d = 0; d < EXTRAS; ++d) {
            const std::string id = std::to_string(d);
            const std::string gate = node(d * 7 % c.width, d * 11 % c.height);
            n.part("MN" + id + ",NMOSFET,NX,PRIMITIVE=ANALOG,MODEL=NX");
            n.part("MP" + id + ",PMOSFET,PX,PRIMITIVE=ANALOG,MODEL=PX");
            n.part("CO" + id + ",CAPACITOR,1n,PRIMITIVE=ANALOG");
            for (const auto& [pin, net] : { std::pair { "D", "O" + id }, { "G", gate },
                     { "S", std::string("GND") }, { "B", std::string("GND") } })
                n.pin(net, "MN" + id, pin);
            for (const auto& [pin, net] : { std::pair { "D", "O" + id }, { "G", gate },
                     { "S", std::string("VDD") }, { "B", std::string("VDD") } })
                n.pin(net, "MP" + id, pin);
            n.pin("O" + id, "CO" + id, "1");
            n.pin("GND", "CO" + id, "2");
        }
    }
    std::vector<std::string> properties { "SIMTYPE=TRANSIENT", "PARTITION=MESH", "TRACE_PERFORMANCE=2" };
    if (batch)
        properties.push_back("TSTOP=" + std::to_string(SPAN));
    return n.text(properties, models);
}

// The switches' events: each closes in turn from EVENTSTEP on, then opens in turn.
std::vector<HOSTACTION> switchevents()
{
    std::vector<HOSTACTION> events;
    for (int i = 1; i * EVENTSTEP < SPAN; ++i) {
        const int s = (i - 1) % SWITCHES;
        const uint32_t position = i <= SWITCHES ? 1 : 0;
        events.push_back({ i * EVENTSTEP, HOSTACTION::EVENT, 0x10 + s, position });
    }
    return events;
}

struct FIGURES {
    int steps = -1;
    double seconds = 0;
    TICKFIGURES ticks;
};

// The steps the log's statistics line gives; -1 when it has none.
int loggedsteps(const std::string& log)
{
    std::smatch match;
    return std::regex_search(log, match, std::regex("Total Steps=([0-9]+)")) ? std::stoi(match[1]) : -1;
}

std::string readwhole(const std::filesystem::path& file)
{
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class BENCH {
public:
    BENCH(HMODULE helixsim, HWND hostwindow, std::filesystem::path workfolder)
        : module(helixsim)
        , host(hostwindow)
        , folder(std::move(workfolder))
    {
    }

    FIGURES batch(const std::string& file)
    {
        auto simulate = reinterpret_cast<SIMULATEPROC>(GetProcAddress(module, "simulate"));
        const std::filesystem::path log = folder / "batch.log";
        FILE* out = fopen(log.c_str(), "w");
        FIGURES f;
        const auto begun = std::chrono::steady_clock::now();
        const int result = simulate(file.c_str(), fileno(out), host);
        f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
        fclose(out);
        f.steps = result < 2 ? loggedsteps(readwhole(log)) : -1;
        return f;
    }

    FIGURES ticked(const std::string& file, double tick, const std::vector<HOSTACTION>& events)
    {
        INTERACTIVEPLAN plan;
        plan.tick = tick;
        plan.until = SPAN;
        plan.actions = events;
        const std::filesystem::path log = folder / "ticked.log";
        FILE* out = fopen(log.c_str(), "w");
        FIGURES f;
        const int result = runinteractive(module, file.c_str(), host, plan, out, nullptr, &f.ticks);
        fclose(out);
        f.steps = result < 2 ? loggedsteps(readwhole(log)) : -1;
        return f;
    }

private:
    HMODULE module;
    HWND host;
    std::filesystem::path folder;
};

std::string write(const std::filesystem::path& file, const std::string& text)
{
    std::ofstream(file) << text;
    return file.string();
}

} // namespace

int main(int argc, char** argv)
{
    const char* only = argc == 3 && strcmp(argv[1], "--only") == 0 ? argv[2] : nullptr;
    if (argc != 1 && !only) {
        fprintf(stderr, "usage: realtime_bench [--only NAME]\n");
        return 2;
    }
    char pattern[] = "/tmp/realtime_bench.XXXXXX";
    if (!mkdtemp(pattern)) {
        perror("realtime_bench");
        return 1;
    }
    const std::filesystem::path folder = pattern;
    setenv("RESULTS", pattern, 1);
    HMODULE module = LoadLibraryA("HELIXSIM");
    if (!module) {
        fprintf(stderr, "realtime_bench: cannot load HELIXSIM: %s\n", moduleloaderror());
        return 1;
    }
    FILE* events = fopen("/dev/null", "w");
    HWND host = createhostwindow(events);
    BENCH bench(module, host, folder);
    printf("| circuit | batch steps | batch 2 s (s) | ticked steps | events ticked at their times: steps | "
           "ticked with events: steps | simulated s per wall s | median tick (ms) | 99th percentile (ms) | "
           "longest tick (ms) |\n|---|---|---|---|---|---|---|---|---|---|\n");
    int failed = 0;
    for (const CIRCUIT& c : circuits) {
        if (only && strcmp(only, c.name) != 0)
            continue;
        const std::string batchfile = write(folder / "batch.net", netlist(c, true));
        const std::string tickedfile = write(folder / "ticked.net", netlist(c, false));
        const FIGURES batch = bench.batch(batchfile);
        const FIGURES plain = bench.ticked(tickedfile, TICK, {});
        const FIGURES coarse = bench.ticked(tickedfile, EVENTSTEP, switchevents());
        const FIGURES run = bench.ticked(tickedfile, TICK, switchevents());
        const LATENCIES l = latencies(run.ticks.latencies);
        const double pace = run.ticks.wall > 0 ? run.ticks.simulated / run.ticks.wall : 0;
        printf("| %s | %d | %.2f | %d | %d | %d | %.1f | %.3f | %.3f | %.3f |\n", c.name, batch.steps,
            batch.seconds, plain.steps, coarse.steps, run.steps, pace, 1e3 * l.median, 1e3 * l.p99,
            1e3 * l.most);
        fflush(stdout);
        failed += batch.steps < 0 || plain.steps < 0 || coarse.steps < 0 || run.steps < 0;
    }
    fclose(events);
    std::filesystem::remove_all(folder);
    return failed ? 1 : 0;
}
