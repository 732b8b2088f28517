// The operating point of a resistor mesh of 100,000 nodes: a 400 by 250 grid of resistors with a
// 1 V source in one corner and one resistor to ground in every 97 nodes. Reports the time to build
// it through the descriptor, per operating point and per Newton iteration, the peak memory, and,
// in the same run, the same mesh as a deck solved by ngspice ("ngspice -b"): our time / its time
// and the largest deviation of the node voltages.
//
// NERITH_MESH=WxH picks another grid; NERITH_NGSPICE=0 leaves ngspice out (its default solver
// needs tens of minutes on the full mesh).
#include "engines/nerith/ckt.h"
#include "engines/nerith/nerith.h"
#include "engines/nerith/newton.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Resistor {
    std::string name;
    int a; // node index; -1 is ground
    int b;
    double ohms;
};

struct Mesh {
    int width = 400;
    int height = 250;
    std::vector<std::string> nodes;
    std::vector<Resistor> resistors;
};

std::string nodename(int x, int y)
{
    return "n" + std::to_string(x) + "_" + std::to_string(y);
}

const Mesh& mesh()
{
    static const Mesh made = [] {
        Mesh m;
        if (const char* size = std::getenv("NERITH_MESH"))
            std::sscanf(size, "%dx%d", &m.width, &m.height);
        // Values spread over 1 to 2 kohm so that no two neighbours are alike.
        long k = 0;
        auto index = [&m](int x, int y) { return y * m.width + x; };
        for (int y = 0; y < m.height; ++y) {
            for (int x = 0; x < m.width; ++x) {
                m.nodes.push_back(nodename(x, y));
                const std::string place = std::to_string(x) + "_" + std::to_string(y);
                if (x + 1 < m.width)
                    m.resistors.push_back(
                        { "rh" + place, index(x, y), index(x + 1, y), 1000.0 + double((++k * 7919) % 1000) });
                if (y + 1 < m.height)
                    m.resistors.push_back(
                        { "rv" + place, index(x, y), index(x, y + 1), 1000.0 + double((++k * 7919) % 1000) });
                if ((x * m.height + y) % 97 == 0)
                    m.resistors.push_back({ "rg" + place, index(x, y), -1, 10e3 });
            }
        }
        return m;
    }();
    return made;
}

int newuid(IFcircuit*, IFuid* out, IFuid old, const char* suffix, int32_t)
{
    const std::string text = old ? std::string("#") + old + "#" + suffix : std::string(suffix);
    *out = strdup(text.c_str());
    return 0;
}
int deleteuid(IFcircuit*, IFuid uid, int32_t)
{
    std::free(const_cast<char*>(uid));
    return 0;
}
int ignoreerror(int, const char*, ...)
{
    return 0;
}
// The kernel copies each point; here the last one is kept for the comparison.
std::vector<double> lastpoint;
int beginplot(IFcircuit*, IFjob*, IFuid, IFuid, int32_t, int32_t, IFuid*, int32_t, IFplot** plot)
{
    *plot = nullptr;
    return 0;
}
int appenddata(IFplot*, IFvalue*, IFvalue* data)
{
    lastpoint.assign(data->v.vec.rVec, data->v.vec.rVec + data->v.numValue);
    return 0;
}
int endplot(IFplot*)
{
    return 0;
}

IFfrontEnd frontend()
{
    IFfrontEnd f {};
    f.newUid = newuid;
    f.deleteUid = deleteuid;
    f.error = ignoreerror;
    f.beginPlot = beginplot;
    f.appendData = appenddata;
    f.endPlot = endplot;
    return f;
}

int32_t findtype(const IFsimulator* d, const char* name)
{
    for (int32_t i = 0; i < d->numDevices; ++i) {
        if (std::strcmp(d->devices[i]->name, name) == 0)
            return i;
    }
    return -1;
}

