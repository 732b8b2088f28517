#include "engines/nerith/job.h"

namespace nerith {

extern const AnalysisKind optionskind;
extern const AnalysisKind opkind;
extern const AnalysisKind trankind;
extern const AnalysisKind ackind;
extern const AnalysisKind dckind;
extern const AnalysisKind tfkind;
extern const AnalysisKind noisekind;
extern const AnalysisKind distokind;

const std::vector<const AnalysisKind*>& analysiskinds()
{
    static const std::vector<const AnalysisKind*> kinds { &optionskind, &opkind, &trankind, &ackind, &dckind,
        &tfkind, &noisekind, &distokind };
    return kinds;
}

} // namespace nerith
