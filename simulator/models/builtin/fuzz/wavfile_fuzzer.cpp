// Reads arbitrary bytes as a WAV file, then every frame of it: nothing may crash, read past the
// bytes or give a sample outside [-1, 1). Seed corpus: wav_corpus/ (whole and damaged files).
// Run: build-fuzz/bin/wavfile_fuzzer on a copy of simulator/models/builtin/fuzz/wav_corpus.

#include "simulator/models/builtin/wavfile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WAVFILE wave;
    std::string reason;
    auto read = [data, size](int64_t offset, void* buffer, int64_t count) {
        if (offset < 0 || count < 0 || offset > static_cast<int64_t>(size)
            || count > static_cast<int64_t>(size) - offset)
            std::abort();
        std::memcpy(buffer, data + offset, static_cast<size_t>(count));
        return count;
    };
    WAVFILE::RESULT result = wave.open(read, static_cast<int64_t>(size), reason);
    if (result != WAVFILE::OK) {
        if (reason.empty() || wave.isopen())
            std::abort();
        return 0;
    }
    if (wave.frames < 0 || wave.rate <= 0 || (wave.channels != 1 && wave.channels != 2)
        || (wave.bits != 8 && wave.bits != 16))
        std::abort();
    for (int64_t frame = 0; frame < wave.frames; ++frame) {
        double left = 0;
        double right = 0;
        if (!wave.frame(frame, &left, &right) || left < -1 || left >= 1 || right < -1 || right >= 1)
            std::abort();
    }
    double left;
    double right;
    if (wave.frame(wave.frames, &left, &right) || wave.frame(-1, &left, &right))
        std::abort();
    return 0;
}