// The mesh built through the descriptor, as the deck parser builds a circuit.
class Circuit {
public:
    Circuit()
    {
        static IFfrontEnd table = frontend();
        siminit(&table, &d);
        d->newCircuit(&ckt);
        d->groundNode(ckt, &ground, "0");
        d->newTask(ckt, &task, "TASK");
        IFjob* job = nullptr;
        for (int32_t i = 0; i < d->numAnalyses; ++i) {
            if (std::strcmp(d->analyses[i]->name, "OP") == 0)
                d->newAnalysis(ckt, i, "OP", &job, task);
        }
        const Mesh& m = mesh();
        // The deck parser keeps the nodes it made in its symbol table; this keeps them by index.
        nodes.reserve(m.nodes.size());
        for (const std::string& name : m.nodes) {
            IFnode* node = nullptr;
            d->newNode(ckt, &node, name.c_str());
            nodes.push_back(node);
        }
        IFmodel* resistors = nullptr;
        d->newModel(ckt, findtype(d, "Resistor"), &resistors, "r");
        IFvalue value {};
        for (const Resistor& r : m.resistors) {
            IFinstance* instance = nullptr;
            d->newInstance(ckt, resistors, &instance, r.name.c_str());
            bind(instance, 1, r.a);
            bind(instance, 2, r.b);
            value.rValue = r.ohms;
            d->setInstanceParm(ckt, instance, RES_RESISTANCE, &value, nullptr);
        }
        IFmodel* sources = nullptr;
        d->newModel(ckt, findtype(d, "Vsource"), &sources, "v");
        IFinstance* source = nullptr;
        d->newInstance(ckt, sources, &source, "v1");
        bind(source, 1, 0);
        bind(source, 2, -1);
        value.rValue = 1;
        d->setInstanceParm(ckt, source, 1, &value, nullptr);
    }
    ~Circuit() { d->deleteCircuit(ckt); }
    Circuit(const Circuit&) = delete;
    Circuit& operator=(const Circuit&) = delete;

    int run() { return d->doAnalyses(ckt, 1, task); }
    // The node's voltage; false when the circuit has no node of that name.
    bool voltage(const std::string& name, double& value)
    {
        IFnode* node = nullptr;
        if (d->findNode(ckt, &node, name.c_str()) != 0)
            return false;
        value = ckt->solution[static_cast<std::size_t>(node->number)];
        return true;
    }

    IFsimulator* d = nullptr;
    IFcircuit* ckt = nullptr;
    IFtask* task = nullptr;

private:
    void bind(IFinstance* instance, int32_t terminal, int node)
    {
        d->bindNode(ckt, instance, terminal, node < 0 ? ground : nodes[static_cast<std::size_t>(node)]);
    }

    IFnode* ground = nullptr;
    std::vector<IFnode*> nodes;
};

double peakmebibytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double cputime(const timeval& span)
{
    return static_cast<double>(span.tv_sec) + static_cast<double>(span.tv_usec) * 1e-6;
}

// Processor time of this process so far (s): on a shared machine it is fairer than wall time.
double cputime()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double seconds(std::chrono::steady_clock::duration span)
{
    return std::chrono::duration<double>(span).count();
}

void MeshBuild(benchmark::State& state)
{
    for (auto _ : state) {
        auto circuit = std::make_unique<Circuit>();
        benchmark::DoNotOptimize(circuit->ckt);
        state.PauseTiming();
        circuit.reset();
        state.ResumeTiming();
    }
}

void MeshOperatingPoint(benchmark::State& state)
{
    int32_t iterations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto circuit = std::make_unique<Circuit>();
        state.ResumeTiming();
        if (circuit->run() != 0)
            state.SkipWithError(simerrmsg(E_SINGULAR));
        state.PauseTiming();
        iterations = circuit->ckt->statistics.iterations;
        const auto& stats = circuit->ckt->matrix.statistics();
        state.counters["equations"] = circuit->ckt->size();
        state.counters["nonzeros"] = static_cast<double>(stats.nonzeros);
        state.counters["LU nonzeros"] = static_cast<double>(stats.factorNonzeros);
        state.counters["KLU peak MiB"] = static_cast<double>(stats.peakBytes) / (1 << 20);
        circuit.reset();
        state.ResumeTiming();
    }
    state.counters["Newton iterations"] = iterations;
    state.counters["peak RSS MiB"] = peakmebibytes();
}

// One Newton iteration on a circuit solved once: load, the comparison of the values that keeps the
// factors (nothing changed), solve. Refactorisations are measured in factor_bench.cpp.
void MeshNewtonIteration(benchmark::State& state)
{
    Circuit circuit;
    circuit.run();
    IFcircuit& ckt = *circuit.ckt;
    for (auto _ : state) {
        ckt.mode = MODE_DCOP | MODE_INITFLOAT;
        benchmark::DoNotOptimize(nerith::iterate(ckt, 1));
    }
    state.counters["reuses"] = static_cast<double>(ckt.matrix.statistics().reuses);
}

// ngspice's run of the same mesh as a deck: wall time, its own analysis time, its peak memory and
// its node voltages.
struct Reference {
    bool ran = false;
    double wall = 0;
    double cpu = 0;
    double analysis = 0;
    double peak = 0; // MiB
    std::map<std::string, double> voltages;
};

