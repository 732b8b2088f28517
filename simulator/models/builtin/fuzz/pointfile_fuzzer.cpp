// Reads arbitrary bytes as a file generator's text: it is either refused whole, with a reason, or
// read into finite points. Seed corpus: points_corpus/ (whole and damaged texts).
// Run: build-fuzz/bin/pointfile_fuzzer on a copy of simulator/models/builtin/fuzz/points_corpus.

#include "simulator/models/builtin/pointfile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<SOURCEPOINT> points;
    std::string error;
    if (!readpoints(text, points, error)) {
        if (error.empty() || !points.empty())
            std::abort();
        return 0;
    }
    for (const SOURCEPOINT& point : points) {
        if (!std::isfinite(point.time) || !std::isfinite(point.value))
            std::abort();
    }
    return 0;
}
