// The help viewer on this system is the desktop's browser: a topic shown is its HTML page opened
// there ("page>window type", the window type left to the browser).

#include <QDesktopServices>
#include <QUrl>
#include <string>

#include "platform/win/htmlhelp.h"
#include "platform/win/pathboundary.h"

namespace winqt {

namespace {

HWND showpage(HWND, const char* target, UINT, DWORD_PTR)
{
    std::string page = target ? target : "";
    page = page.substr(0, page.find('>'));
    const std::string file = findexistingpath(page.c_str());
    if (!file.empty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromLocal8Bit(file.c_str())));
    return nullptr;
}

} // namespace

HTMLHELPHOOK installhelpviewer()
{
    return sethtmlhelphook(showpage);
}

} // namespace winqt
