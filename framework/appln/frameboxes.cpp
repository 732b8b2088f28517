// What a frame shows over its windows: the status box, the tooltip of the control under the
// pointer, and modal Qt dialogs.

#include <QDialog>
#include <strings.h>

#include "framework/appln/applnframe.h"
#include "framework/appln/applnprocess.h"
#include "framework/appln/applnwidget.h"
#include "framework/appln/formattedtext.h"
#include "platform/drelm/control.h"
#include "platform/drelm/form.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"

void APPLNFRAME::showstatusbox(const char* format, ...)
{
    FORMATTEDTEXT(text, format);
    MODULESCOPE scope(process);
    if (!statusbox) {
        statusbox = new FORM(hwnd, "STATUSBOX");
        if (!statusbox->open(DLG_MODELESS, LT_NONE)) {
            delete statusbox;
            statusbox = nullptr;
            return;
        }
    }
    if (CONTROL* control = statusbox->getctrl("TEXT"))
        control->settext(text.c_str());
}

void APPLNFRAME::showstatusbox(unsigned long id, ...)
{
    va_list arguments;
    va_start(arguments, id);
    const std::string text = formattedtext(getapplnstring(id), arguments);
    va_end(arguments);
    showstatusbox("%s", text.c_str());
}

void APPLNFRAME::hidestatusbox()
{
    delete statusbox;
    statusbox = nullptr;
}

void APPLNFRAME::showtooltip(HWND window, const RECT* rect, const char* text, int delay)
{
    if (!tooltip)
        return;
    if (tool.uId && tool.hwnd != window)
        hidetooltip();
    if (!text)
        return;
    if (tool.uId) {
        if (strcasecmp(tooltext.c_str(), text) != 0) {
            tooltext = text;
            tool.lpszText = tooltext.data();
            SendMessageA(tooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
        }
        if (rect && !EqualRect(rect, &tool.rect)) {
            tool.rect = *rect;
            SendMessageA(tooltip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
        }
    } else {
        settoolrecord(window, rect, text);
        SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, delay);
    SendMessageA(tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, -1);
}

void APPLNFRAME::settoolrecord(HWND window, const RECT* rect, const char* text)
{
    const UINT size = tool.cbSize;
    tool = {};
    tool.cbSize = size;
    tool.hwnd = window;
    if (rect) {
        tool.uFlags = TTF_SUBCLASS;
        tool.uId = 1;
        tool.rect = *rect;
    } else {
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.uId = reinterpret_cast<UINT_PTR>(window);
    }
    tooltext = text;
    tool.lpszText = tooltext.data();
}

void APPLNFRAME::hidetooltip()
{
    if (!tool.uId)
        return;
    if (tooltip)
        SendMessageA(tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    const UINT size = tool.cbSize;
    tool = {};
    tool.cbSize = size;
    tooltext.clear();
}

namespace {

// The parent of a modal Qt dialog: a Qt main window host in a native child of the frame's active
// window, bound to the frame, so that the dialog sits over that window and is found inside a host
// like every other Qt window of the frame.
class DIALOGHOST : public APPLNWIDGET {
public:
    DIALOGHOST(APPLNFRAME* owner, HWND parent)
    {
        RECT area {};
        GetClientRect(parent, &area);
        HWND window = CreateWindowExA(0, cls_dclk_noDC, nullptr, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
            area.right, area.bottom, parent, nullptr, nullptr, nullptr);
        if (!window)
            return;
        frame = owner;
        bind(window);
        oncreatewindow();
    }
};

} // namespace

int APPLNFRAME::showdialog(QDialog* dialog, APPLNMODULE* module)
{
    if (!dialog)
        return 0;
    // The host may still be on the stack of events the dialog's loop is leaving: it goes later.
    auto* host = new DIALOGHOST(this, active ? active->hwnd : hwnd);
    const Qt::WindowFlags flags = dialog->windowFlags();
    dialog->setParent(nullptr);
    dialog->setParent(host->getqtwidget(), flags | Qt::Dialog);
    dialog->setWindowModality(Qt::ApplicationModal);
    if (module)
        module->setmodal(1);
    const int result = dialog->exec();
    if (module)
        module->setmodal(0);
    dialog->setParent(nullptr);
    host->deleteLater();
    return result;
}
