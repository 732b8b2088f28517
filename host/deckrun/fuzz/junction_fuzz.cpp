// Junction-device and MOSFET cards and their .model cards from arbitrary text, read into the real engine
// around a fixed circuit of sources and resistors, then its operating point and a short transient
// run. No parameter set may crash the engine, hang it or put a value that is no number into its
// results unnoticed: a run either fails with a message or gives finite values.
#include "host/deckrun/runner.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// The circuit the fuzzed cards connect to: nodes a, b, c, d, vdd, in and ground. A shunt from every
// node keeps a node that only a fuzzed device touches from floating, which would make the run a
// test of the time-step control rather than of the devices.
constexpr const char* Head = "junction fuzz\n"
                             ".options rshunt=1e7\n"
                             "vdd vdd 0 5\n"
                             "vin in 0 sin(0 2 1meg)\n"
                             "r1 vdd a 1k\n"
                             "r2 in b 1k\n"
                             "r3 a c 10k\n"
                             "r4 d 0 470\n";
constexpr const char* Tail = ".tran 20n 1u\n.end\n";

// Every printed value of the run's output is a number.
bool finite(std::FILE* out)
{
    std::rewind(out);
    char word[128];
    while (std::fscanf(out, "%127s", word) == 1) {
        char* end = nullptr;
        const double value = std::strtod(word, &end);
        if (*end == '\0' && !std::isfinite(value))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    // Control cards other than .model would choose the analysis; the fuzzed text gives devices.
    std::string deck = Head;
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.find('\0') != std::string::npos || line.find('\r') != std::string::npos)
            continue;
        if (!line.empty() && line[0] == '.' && line.rfind(".model", 0) != 0)
            continue;
        deck += line + "\n";
    }
    deck += Tail;

    char path[] = "/tmp/junction_fuzz_XXXXXX";
    const int descriptor = mkstemp(path);
    if (descriptor < 0)
        return 0;
    const bool written = write(descriptor, deck.data(), deck.size()) == static_cast<ssize_t>(deck.size());
    close(descriptor);
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::fopen("/dev/null", "w");
    if (written && out && err && deckrun::run(path, out, err) == 0 && !finite(out))
        std::abort();
    if (out)
        std::fclose(out);
    if (err)
        std::fclose(err);
    unlink(path);
    return 0;
}
