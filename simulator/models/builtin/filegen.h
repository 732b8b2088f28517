#pragma once

#include "simulator/models/builtin/instrument.h"
#include "simulator/models/builtin/intmodel.h"
#include "simulator/models/builtin/pointfile.h"

#include <string>
#include <vector>

// The generators whose waveform comes from outside the circuit: FILEGEN plays a text file of
// time/value pairs (pointfile.h), WAVEGEN a WAV sound, TAPE a channel recorded in a results
// partition. Each is an ideal voltage source between its first two pins (the second is ground when
// it has one pin) whose value runs in a straight line from the source's previous point to its next
// one; time steps land on the source's points. The source opens when the properties are first read,
// stays open for the run, and starts over at every analysis (its first iteration).
//
// A file a design names must lie below the current folder: an absolute name or a ".." level is
// refused.
class FILEGEN : public INTMODEL {
public:
    using INTMODEL::INTMODEL;

    int isanalogpin(SDF_PIN*) override { return 1; }
    // Opens the source once: FILE, read whole and checked.
    void initialise(CIRCUIT* circuit, void* argument) override;

    void bindspice(IINSTANCE* owner, ISPICECKT* circuit) override;
    // Starts the source over on the first iteration; DC modes take the previous point's value.
    void loaddc(double time, uint32_t mode, const double* solution, double* rhs) override;
    // The error "AC Analysis not supported".
    void loadac(double omega, double* rhsreal, double* rhsimag) override;
    // A step does not pass the source's next point unless it starts within the last tenth before it.
    void limitstep(double time, double* step) override;
    // Moves the source on past the accepted time.
    void acceptstep(double time, const double* solution) override;

    // Back to the start of the source, then onto its first points.
    void rewind();
    // The next point becomes the previous one and a new next point is read, until it is later than
    // the previous one: a time given twice steps the waveform. After the source's last point its
    // value holds, for 1e6 s at a time.
    void readnext();
    // The source's value at a time.
    double valueat(double time) const;

    SOURCEPOINT previous { 0, 0 };
    SOURCEPOINT next { 0, 0 };
    AMMETERSTAMP source;
    std::vector<SOURCEPOINT> points; // the text file's pairs
    size_t position = 0; // of the next pair to read
    bool opened = false;

protected:
    // Whatever lies behind the points: its start again. The text file: its first pair.
    virtual void restart() { position = 0; }
    // The point the waveform starts from at time 0 before the source's first point: 0 V.
    virtual double startvalue() { return 0; }
    // The source's next point; false at its end.
    virtual bool nextpoint(SOURCEPOINT* point);
    // Opens the source when the properties are read; a failure is fatal.
    virtual void opensource();
    // The POSIX path of the file the FILE property names, with `extension` added when it has none
    // (null: none). Fatal: a missing FILE (the message `missing`, given the VALUE text), and a name
    // that is too long or leaves the current folder.
    std::string sourcepath(const char* extension, const char* missing);
    // The VALUE text, else the part's name.
    const char* label();
};
