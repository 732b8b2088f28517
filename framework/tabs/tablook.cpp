#include "framework/tabs/tablook.h"

#include "framework/appln/applnmodule.h"
#include "framework/appln/applnwindow.h"
#include "platform/drelm/dialoglook.h"
#include "platform/win/gdi.h"
#include "platform/win/images.h"
#include "platform/win/messages.h"

namespace tablook {

HFONT textfont()
{
    return dlg_globalfont ? dlg_globalfont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HICON loadicon(const char* name, int width, int height)
{
    if (HANDLE icon = LoadImageA(getapplngraphicsinstance(), name, IMAGE_ICON, width, height, 0))
        return static_cast<HICON>(icon);
    return static_cast<HICON>(LoadImageA(getapplnlanguageinstance(), name, IMAGE_ICON, width, height, 0));
}

HICON smalliconof(APPLNWINDOW* window)
{
    MODULESCOPE scope(window->getparentmodule());
    return window->geticon(ICON_SMALL);
}

} // namespace tablook
