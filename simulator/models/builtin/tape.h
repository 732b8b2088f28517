#pragma once

#include "simulator/models/builtin/filegen.h"
#include "platform/hulvane/results/partition.h"

#include <memory>
#include <string>

// TAPE: plays back a channel of run 0 of a results partition. An analog channel plays its samples
// joined by straight lines, a digital one the levels 0 V and 5 V with edges of TRISE and TFALL, and
// in AC analysis a frequency channel is the source's complex value at each frequency (a channel of
// the other domain gives 0 V there). PLAY names a partition whose first channel with samples it
// plays; else PARTITION and PROBE name both.
class TAPE final : public FILEGEN {
public:
    using FILEGEN::FILEGEN;

    // The partition (from the index, else the tape's own, opened from its results file for
    // reading) and the channel's iterator; each missing one is fatal.
    void bindmoddata(const DPA* moddata, DIDX* partitions) override;
    // TRISE (default 1 ns) and TFALL (TRISE when not positive) for the iterator's edges; an edge
    // time that is not positive is fatal.
    void initialise(CIRCUIT* circuit, void* argument) override;
    // The source's stamps; a frequency channel's real and imaginary parts at w / 2 pi.
    void loadac(double omega, double* rhsreal, double* rhsimag) override;

    std::string partitionname;
    std::string probename; // empty with PLAY
    PARTITION* partition = nullptr; // the partition index's, or the recording
    std::unique_ptr<PARTITION> recording; // a partition of an earlier run
    CHANNEL_ITERATOR* iterator = nullptr; // the partition's
    bool frequencies = false; // the channel holds complex samples over frequency
    double trise = 1e-9;
    double tfall = 0;

protected:
    void restart() override;
    double startvalue() override;
    bool nextpoint(SOURCEPOINT* point) override;

private:
    bool timedomain() const { return iterator && !frequencies; }
    // The iterator of the first channel of the partition that has samples in run 0; null when none.
    CHANNEL_ITERATOR* firstchannel();
};
