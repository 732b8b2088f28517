#include "platform/drelm/alerts.h"

#include "platform/win/messagebox.h"

namespace {

int disabled = 0;
MESSAGEBOXHOOK saved = nullptr;

} // namespace

int disablealerts(int flag)
{
    int previous = disabled;
    if (flag && !disabled)
        saved = setmessageboxhook(nullptr);
    else if (!flag && disabled)
        setmessageboxhook(saved);
    disabled = flag ? 1 : 0;
    return previous;
}

int alertsdisabled()
{
    return disabled;
}
