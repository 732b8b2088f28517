#include "platform/drelm/messageboxes.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>
#include <vector>

#include "platform/drelm/alerts.h"
#include "platform/win/input.h"
#include "platform/win/messagebox.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"

namespace {

const char* const LEFTMARK = "\xC2\xAB"
                             "L\xC2\xBB"; // «L»

struct Box {
    const char* caption;
    const char* text;
    QMessageBox::Icon icon;
    std::vector<QString> labels;
    size_t preferred; // the default button
};

// Shows the box over the owner's top-level window, which is disabled meanwhile; the index of the
// button chosen, the last when the box was closed otherwise.
size_t showbox(HWND owner, const Box& box)
{
    HWND root = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    QString text = QString::fromUtf8(box.text ? box.text : "");
    const bool left = text.startsWith(QString::fromUtf8(LEFTMARK));
    if (left)
        text.remove(0, 3);
    QMessageBox dialog(
        box.icon, QString::fromUtf8(box.caption), text, QMessageBox::NoButton, winqt::widgetof(root));
    if (auto* label = dialog.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        label->setAlignment(left ? Qt::AlignLeft : Qt::AlignHCenter);
    std::vector<QPushButton*> buttons;
    for (const QString& label : box.labels)
        buttons.push_back(dialog.addButton(label, QMessageBox::AcceptRole));
    dialog.setDefaultButton(buttons[std::min(box.preferred, buttons.size() - 1)]);
    dialog.setEscapeButton(buttons.back());
    const bool disable = root && IsWindowEnabled(root);
    if (disable)
        EnableWindow(root, FALSE);
    dialog.exec();
    if (disable && IsWindow(root))
        EnableWindow(root, TRUE);
    for (size_t i = 0; i < buttons.size(); ++i)
        if (dialog.clickedButton() == buttons[i])
            return i;
    return buttons.size() - 1;
}

QMessageBox::Icon iconofstyle(UINT style)
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
    const char* label;
    int answer;
};

std::vector<Choice> choicesofstyle(UINT style)
{
    switch (style & 0xF) {
    case MB_OKCANCEL:
        return { { "&OK", IDOK }, { "&Cancel", IDCANCEL } };
    case MB_ABORTRETRYIGNORE:
        return { { "&Abort", IDABORT }, { "&Retry", IDRETRY }, { "&Ignore", IDIGNORE } };
    case MB_YESNOCANCEL:
        return { { "&Yes", IDYES }, { "&No", IDNO }, { "&Cancel", IDCANCEL } };
    case MB_YESNO:
        return { { "&Yes", IDYES }, { "&No", IDNO } };
    case MB_RETRYCANCEL:
        return { { "&Retry", IDRETRY }, { "&Cancel", IDCANCEL } };
    default:
        return { { "&OK", IDOK } };
    }
}

int ask(const char* text, const char* caption, UINT style)
{
    return MessageBoxA(GetActiveWindow(), text, caption, style);
}

} // namespace

int errbox(const char* text)
{
    return ask(text, "Error", MB_OK | MB_ICONERROR);
}

int infbox(const char* text)
{
    return ask(text, "Information", MB_OK | MB_ICONINFORMATION);
}

int confirm(const char* text)
{
    return ask(text, "Confirm", MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

int yesno(const char* text)
{
    return ask(text, "Question", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

int noyes(const char* text)
{
    return ask(text, "Question", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

int yesnocancel(const char* text)
{
    return ask(text, "Question", MB_YESNOCANCEL | MB_ICONQUESTION);
}

int alert(int type, const char* buttons, const char* text)
{
    static const struct {
        const char* caption;
        QMessageBox::Icon icon;
    } types[] = { { "Information", QMessageBox::Information }, { "Question", QMessageBox::Question },
        { "Warning", QMessageBox::Warning }, { "Error", QMessageBox::Critical } };
    const auto& look = types[type >= 0 && type <= ALERT_ERROR ? type : ALERT_INFORMATION];
    Box box { look.caption, text, look.icon, {}, 0 };
    const QStringList labels = QString::fromUtf8(buttons && *buttons ? buttons : "&OK").split('\\');
    for (QString label : labels) {
        if (label.startsWith('+')) {
            box.preferred = box.labels.size();
            label.remove(0, 1);
        }
        box.labels.push_back(label);
    }
    if (alertsdisabled()) {
        std::fprintf(stderr, "%s: %s\n", look.caption, text ? text : "");
        return static_cast<int>(box.preferred);
    }
    return static_cast<int>(showbox(GetActiveWindow(), box));
}

namespace drelm {

int messagebox(HWND owner, const char* text, const char* caption, UINT style)
{
    const std::vector<Choice> choices = choicesofstyle(style);
    Box box { caption ? caption : "Error", text, iconofstyle(style), {},
        (style & MB_DEFBUTTON3)       ? 2u
            : (style & MB_DEFBUTTON2) ? 1u
                                      : 0u };
    for (const Choice& c : choices)
        box.labels.push_back(QString::fromLatin1(c.label));
    return choices[showbox(owner, box)].answer;
}

void reportformerror(const std::string& text)
{
    errbox(text.c_str());
}

} // namespace drelm
