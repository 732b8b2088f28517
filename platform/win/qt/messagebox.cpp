// Message boxes as Qt dialogs, over the window that owns them, which is disabled meanwhile.

#include <QAbstractButton>
#include <QMessageBox>

#include "platform/win/messagebox.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"

namespace winqt {
namespace {

QMessageBox::Icon iconof(UINT style)
{
    switch (style & 0xF0) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

struct Choice {
    QMessageBox::StandardButton button;
    int answer;
};

std::vector<Choice> choices(UINT style)
{
    switch (style & 0xF) {
    case MB_OKCANCEL:
        return { { QMessageBox::Ok, IDOK }, { QMessageBox::Cancel, IDCANCEL } };
    case MB_ABORTRETRYIGNORE:
        return { { QMessageBox::Abort, IDABORT }, { QMessageBox::Retry, IDRETRY },
            { QMessageBox::Ignore, IDIGNORE } };
    case MB_YESNOCANCEL:
        return { { QMessageBox::Yes, IDYES }, { QMessageBox::No, IDNO }, { QMessageBox::Cancel, IDCANCEL } };
    case MB_YESNO:
        return { { QMessageBox::Yes, IDYES }, { QMessageBox::No, IDNO } };
    case MB_RETRYCANCEL:
        return { { QMessageBox::Retry, IDRETRY }, { QMessageBox::Cancel, IDCANCEL } };
    default:
        return { { QMessageBox::Ok, IDOK } };
    }
}

} // namespace

int messagedialog(HWND owner, const char* text, const char* caption, UINT style)
{
    HWND root = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    QMessageBox box(iconof(style), QString::fromUtf8(caption ? caption : "Error"),
        QString::fromUtf8(text ? text : ""), QMessageBox::NoButton, widgetof(root));
    std::vector<Choice> offered = choices(style);
    for (const Choice& c : offered) {
        box.addButton(c.button);
    }
    size_t preferred = (style & MB_DEFBUTTON3) ? 2 : (style & MB_DEFBUTTON2) ? 1 : 0;
    box.setDefaultButton(offered[std::min(preferred, offered.size() - 1)].button);
    // Escape answers as closing the box does: cancel where there is one, else the last choice.
    box.setEscapeButton(offered.back().button);
    bool disable = root && IsWindowEnabled(root);
    if (disable) {
        EnableWindow(root, FALSE);
    }
    box.exec();
    if (disable && IsWindow(root)) {
        EnableWindow(root, TRUE);
    }
    QAbstractButton* clicked = box.clickedButton();
    for (const Choice& c : offered) {
        if (clicked && clicked == box.button(c.button)) {
            return c.answer;
        }
    }
    return offered.back().answer;
}

MESSAGEBOXHOOK installmessagebox()
{
    return setmessageboxhook(messagedialog);
}

} // namespace winqt
