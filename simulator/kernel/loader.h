#pragma once

#include "engines/mavro/mavro.h"

class CIRCUIT;

// Turns a netlist file into a circuit ready for the analyses: makes the circuit, reads the file,
// registers the kernel's trace channels from the netlist's properties, makes the SPICE task "TASK"
// with its "OPTIONS" job, sets the default options and the log window, and runs the parser's two
// passes. Every failure is a fatal message, which the load's own guard catches: the circuit is then
// deleted and *circuit null; the other outputs keep what was stored.
//
// The SPICE deck, the model libraries and the circuit build are not part of the load yet: the
// parser's passes read an empty deck.
void loadnetlist(const char* file, CIRCUIT** circuit, INPtables** table, IFtask** task, IFjob** options);
