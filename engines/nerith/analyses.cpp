#include "engines/nerith/job.h"

namespace nerith {

extern const AnalysisKind optionskind;
extern const AnalysisKind opkind;

const std::vector<const AnalysisKind*>& analysiskinds()
{
    static const std::vector<const AnalysisKind*> kinds { &optionskind, &opkind };
    return kinds;
}

} // namespace nerith
