#pragma once

#include "core/containers/didx.h"
#include "engines/mavro/mavro.h"
#include "platform/hulvane/results/partition.h"

// What a run holds from its load to its tear-down: the circuit with the parser's tables, the SPICE
// task and its options job, the analysis, and the results partitions (the model-data list and the
// partitions written, which are closed at the end).

class ANALYSIS;
class CIRCUIT;

struct KERNELRUN {
    CIRCUIT* circuit = nullptr;
    INPtables* table = nullptr;
    IFtask* task = nullptr;
    IFjob* options = nullptr;
    ANALYSIS* analysis = nullptr;
    GDIDX<PARTITION> moddata;
    GDIDX<PARTITION> partitions;

    // Loads the netlist file (loader.h); false, with nothing held, when no circuit was made.
    bool load(const char* netlist);
    // Closes every written partition with the run status, naming each file put in place in an
    // information line, and empties both lists.
    void closepartitions();
    // Closes the partitions, then frees the task, the parser's tables, the analysis and the
    // circuit. Safe to call again.
    void teardown();
    // Lets go of everything without freeing it: what a tear-down that faulted leaves is not touched
    // again.
    void forget();
    // The engine's counts of the run, on TRACE_PERFORMANCE at level 2.
    void logstatistics();
};
