// Opening the index of 200 device libraries holding 20,000 entries, from the index cache and
// rebuilding it, and a search with three keywords over them. Run: build/bin/lunder_bench
// (the libraries are generated once into a temporary folder, removed at the end).

#include "core/containers/dpkb.h"
#include "core/files/folders.h"
#include "core/text/proptext.h"
#include "core/text/text.h"
#include "platform/lunder/libfile.h"
#include "platform/lunder/mlib.h"
#include "platform/win/pathboundary.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int LIBRARIES = 200;
constexpr int ENTRIES = 100; // per library
const char* const KIND = "DEVICE LIBRARY";

const char* const CATEGORIES[] = { "TTL 74 Series", "CMOS 4000 Series", "Operational Amplifiers",
    "Transistors", "Diodes", "Resistors", "Capacitors", "Microprocessor ICs", "Memory ICs", "Connectors" };
const char* const SUBCATEGORIES[]
    = { "Gates", "Flip-Flops", "Counters", "Buffers", "General Purpose", "Switching" };
const char* const MANUFACTURERS[]
    = { "Texas Instruments", "National", "Philips", "Motorola", "Fairchild", "" };
const char* const WORDS[]
    = { "quad", "dual", "hex", "input", "nand", "nor", "gate", "buffer", "inverter", "counter", "decade",
          "binary", "schmitt", "trigger", "low", "power", "high", "speed", "amplifier", "switching" };

// 5.141's rule, as the schematic module registers it.
int classify(const PROPTEXT& text)
{
    const char* primitive = text.get("COMPONENT", "PRIMITIVE");
    bool model = text.exists("COMPONENT", "MODFILE") || text.exists("COMPONENT", "MODDLL")
        || text.exists("COMPONENT", "SPICEMODEL") || (primitive && std::strncmp(primitive, "NULL", 4) != 0);
    const char* package = text.get("COMPONENT", "PACKAGE");
    return (model ? LIBCLASS_MODEL : 0)
        | (package && std::strcmp(package, "NULL") != 0 ? LIBCLASS_PACKAGING : 0);
}

// A device record as the schematic packs one: header, a drawing of about 1.5 KB, the property text.
void packdevice(DPKB& b, int n)
{
    b.alloc(16);
    std::string drawing(1500, 'G');
    TEXT(drawing.c_str()).pack(b);
    auto at = static_cast<uint32_t>(b.putptr - b.base);
    char description[160];
    std::snprintf(description, sizeof description, "%s %s %s %s device %d", WORDS[n % 20],
        WORDS[(n / 20) % 20], WORDS[(n / 400) % 20], WORDS[(n / 7) % 20], n);
    char text[1024];
    std::snprintf(text, sizeof text,
        "{*DEVICE}\n{PREFIX=U}\n*PROPDEFS\n{PACKAGE=PCB "
        "Package,PACKAGE,1,DIL14,SO14}\n*INDEX\nCAT=%s\nSUBCAT=%s\n"
        "MFR=%s\nCODE=SN%05d\nDESC=%s\n*COMPONENT\n{PACKAGE=DIL14}\n{MODFILE=DEV%d.MDF}\n",
        CATEGORIES[n % 10], SUBCATEGORIES[n % 6], MANUFACTURERS[n % 6], n, description, n);
    TEXT(text).pack(b);
    std::memcpy(b.base + 4, &at, 4);
}

struct LIBRARYFOLDER {
    std::filesystem::path root;
    std::string libraries; // Windows paths
    std::string cache;

    LIBRARYFOLDER()
    {
        char pattern[] = "/tmp/lunder-bench-XXXXXX";
        root = mkdtemp(pattern);
        std::filesystem::create_directories(root / "libraries");
        libraries = towindowspath((root / "libraries").string());
        cache = towindowspath((root / "Library Indexing").string());
        int n = 0;
        for (int l = 0; l < LIBRARIES; ++l) {
            std::vector<std::unique_ptr<DPKB>> records;
            std::vector<std::string> names;
            std::vector<LIBFILEENTRY> entries;
            for (int e = 0; e < ENTRIES; ++e, ++n) {
                records.push_back(std::make_unique<DPKB>(4096, DPKB_WORD32));
                packdevice(*records.back(), n);
                char entry[32];
                std::snprintf(entry, sizeof entry, "DEV%05d", n);
                names.push_back(entry);
            }
            for (int e = 0; e < ENTRIES; ++e) {
                DPKB& data = *records[e];
                auto length = static_cast<uint32_t>(data.putptr - data.base);
                std::memcpy(data.base, &length, 4);
                entries.push_back({ names[e].c_str(), 1717200000u + e, 1, data.base, length });
            }
            std::vector<uint8_t> bytes = writelibfile(KIND, 1000, 1, entries);
            char name[32];
            std::snprintf(name, sizeof name, "LIB%03d.LIB", l);
            std::ofstream(root / "libraries" / name, std::ios::binary)
                .write(
                    reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        }
    }
    ~LIBRARYFOLDER() { std::filesystem::remove_all(root); }
};

const LIBRARYFOLDER& folder()
{
    static LIBRARYFOLDER generated;
    return generated;
}

void open(MLIB& set)
{
    if (set.openidx(folder().libraries.c_str(), folder().cache.c_str(), "*.LIB", KIND) != LIBRARIES)
        std::abort();
}

void BM_OpenFromCache(benchmark::State& state)
{
    {
        MLIB warm(LIBRARIES, 1, classify);
        open(warm);
    }
    for (auto _ : state) {
        MLIB set(LIBRARIES, 1, classify);
        open(set);
        benchmark::DoNotOptimize(set.count());
    }
}
BENCHMARK(BM_OpenFromCache)->Unit(benchmark::kMillisecond);

void BM_OpenRebuildingTheCache(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        rmpath(folder().cache.c_str(), 1);
        state.ResumeTiming();
        MLIB set(LIBRARIES, 1, classify);
        open(set);
        benchmark::DoNotOptimize(set.count());
    }
}
BENCHMARK(BM_OpenRebuildingTheCache)->Unit(benchmark::kMillisecond);

void BM_TagThreeKeywords(benchmark::State& state)
{
    MLIB set(LIBRARIES, 1, classify);
    open(set);
    char words[LIBMAXWORDS][LIBWORDSIZE] = { "quad", "nand", "gate" };
    int tagged = 0;
    for (auto _ : state) {
        tagged = 0;
        for (int i = 0; i < set.count(); ++i)
            tagged
                += set.rdlib(i)->tag(words, 3, nullptr, nullptr, nullptr, nullptr, 0, 0x4A | 1 | 16 | 32, 0);
    }
    state.counters["tagged"] = tagged;
}
BENCHMARK(BM_TagThreeKeywords)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
