// Feeds arbitrary bytes to the model library reader as a library file: every member is read, and
// one is written. Run: build-fuzz/bin/modellibrary_fuzzer on a copy of
// simulator/kernel/fuzz/modellibraries.
#include "platform/win/pathboundary.h"
#include "simulator/kernel/modellibraryfile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = [] {
        char folder[] = "/tmp/modellibrary-fuzz-XXXXXX";
        return std::string(mkdtemp(folder)) + "/FUZZ.SML";
    }();
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    fwrite(data, 1, size, file);
    fclose(file);
    DLIB library(0, nullptr);
    try {
        if (!library.open(towindowspath(path).c_str(), "SPICE LIBRARY\x1a", 0))
            return 0;
    } catch (const char*) {
        return 0;
    }
    for (const DLIB_INDEX_ENTRY* entry : library.directory)
        free(library.readmember(*entry));
    library.putmember("NEW", "text", 4);
    return 0;
}
