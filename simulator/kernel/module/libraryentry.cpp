// HELIXSIM's start-up, run by the loader before the host can call any export: the crash reports
// are prepared here, deleting a log file an earlier process left in the reports folder, so that a
// log the host writes after loading the library is the one a fault moves beside its report.
#include "core/windows/crashreport.h"

namespace {

[[gnu::constructor]] void onload()
{
    initcrashreports(crashreport);
}

} // namespace
