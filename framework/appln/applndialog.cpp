#include "framework/appln/applndialog.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStatusTipEvent>
#include <QWhatsThis>

#include "framework/appln/applnprocess.h"
#include "framework/appln/applnwidget.h"
#include "framework/bars/statusbar.h"
#include "framework/context/applncontext.h"
#include "platform/win/qt/winqt.h"

QPointer<QWidget> APPLNDIALOG::sFocusWidget;

namespace {

// The Qt main window of the active module window when it holds the widget; null otherwise.
QWidget* hostholding(const QWidget* widget)
{
    QWidget* main = getapplnwidget();
    return main && widget && (widget == main || main->isAncestorOf(widget)) ? main : nullptr;
}

// The host's main window loses the focus to a dialog; the widget that had it is answered.
QWidget* takefocus()
{
    if (QApplication::activeModalWidget())
        return nullptr;
    QWidget* focus = QApplication::focusWidget();
    QWidget* main = hostholding(focus);
    if (!main)
        return nullptr;
    QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(main, &out);
    return focus;
}

} // namespace

APPLNDIALOG::APPLNDIALOG(QWidget* parent, int id, const QByteArray& name)
    : QDialog(parent)
    , helpid(id)
    , helpname(name)
{
}

QByteArray APPLNDIALOG::getHelpName()
{
    return helpname.isEmpty() ? QByteArray(getapplnname()) : helpname;
}

void APPLNDIALOG::saveFocus()
{
    if (QWidget* focus = takefocus())
        sFocusWidget = focus;
}

void APPLNDIALOG::restoreFocus()
{
    if (QWidget* main = hostholding(sFocusWidget)) {
        QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(main, &in);
    }
    sFocusWidget = nullptr;
}

void APPLNDIALOG::openhelp()
{
    const QByteArray name = getHelpName();
    if (name.isEmpty())
        return;
    if (APPLNPROCESS* process = getapplnprocess())
        process->launchhelp(name.constData(), static_cast<unsigned long>(GetCurrentHelpID()), "Popup",
            winqt::windowof(this));
}

bool APPLNDIALOG::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::EnterWhatsThisMode:
        if (isHidden())
            break;
        QWhatsThis::leaveWhatsThisMode();
        event->accept();
        openhelp();
        return true;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->matches(QKeySequence::HelpContents))
            openhelp();
        break;
    case QEvent::StatusTip: {
        APPLNPROCESS* process = getapplnprocess();
        APPLNWINDOW* window = process ? process->getactivewindow() : nullptr;
        if (window && window->getstatusbar())
            window->sethint(static_cast<QStatusTipEvent*>(event)->tip().toLocal8Bit().constData());
        event->accept();
        return true;
    }
    case QEvent::Show:
        if (QWidget* focus = takefocus())
            savedfocus = focus;
        for (QComboBox* combo : findChildren<QComboBox*>())
            if (combo->lineEdit())
                combo->installEventFilter(this);
        break;
    default:
        break;
    }
    return QDialog::event(event);
}

void APPLNDIALOG::setVisible(bool visible)
{
    if (!visible && savedfocus)
        if (QWidget* main = hostholding(savedfocus))
            QCoreApplication::postEvent(main, new QFocusEvent(QEvent::FocusIn, Qt::OtherFocusReason));
    if (getHelpName().isEmpty() && (windowFlags() & Qt::WindowContextHelpButtonHint))
        setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QDialog::setVisible(visible);
}

// A combo box's line edit shows its own context menu, whatever its policy says.
bool APPLNDIALOG::eventFilter(QObject* watched, QEvent* event)
{
    auto* combo = qobject_cast<QComboBox*>(watched);
    if (event->type() != QEvent::ContextMenu || !combo || !combo->lineEdit())
        return false;
    QPointer<QLineEdit> edit = combo->lineEdit();
    const Qt::ContextMenuPolicy previous = edit->contextMenuPolicy();
    edit->setContextMenuPolicy(Qt::DefaultContextMenu);
    auto* menu = static_cast<QContextMenuEvent*>(event);
    QContextMenuEvent forwarded(menu->reason(), edit->mapFrom(combo, menu->pos()), menu->globalPos());
    QCoreApplication::sendEvent(edit, &forwarded);
    QCoreApplication::processEvents();
    if (edit)
        edit->setContextMenuPolicy(previous);
    return true;
}
