#pragma once

#include "engines/nerith/circuit.h"
#include "engines/nerith/descriptor.h"

#include <cstdint>

// The SPICE engine's exports and the parameter ids the kernel uses by number; every other
// parameter is found by its keyword in the descriptor's tables (engines/CONTRACT.md).

class CIRCUIT; // the kernel's circuit; the engine only keeps the pointer
class ISIMLOG;

// Ids of the "options" analysis.
inline constexpr int32_t OPT_ITERATIONS = 22; // ask: Newton iterations of the last run (integer)
inline constexpr int32_t OPT_STEPS = 23; // ask: transient time steps attempted (integer)
inline constexpr int32_t OPT_GOODSTEPS = 24; // ask: time steps accepted (integer)
inline constexpr int32_t OPT_BADSTEPS = 25; // ask: time steps rejected (integer)
inline constexpr int32_t OPT_MINBREAK = 38; // set: smallest spacing of break points (real, s)
// Ids of the "TRAN" analysis.
inline constexpr int32_t TRAN_TSTART = 1; // set: output starts here (real, s)
inline constexpr int32_t TRAN_TMAX = 5; // set: largest time step (real, s)
// Ids of the "OBJITF" device.
inline constexpr int32_t OBJITF_INSTANCE = 0; // instance: the part's IINSTANCE* (pointer)
inline constexpr int32_t OBJITF_MODEL = 1; // instance: its ISPICEMODEL* (pointer)
inline constexpr int32_t OBJITF_CIRCUIT = 3; // model: the ISPICECKT* its instances get in bindspice
// Ids of other devices.
inline constexpr int32_t RES_RESISTANCE = 1; // "Resistor": resistance (real, ohm)
inline constexpr int32_t CSW_CONTROL = 1; // "Cswitch": name of the controlling source (instance)

extern "C" {

// Hands the engine the front-end table and gives its descriptor; may be called again at every
// sign-on. 0 on success.
int siminit(IFfrontEnd* frontend, IFsimulator** descriptor);
// Right after newCircuit: ties the new circuit to the kernel's circuit and log and gives the circuit
// interface handed to every model. 0 on success, E_NOCKT when no circuit exists.
int spice_initialize(CIRCUIT* circuit, ISIMLOG* log, ISPICECKT** interface);
// Right after deleteCircuit: frees what the engine keeps between circuits. 0.
int spice_terminate();
// A break point of the transient at `time`; 0, or E_BADVALUE for a time before the present.
int CKTsetBreak(IFcircuit* ckt, double time);
// A stop of the transient at `time`, an output point rather than a break point: the steps go on
// as their accuracy allows, and DCtran returns E_PAUSE at the first accepted point at or past it.
// When a step passes it, that step waits unaccepted: until DCtran goes on, the circuit's time and
// solution (ISPICECKT query and solution) are those at the stop, interpolated between the accepted
// point before it and the step's. A break point set before the step's end, or a digital change
// due there, then retakes the step to land on it. 0, or E_BADVALUE for a time before the present.
int CKTsetStop(IFcircuit* ckt, double time);
// Runs the transient of the present task on: restart 0 resumes where the pause test or a break
// stopped it, 1 starts it afresh. 0 at its end, E_PAUSE, E_BREAK, or an error code.
int DCtran(IFcircuit* ckt, int restart);
// The text of the engine's last error when it ended with `code`; null otherwise. Owned by the
// engine, valid until the next run or spice_terminate.
const char* simerrmsg(int code);
}
