#pragma once

class CIRCUIT;
class COMPONENT;

// Settings the probes read before each run: the probe's own property (an expression over the
// circuit's variables) wins over the circuit's variable of the same name.

// The probe's property `name`, else the circuit's variable, else def (also without a circuit). A
// property that does not evaluate has been warned about and falls through to the circuit.
double probesetting(COMPONENT* probe, CIRCUIT* circuit, const char* name, double def);

// The relative tolerance of the probe's channel: OUTTOL of the probe, else of the circuit, else
// the circuit's RELTOL / 10, else 0.0001.
double outputtolerance(COMPONENT* probe, CIRCUIT* circuit);
