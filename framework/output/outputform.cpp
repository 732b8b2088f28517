// The output form handler.

#include "framework/output/outputform.h"

#include "framework/output/applnprint.h"
#include "platform/drelm/form.h"

namespace {

// What the handler keeps for the life of the form.
struct FORMARGS {
    void** devnames = nullptr;
    void** devmode = nullptr;
    APPLNPRINT* print = nullptr;
    OCS* ocs = nullptr;
    const char* filter = nullptr;
    FORMPROC callback = nullptr;
};

FORMARGS args;

DLGCODES tocallback(FORM& form, unsigned message, unsigned wparam, long lparam)
{
    return args.callback ? args.callback(form, message, wparam, lparam) : DLG_DEFAULT;
}

} // namespace

DLGCODES printdlghlr(FORM& form, unsigned message, unsigned wparam, long lparam)
{
    if (message == DLGM_START) {
        args.devnames = static_cast<void**>(form.nextarg());
        args.devmode = static_cast<void**>(form.nextarg());
        args.print = static_cast<APPLNPRINT*>(form.nextarg());
        args.ocs = static_cast<OCS*>(form.nextarg());
        args.filter = static_cast<const char*>(form.nextarg());
        args.callback = reinterpret_cast<FORMPROC>(form.nextarg());
        tocallback(form, DLGM_START, 0, long(reinterpret_cast<intptr_t>(args.ocs)));
        return DLG_DEFAULT;
    }
    return tocallback(form, message, wparam, lparam);
}
