#pragma once

#include "engines/nerith/descriptor.h"
#include "engines/nerith/options.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// One analysis of a task. Each analysis type derives its own job.
struct IFjob {
    std::string name;
    int32_t type = 0; // analysis type index in the descriptor
    IFtask* task = nullptr; // the task it belongs to

    virtual ~IFjob() = default;
    // 0, E_BADPARM for an id the analysis cannot set, E_BADTYPE or E_BADVALUE for a value it refuses.
    virtual int set(IFtask& task, int32_t id, const IFvalue& value) = 0;
    // 0, or E_BADPARM for an id that cannot be asked.
    virtual int ask(IFcircuit& ckt, IFtask& task, int32_t id, IFvalue& value) = 0;
    // Whether doAnalyses runs it: "options" only holds settings.
    virtual bool runs() const { return true; }
    // Runs the analysis (resume: goes on where the pause test or a break stopped it). 0 at its end,
    // E_PAUSE or E_BREAK when stopped, else the code of fail().
    virtual int run(IFcircuit& ckt, IFtask& task, bool resume) = 0;
    // After a stop: whether the analysis had reached its end.
    virtual bool finished() const { return true; }
    // Whether it is a transient, the analysis DCtran runs.
    virtual bool transient() const { return false; }
};

// Analyses run together, with the options they share.
struct IFtask {
    std::string name;
    std::vector<std::unique_ptr<IFjob>> jobs; // in creation order
    nerith::Options options;
    std::size_t next = 0; // the job doAnalyses runs, or resumes, next
    bool stopped = false; // the pause test or a break stopped the task: doAnalyses(0) goes on
    bool midway = false; // ... inside job `next`, which resumes
};

namespace nerith {

// An analysis type: its static description and how a task makes its job.
struct AnalysisKind {
    IFanalysis description;
    std::unique_ptr<IFjob> (*makejob)();
};

// The analysis types built, in descriptor order.
const std::vector<const AnalysisKind*>& analysiskinds();

} // namespace nerith
