#pragma once

#include "engines/mavro/mavro.h"

class CIRCUIT;

// Turns a netlist file into a circuit ready for the analyses, in this order: makes the circuit,
// reads the file, registers the kernel's trace channels from the netlist's properties, makes the
// SPICE task "TASK" with its "OPTIONS" job (null when the engine has no "options" analysis), sets
// the default options (TEMP, VTHERM, GLEAK, UIC) and the log window (LOGSTART, LOGTIME); opens the
// model libraries of the folders in MODELS, links the SPICE models and scripts the circuit names
// into the SPICE deck, lists the deck (translating its controlled sources) and expands its
// subcircuits, closes the libraries; then the parser's first pass, the circuit build, the parser's
// second pass (with the kernel's node callbacks, so that "$" net ids find their nets) and the
// digital engine's hooks in the front-end table (null without digital parts). Every failure is a fatal message, which the load's own guard catches: the circuit is then
// deleted and *circuit null; the other outputs keep what was stored. The stream, the deck and the
// libraries are released in every case.
void loadnetlist(const char* file, CIRCUIT** circuit, INPtables** table, IFtask** task, IFjob** options);
