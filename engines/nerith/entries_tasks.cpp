#include "engines/nerith/ckt.h"
#include "engines/nerith/registry.h"

#include <algorithm>

namespace nerith::entries {

namespace {

const IFanalysis* analysisof(int32_t type)
{
    const auto& kinds = analysiskinds();
    return type >= 0 && type < static_cast<int32_t>(kinds.size())
        ? &kinds[static_cast<std::size_t>(type)]->description
        : nullptr;
}

bool ours(const IFcircuit* ckt, const IFjob* job)
{
    return job && nerith::ours(ckt, job->task);
}

template <class T> T* byname(const std::vector<std::unique_ptr<T>>& items, IFuid name)
{
    if (!name)
        return nullptr;
    for (const auto& item : items) {
        if (item->name == name)
            return item.get();
    }
    for (const auto& item : items) {
        if (sameletters(item->name, name))
            return item.get();
    }
    return nullptr;
}

// Runs the task's analyses from job `from` on (restart) or from where a stop left it; a stop leaves
// the place to resume at.
int runtask(IFcircuit& ckt, IFtask& task, bool restart, std::size_t from = 0)
{
    ckt.present = &task;
    bool resume = false;
    if (restart) {
        task.next = from;
        task.midway = false;
        ckt.statistics = {};
        // Break points and stops belong to a run; the kernel and the models set them again.
        ckt.time = 0;
        ckt.breaks.clear();
        ckt.stops.clear();
        ckt.holding = false;
    } else if (!task.stopped) {
        return 0;
    } else {
        resume = task.midway;
    }
    task.stopped = false;
    ckt.options = task.options;
    if (restart || !ckt.setupcurrent) {
        if (int code = setup(ckt))
            return code;
        ckt.setupcurrent = true;
    }
    for (; task.next < task.jobs.size(); ++task.next, resume = false) {
        IFjob& job = *task.jobs[task.next];
        if (!job.runs())
            continue;
        const int code = job.run(ckt, task, resume);
        if (code == E_PAUSE || code == E_BREAK) {
            task.stopped = true;
            task.midway = !job.finished();
            if (!task.midway)
                ++task.next;
            return code;
        }
        if (code)
            return code;
    }
    return 0;
}

} // namespace

int newTask(IFcircuit* ckt, IFtask** task, IFuid name)
{
    if (!nerith::ours(ckt))
        return E_NOCKT;
    if (!name)
        return E_BADVALUE;
    return guarded([&] {
        IFtask& made = *ckt->tasks.emplace_back(std::make_unique<IFtask>());
        made.name = name;
        *task = &made;
        return 0;
    });
}

int newAnalysis(IFcircuit* ckt, int32_t type, IFuid name, IFjob** job, IFtask* task)
{
    if (!nerith::ours(ckt, task))
        return E_NOCKT;
    if (!analysisof(type))
        return E_BADTYPE;
    if (!name)
        return E_BADVALUE;
    return guarded([&] {
        IFjob& made = *task->jobs.emplace_back(analysiskinds()[static_cast<std::size_t>(type)]->makejob());
        made.name = name;
        made.type = type;
        made.task = task;
        *job = &made;
        return 0;
    });
}

int setAnalysisParm(IFcircuit* ckt, IFjob* job, int32_t id, IFvalue* value, IFvalue*)
{
    if (!ours(ckt, job))
        return E_NOCKT;
    ckt->setupcurrent = false;
    if (!value)
        return E_BADVALUE;
    return guarded([&] { return job->set(*job->task, id, *value); });
}

int askAnalysisQuest(IFcircuit* ckt, IFjob* job, int32_t id, IFvalue* value, IFvalue*)
{
    if (!ours(ckt, job))
        return E_NOCKT;
    if (!value)
        return E_BADVALUE;
    return job->ask(*ckt, *job->task, id, *value);
}

int findAnalysis(IFcircuit* ckt, int32_t* type, IFjob** job, IFuid name, IFtask* task)
{
    if (!nerith::ours(ckt, task))
        return E_NOCKT;
    IFjob* found = byname(task->jobs, name);
    *job = found;
    if (!found)
        return E_NOTFOUND;
    if (type)
        *type = found->type;
    return 0;
}

int findTask(IFcircuit* ckt, IFtask** task, IFuid name)
{
    if (!nerith::ours(ckt))
        return E_NOCKT;
    IFtask* found = byname(ckt->tasks, name);
    *task = found;
    return found ? 0 : E_NOTFOUND;
}

int deleteTask(IFcircuit* ckt, IFtask* task)
{
    if (!nerith::ours(ckt, task))
        return E_NOCKT;
    if (ckt->present == task)
        ckt->present = nullptr;
    std::erase_if(ckt->tasks, [task](const auto& item) { return item.get() == task; });
    return 0;
}

int doAnalyses(IFcircuit* ckt, int restart, IFtask* task)
{
    if (!nerith::ours(ckt, task))
        return E_NOCKT;
    clearerror();
    ckt->nonconvergence.clear();
    return guarded([&] { return runtask(*ckt, *task, restart != 0); });
}

const char* nonconvErr(IFcircuit* ckt)
{
    if (!nerith::ours(ckt) || ckt->nonconvergence.empty())
        return nullptr;
    return ckt->nonconvergence.c_str();
}

int runtransient(IFcircuit* ckt, int restart)
{
    if (!nerith::ours(ckt))
        return E_NOCKT;
    auto transientof = [](const IFtask& task) {
        return std::find_if(
            task.jobs.begin(), task.jobs.end(), [](const auto& job) { return job->transient(); });
    };
    IFtask* task = ckt->present;
    if (!task) {
        for (const auto& candidate : ckt->tasks) {
            if (transientof(*candidate) != candidate->jobs.end()) {
                task = candidate.get();
                break;
            }
        }
    }
    clearerror();
    const auto job = task ? transientof(*task) : std::vector<std::unique_ptr<IFjob>>::iterator {};
    if (!task || job == task->jobs.end())
        return fail(E_NOTRAN, "there is no transient analysis to run");
    ckt->nonconvergence.clear();
    const auto index = static_cast<std::size_t>(job - task->jobs.begin());
    return guarded([&] { return runtask(*ckt, *task, restart != 0, index); });
}

} // namespace nerith::entries
