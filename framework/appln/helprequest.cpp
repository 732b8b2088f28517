#include "framework/appln/helprequest.h"

#include "platform/win/messages.h"
#include "platform/win/structs.h"

namespace {

// WM_HELP's context type that asks for the module's own help.
constexpr int HELPINFO_MODULE = 3;

} // namespace

HELPSHOW readhelprequest(unsigned long& id, const HELPINFO* help)
{
    if (help)
        id = static_cast<unsigned long>(help->dwContextId);
    if (!id || !help || help->iContextType == HELPINFO_MODULE)
        return HELPSHOW::OWN;
    if (help->iContextType == HELPINFO_WINDOW)
        id &= ~0xFFFFul;
    return id ? HELPSHOW::POPUP : HELPSHOW::NOTHING;
}
