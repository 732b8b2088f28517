// Builds a circuit from arbitrary netlist bytes against the recording fakes of the engines: the
// factory and the build must end with a message, never a fault. Run: build-fuzz/bin/circuit_fuzzer
// on a copy of simulator/kernel/tests/fixtures.
#include "engines/fakes/recorder.h"
#include "engines/mavro/mavro.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/guard.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/signon.h"
#include "simulator/kernel/simlog.h"

#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static int sink = open("/dev/null", O_WRONLY);
    fakes::reset();
    simsignon(sink, nullptr, 0);
    parserdescriptor = *spicesimulator;
    FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "r");
    if (!stream)
        return 0;
    CIRCUIT* circuit = nullptr;
    INPtables* table = INPtabInit(64);
    guarded([&] {
        circuit = new CIRCUIT;
        circuit->read(stream);
        simlog()->registerchannels(nullptr, traceflags, 0, &circuit->getproperties(), nullptr);
        circuit->build(table);
    });
    fclose(stream);
    INPtabEnd(table);
    delete circuit;
    return 0;
}