std::string writedeck()
{
    char folder[] = "/tmp/nerith_mesh_XXXXXX";
    if (!mkdtemp(folder))
        return {};
    const std::string path = std::string(folder) + "/mesh.cir";
    std::ofstream deck(path);
    const Mesh& m = mesh();
    deck << "resistor mesh " << m.width << " x " << m.height << "\n";
    deck << "v1 " << nodename(0, 0) << " 0 dc 1\n";
    deck.precision(17);
    auto node
        = [&m](int index) { return index < 0 ? std::string("0") : m.nodes[static_cast<std::size_t>(index)]; };
    for (const Resistor& r : m.resistors)
        deck << r.name << ' ' << node(r.a) << ' ' << node(r.b) << ' ' << r.ohms << '\n';
    deck << ".options acct\n.op\n.end\n";
    return deck ? path : std::string {};
}

Reference runngspice()
{
    Reference result;
    const std::string deck = writedeck();
    if (deck.empty())
        return result;
    const std::string output = deck + ".out";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::string program = "ngspice";
    std::string batch = "-b";
    std::string file = deck;
    char* argv[] = { program.data(), batch.data(), file.data(), nullptr };
    pid_t child = 0;
    const auto start = std::chrono::steady_clock::now();
    const int spawned = posix_spawnp(&child, "ngspice", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return result;
    int status = 0;
    rusage usage {};
    wait4(child, &status, 0, &usage);
    result.wall = seconds(std::chrono::steady_clock::now() - start);
    result.peak = static_cast<double>(usage.ru_maxrss) / 1024.0;
    result.cpu = cputime(usage.ru_utime) + cputime(usage.ru_stime);
    result.ran = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    std::ifstream text(output);
    for (std::string line; std::getline(text, line);) {
        std::istringstream fields(line);
        std::string name;
        double value = 0;
        if (line.find("Total analysis time") != std::string::npos)
            std::sscanf(line.c_str() + line.find('=') + 1, "%lf", &result.analysis);
        else if (fields >> name >> value && name.rfind('n', 0) == 0 && fields.eof())
            result.voltages[name] = value;
    }
    std::remove(output.c_str());
    std::remove(deck.c_str());
    rmdir(deck.substr(0, deck.rfind('/')).c_str());
    return result;
}

void MeshVersusNgspice(benchmark::State& state)
{
    const char* enabled = std::getenv("NERITH_NGSPICE");
    if (enabled && std::strcmp(enabled, "0") == 0) {
        state.SkipWithError("NERITH_NGSPICE=0");
        for (auto _ : state) { }
        return;
    }
    for (auto _ : state) {
        const double cpustart = cputime();
        const auto start = std::chrono::steady_clock::now();
        Circuit circuit;
        const auto built = std::chrono::steady_clock::now();
        const int code = circuit.run();
        const auto solved = std::chrono::steady_clock::now();
        const double cpu = cputime() - cpustart;
        const Reference reference = runngspice();
        if (code != 0 || !reference.ran || reference.voltages.empty()) {
            state.SkipWithError(code ? "our operating point failed" : "ngspice did not run");
            return;
        }
        // The report lists every node voltage; other lines of two fields are not nodes of ours.
        double deviation = 0;
        std::size_t compared = 0;
        for (const auto& [name, value] : reference.voltages) {
            double mine = 0;
            if (!circuit.voltage(name, mine))
                continue;
            deviation = std::max(deviation, std::fabs(mine - value));
            ++compared;
        }
        const double ours = seconds(solved - start);
        const double analysis = seconds(solved - built);
        state.SetIterationTime(ours);
        state.counters["ours s"] = ours;
        state.counters["ngspice s"] = reference.wall;
        state.counters["ours/ngspice"] = ours / reference.wall;
        state.counters["cpu ours/ngspice"] = cpu / reference.cpu;
        state.counters["analysis ours/ngspice"] = analysis / reference.analysis;
        state.counters["max deviation V"] = deviation;
        std::printf(
            "\nmesh %d x %d: ours %.3f s wall, %.3f s processor (build %.3f s, operating point %.3f s); "
            "ngspice %.3f s wall, %.3f s processor (%.3f s analysis), peak %.0f MiB\n"
            "ours / ngspice: %.5f wall, %.5f processor, %.5f analysis; largest deviation %.3g V over %zu "
            "nodes (ngspice prints 7 digits)\n",
            mesh().width, mesh().height, ours, cpu, seconds(built - start), analysis, reference.wall,
            reference.cpu, reference.analysis, reference.peak, ours / reference.wall, cpu / reference.cpu,
            analysis / reference.analysis, deviation, compared);
    }
}

} // namespace

BENCHMARK(MeshBuild)->Unit(benchmark::kMillisecond);
BENCHMARK(MeshOperatingPoint)->Unit(benchmark::kMillisecond);
BENCHMARK(MeshNewtonIteration)->Unit(benchmark::kMillisecond);
BENCHMARK(MeshVersusNgspice)->Unit(benchmark::kSecond)->Iterations(1)->UseManualTime();

BENCHMARK_MAIN();
