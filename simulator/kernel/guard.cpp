#include "simulator/kernel/guard.h"

#include "core/windows/crashreport.h"
#include "core/windows/process.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"
#include "simulator/kernel/stallwatch.h"

#include <csignal>
#include <cstdio>

namespace {

constexpr int faultsignals[] = { SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT };
constexpr uint32_t OUTOFMEMORY = 0xC000008C;
// The crash record's code for a run the stall watch ended (the system's time-out status).
constexpr uint32_t STALLED = 0x00000102;

thread_local GUARDFRAME* innermost = nullptr;
struct sigaction hostactions[std::size(faultsignals)];

void translatefault(unsigned code, EXCEPTION_POINTERS* info)
{
    GUARDFRAME* frame = innermost;
    if (!frame)
        return;
    exceptionreport(crashreport, code, info, info ? info->ExceptionRecord->ExceptionAddress : nullptr);
    siglongjmp(frame->jump, 1);
}

// The stall watch's: the guard ends the run; its message is written once out of the handler.
void translatestall(uintptr_t where)
{
    GUARDFRAME* frame = innermost;
    if (!frame)
        return;
    crashreport.code = STALLED;
    crashreport.faultaddress = where;
    siglongjmp(frame->jump, 1);
}

}  // namespace

void enterguard(GUARDFRAME& frame)
{
    if (!innermost) {
        for (size_t i = 0; i < std::size(faultsignals); ++i)
            sigaction(faultsignals[i], nullptr, &hostactions[i]);
        _set_se_translator(translatefault);
        translateabort();
        startstallwatch(stallseconds, translatestall);
    }
    frame.outer = innermost;
    innermost = &frame;
}

void leaveguard(GUARDFRAME& frame)
{
    innermost = frame.outer;
    if (innermost)
        return;
    stopstallwatch();
    _set_se_translator(nullptr);
    for (size_t i = 0; i < std::size(faultsignals); ++i)
        sigaction(faultsignals[i], &hostactions[i], nullptr);
}

void recordexception(const char* what)
{
    crashreport.code = LANGUAGEEXCEPTION;
    snprintf(crashreport.text, sizeof crashreport.text, "Internal Exception: %s.", what);
}

void recordoutofmemory()
{
    crashreport.code = OUTOFMEMORY;
    snprintf(crashreport.text, sizeof crashreport.text, "Internal exception: out of memory.");
}

void guardfailed()
{
    if (crashreport.code == STALLED) {
        findfaultmodule(crashreport);
        snprintf(crashreport.text, sizeof crashreport.text,
            "The simulation made no progress for %u seconds (in module '%s') and was stopped.", stallseconds,
            crashreport.modulename);
    }
    if (crashreport.code != 1)
        simlog()->logtext('X', crashreport.text);
    simstatus = 3;
}
