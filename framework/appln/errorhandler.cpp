#include "framework/appln/errorhandler.h"

#include <cstdarg>
#include <cstdio>

#include "core/windows/registry.h"
#include "framework/appln/formattedtext.h"
#include "framework/bars/statusbar.h"
#include "platform/drelm/messageboxes.h"
#include "platform/drelm/textviewer.h"
#include "platform/tirsk/basewin.h"
#include "platform/tirsk/exceptionhandler.h"
#include "platform/win/messagebox.h"

namespace {

constexpr int viewercolumns = 78;

TEXTVIEWER* viewer = nullptr; // the internal errors; made with the first one

} // namespace

void APPLNERRORHANDLER::attach(BASEWIN* owner, STATUSBAR* bar)
{
    window = owner;
    statusbar = bar;
    errortext = reg_getrgb(SECTION, "Error Text Colour", 0);
    errorbackground = reg_getrgb(SECTION, "Error Background Colour", 0x00FFFF);
    delay = static_cast<int>(reg_getdw(SECTION, "Error Message Delay", 5));
    bold = reg_getbool(SECTION, "Error Message Bold", 1);
}

void APPLNERRORHANDLER::towindow(const std::string& text)
{
    if (window)
        window->caption("%s", text.c_str());
}

void APPLNERRORHANDLER::showhint(const char* format, ...)
{
    FORMATTEDTEXT(text, format);
    if (statusbar)
        statusbar->message('H', text.c_str(), 0, 0, 0, STATUSBAR_KEEPCOLOUR, 0);
}

void APPLNERRORHANDLER::showprompt(const char* format, ...)
{
    FORMATTEDTEXT(text, format);
    prompt = text;
    const char shown = statusbar ? statusbar->message() : 0;
    if (!statusbar || (shown && shown != 'P')) {
        towindow(text);
        return;
    }
    statusbar->message('P', text.c_str(), 0, 0, 0, STATUSBAR_KEEPCOLOUR, 0);
}

void APPLNERRORHANDLER::showinfo(const char* format, ...)
{
    FORMATTEDTEXT(text, format);
    if (!statusbar) {
        towindow(text);
        return;
    }
    statusbar->message('I', text.c_str(), 0, 0, 0, STATUSBAR_KEEPCOLOUR, 0);
}

void APPLNERRORHANDLER::showstatus(const char* format, ...)
{
    FORMATTEDTEXT(text, format);
    if (!statusbar) {
        towindow(text);
        return;
    }
    if (statusbar->message() == 'P' && !prompt.empty())
        towindow(prompt);
    statusbar->message('S', text.c_str(), 0, 0, 0, STATUSBAR_KEEPCOLOUR, 0);
}

void APPLNERRORHANDLER::showerror(const char* format, ...)
{
    FORMATTEDTEXT(text, format);
    MessageBeep(MB_OK);
    ++errorcount;
    if (!statusbar) {
        towindow(text);
        return;
    }
    statusbar->message('E', text.c_str(), bold, 0, errortext, errorbackground, delay);
}

void APPLNERRORHANDLER::showierror(const char* format, ...)
{
    FORMATTEDTEXT(text, format);
    const std::string line = !text.empty() && text.back() == '\n' ? text.substr(0, text.size() - 1) : text;
    if (excp.issilent()) {
        excp.log(line.c_str());
        return;
    }
    if (!viewer)
        viewer = new TEXTVIEWER("Internal Errors", viewercolumns);
    viewer->append(line.c_str());
    if (!viewer->isvisible())
        viewer->open();
}

std::string APPLNERRORHANDLER::internalerrors()
{
    return viewer ? viewer->text() : "";
}

void APPLNERRORHANDLER::closeinternalerrors()
{
    delete viewer;
    viewer = nullptr;
}

int confirm(const QString& text)
{
    return confirm(text.toLocal8Bit().constData());
}

int yesno(const QString& text)
{
    return yesno(text.toLocal8Bit().constData());
}

int errbox(const QString& text)
{
    return errbox(text.toLocal8Bit().constData());
}

int infbox(const QString& text)
{
    return infbox(text.toLocal8Bit().constData());
}
