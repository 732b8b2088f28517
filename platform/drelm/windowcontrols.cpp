#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "platform/drelm/combobox.h"
#include "platform/drelm/controlevents.h"
#include "platform/drelm/controltext.h"
#include "platform/drelm/form.h"
#include "platform/drelm/fptedit.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"

namespace {

constexpr UINT COMMANDHINT = 0x0503; // the framework's command hint

QComboBox* makecombo(DWORD style)
{
    auto* combo = new QComboBox;
    combo->setEditable((style & CBS_DROPDOWNLIST) == CBS_DROPDOWN);
    return combo;
}

QLineEdit* makeedit(DWORD style, char kind)
{
    auto* edit = new QLineEdit;
    edit->setReadOnly(style & ES_READONLY);
    edit->setProperty(drelm::VALUEKINDPROPERTY, QString(QChar(kind)));
    return edit;
}

// What an FPTEDIT tells its parent beyond the value edit's own reports.
class EditNotices : public QObject {
public:
    EditNotices(CONTROL& control, QObject* owner)
        : QObject(owner)
        , control(control)
    {
        control.getwidget()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        HWND parent = GetParent(control.gethwnd());
        const WORD id = static_cast<WORD>(control.getid());
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut: {
            const WORD code = event->type() == QEvent::FocusIn ? EN_SETFOCUS : EN_KILLFOCUS;
            SendMessageA(
                parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control.gethwnd()));
            break;
        }
        case QEvent::Enter:
            SendMessageA(parent, COMMANDHINT, reinterpret_cast<WPARAM>(control.gethwnd()), MAKELONG(id, 0));
            break;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
            if (enter || key == Qt::Key_Escape) {
                control.report(DLGM_KEY, MAKEWPARAM(id, enter ? 13 : 27), 0);
                return true;
            }
            break;
        }
        default:
            break;
        }
        return false;
    }

private:
    CONTROL& control;
};

} // namespace

COMBOBOX::COMBOBOX(HWND parent, DWORD style, int id)
    : CONTROL(parent, style, id, CK_COMBOBOX, makecombo(style))
{
    if (auto* combo = static_cast<QComboBox*>(getwidget()))
        QObject::connect(
            combo, &QComboBox::activated, guard, [this](int index) { report(DLGM_UPDATE, getid(), index); });
}

FPTEDIT::FPTEDIT(HWND parent, DWORD style, int id, char kind)
    : CONTROL(parent, style, id, CK_VALUEEDIT, makeedit(style, kind))
{
    if (!getwidget())
        return;
    drelm::watchvalueedit(*this, guard);
    new EditNotices(*this, guard);
}
