// How long the program takes from its start to its first frame on the screen: it is started RUNS
// times (the first run also sets up its settings and caches) without its splash screen, whose
// minimum time is the splash's own, and the probe module notes when the frame is first shown.
//   build/tests/shell/bin/vkt_startup_bench [RUNS]       (under xvfb-run -a, or offscreen)

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

long long monotonicns()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(2, std::atoi(argv[1])) : 6;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("vkt-startup-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path report = folder / "firstframe.txt";
    // Settings, data and caches of the bench's own, kept from run to run as a user's are.
    const std::string environment = "env VKT_REGISTRY_DIR=" + (folder / "registry").string() + " XDG_CONFIG_HOME="
        + (folder / "config").string() + " XDG_DATA_HOME=" + (folder / "data").string() + " XDG_CACHE_HOME="
        + (folder / "cache").string() + (std::getenv("DISPLAY") ? "" : " QT_QPA_PLATFORM=offscreen");
    const std::string line = environment + " " + VKT_BENCH_PROGRAM + " -q '{VKTPROBE firstframe " + report.string()
        + "; close}' >/dev/null 2>&1";
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        std::filesystem::remove(report);
        const long long start = monotonicns();
        if (std::system(line.c_str()) != 0) {
            std::fprintf(stderr, "run %d of the program failed: %s\n", i + 1, line.c_str());
            return 1;
        }
        long long shown = 0;
        std::ifstream(report) >> shown;
        if (shown <= start) {
            std::fprintf(stderr, "run %d showed no frame\n", i + 1);
            return 1;
        }
        times.push_back((shown - start) / 1e6);
        std::printf("run %d: %.0f ms to the first frame\n", i + 1, times.back());
    }
    std::vector<double> later(times.begin() + 1, times.end());
    std::sort(later.begin(), later.end());
    std::printf("first run %.0f ms; after it median %.0f ms, worst %.0f ms (goal: under 1500 ms)\n", times[0],
        later[later.size() / 2], later.back());
    std::filesystem::remove_all(folder);
    return 0;
}
