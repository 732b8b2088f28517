#include "engines/nerith/job.h"

namespace nerith {

extern const AnalysisKind optionskind;
extern const AnalysisKind opkind;
extern const AnalysisKind trankind;

const std::vector<const AnalysisKind*>& analysiskinds()
{
    static const std::vector<const AnalysisKind*> kinds { &optionskind, &opkind, &trankind };
    return kinds;
}

} // namespace nerith
