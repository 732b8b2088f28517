#include "simulator/kernel/signon.h"

#include "core/files/pathopen.h"
#include "engines/mavro/mavro.h"
#include "engines/nerith/nerith.h"
#include "engines/pallex/pallex.h"
#include "platform/win/styles.h"
#include "simulator/kernel/frontend.h"
#include "simulator/kernel/hostlink.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/simlog.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The year of the build, from the compiler's date ("Mmm dd yyyy").
int buildyear()
{
    return atoi(&__DATE__[7]);
}

// A descriptor of our own on the host's handle; -1 when the handle is no open descriptor.
int duplicate(intptr_t output)
{
    if (output < 0 || output > INT32_MAX)
        return -1;
    return fcntl(static_cast<int>(output), F_DUPFD_CLOEXEC, 3);
}

}  // namespace

void simsignon(intptr_t output, HWND host, int interactive)
{
    int out = duplicate(output);
    attachstdout(out);
    attachstderr(duplicate(output));

    hostwindow = host;
    interactiverun = interactive;
    simabort = 0;

    // The previous run's log goes with its channel records, which pointed into it; the engines
    // get the new one below.
    memset(traceflags, 0, sizeof traceflags);
    delete setsimlog(new SIMLOG(interactive));
    siminfo("HELIXSIM %d.%02d.%02d (Build %d), mixed-mode simulation kernel, %d", HELIXSIM_MAJOR, HELIXSIM_MINOR,
        HELIXSIM_PATCH, HELIXSIM_BUILD, buildyear());

    resolvehostlink();
    hostrootwindow = nullptr;
    DWORD process = 0;
    if (host && hostlink().getwindowthreadprocessid(host, &process) && process != static_cast<DWORD>(getpid()))
        hostrootwindow = hostlink().getancestor(host, GA_ROOT);

    siminit(&spicefrontend, &spicesimulator);
    inpinit(&spicefrontend, &parserdescriptor);

    IWATCHPOPUP* watch = nullptr;
    if (interactive && host) {
        int32_t record[6] = { 1, 5, 0, 0, 0, 0 };
        watch = reinterpret_cast<IWATCHPOPUP*>(
            sendhostmessage(WM_HOSTPOPUP, 0xFFFFFFFF, reinterpret_cast<LPARAM>(record)));
    }
    pallex_signon(out, simlog(), watch);
}
