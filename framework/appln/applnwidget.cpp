#include "framework/appln/applnwidget.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QVariant>

#include "framework/appln/applnframe.h"
#include "framework/appln/applnmenu.h"
#include "framework/appln/applnmodule.h"
#include "framework/appln/applnprocess.h"
#include "framework/bars/ctrlwidget.h"
#include "framework/bars/statusbar.h"
#include "framework/commands/cmdinfotable.h"
#include "framework/commands/keytranslator.h"
#include "framework/menus/menu.h"
#include "platform/win/input.h"
#include "platform/win/monitors.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"

namespace {

// Hidden actions make rows that no menu shows.
constexpr unsigned hiddenrow = CMDF_NOMENU;
constexpr unsigned submenuend = CMDF_SUBMENU | CMDF_REFERENCE;

QByteArray local(const QString& text)
{
    return text.toLocal8Bit();
}

} // namespace

APPLNWIDGET::APPLNWIDGET()
    : QMainWindow(nullptr, Qt::FramelessWindowHint)
{
    setStyleSheet(menustylesheet());
}

// The main window and its actions are let go while this is still the host.
APPLNWIDGET::~APPLNWIDGET()
{
    destroywindow();
}

void APPLNWIDGET::seticon(const char* name)
{
    APPLNWINDOW::seticon(name);
    if (HICON icon = geticon(2))
        setWindowIcon(QIcon(QPixmap::fromImage(winqt::toimage(icon))));
}

void APPLNWIDGET::oncreatewindow()
{
    RECT client {};
    GetClientRect(hwnd, &client);
    if (QWidget* native = winqt::widgetof(hwnd))
        setParent(native, Qt::Widget | Qt::FramelessWindowHint);
    setGeometry(0, 0, client.right, client.bottom);
    oncreatemainwindow();
    show();
}

void APPLNWIDGET::ondestroywindow()
{
    hide();
    for (const QPointer<CTRLWIDGET>& bar : bars)
        if (bar)
            bar->QLabel::hide();
    ondestroymainwindow();
    focuswidget = nullptr;
    for (const QPointer<QAction>& action : actions)
        if (action)
            action->deleteLater();
    for (const QPointer<QMenu>& menu : menus)
        if (menu)
            menu->deleteLater();
    if (CMDINFOTABLE* table = getcmdinfotable())
        table->removecommands(CMDCTX_SHARED);
    actions.clear();
    menus.clear();
    bars.clear();
    // The main window is this object: it must not go with the native window's widget.
    setParent(nullptr);
}

void APPLNWIDGET::onresize(int width, int height)
{
    if (width < minimumWidth())
        setMinimumWidth(width);
    if (height < minimumHeight())
        setMinimumHeight(height);
    setGeometry(0, 0, width, height);
}

void APPLNWIDGET::onreposition()
{
    if (frame && IsIconic(frame->hwnd))
        return;
    RECT client {};
    GetClientRect(hwnd, &client);
    setGeometry(0, 0, client.right, client.bottom);
    for (const QPointer<CTRLWIDGET>& bar : bars)
        if (bar)
            bar->reposition();
}

bool APPLNWIDGET::insidemain(const QWidget* widget) const
{
    return widget && (widget == this || isAncestorOf(widget));
}

void APPLNWIDGET::onactivate(int active, int)
{
    QWidget* focus = QApplication::focusWidget();
    if (!active) {
        if (insidemain(focus)) {
            focuswidget = focus;
            focus->clearFocus();
        }
        return;
    }
    onreposition();
    if (insidemain(focus) && focus != focuswidget) {
        if (focuswidget)
            focuswidget->activateWindow();
        focuswidget = focus;
    }
    if (focuswidget && insidemain(focuswidget)) {
        focuswidget->activateWindow();
        focuswidget->clearFocus();
        focuswidget->setFocus(Qt::OtherFocusReason);
    }
}

void APPLNWIDGET::onframesetcursor(HWND over)
{
    if (statusbar)
        resetstatusmsg(over == (frame ? frame->hwnd : nullptr) || over == statusbar->hwnd ? 1 : 0);
}

void APPLNWIDGET::sethelpaction(QAction* action)
{
    action->setShortcut(QKeySequence(tr("F1")));
    helpaction = action;
}

int APPLNWIDGET::getuistate(QAction* action, UISTATE& state)
{
    state.enabled = action->isEnabled() ? 1 : 0;
    state.checked = action->isChecked() ? 1 : 0;
    return 1;
}

QAction* APPLNWIDGET::actionof(unsigned short id) const
{
    const int index = static_cast<int>(id) - FIRSTACTION;
    return index >= 0 && index < actions.size() ? actions[index].data() : nullptr;
}

int APPLNWIDGET::docommand(unsigned short id)
{
    QAction* action = actionof(id);
    if (!action)
        return 0;
    if (action == helpaction) {
        if (owner)
            owner->launchhelp(0, nullptr, nullptr);
    } else if (action->isEnabled()) {
        action->activate(QAction::Trigger);
    }
    if (frame && GetAncestor(GetActiveWindow(), GA_ROOT) == frame->hwnd)
        onactivate(1, 0);
    return 1;
}

int APPLNWIDGET::getuistate(unsigned short id, UISTATE* state)
{
    QAction* action = actionof(id);
    return action && state ? getuistate(action, *state) : 0;
}

unsigned long APPLNWIDGET::shortcutkey(const QKeySequence& shortcut)
{
    if (shortcut.isEmpty())
        return 0;
    const QKeyCombination combination = shortcut[0];
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    const int key = combination.key();
    unsigned long code = 0;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        code = 0x70 + static_cast<unsigned long>(key - Qt::Key_F1);
    else if (key >= 32 && key <= 127)
        code = static_cast<unsigned long>(key);
    else if (key == Qt::Key_Delete)
        code = KEY_EXTENDED | VK_DELETE;
    else if (key == Qt::Key_Escape)
        code = VK_ESCAPE;
    else if (key == Qt::Key_Tab)
        code = VK_TAB;
    // A key the translator cannot tell apart binds nothing, rather than a bare modifier.
    if (!code)
        return 0;
    if (modifiers & Qt::ControlModifier)
        code |= KEY_CTRL;
    if (modifiers & Qt::ShiftModifier)
        code |= KEY_SHIFT;
    if (modifiers & Qt::AltModifier)
        code |= KEY_ALT;
    return code;
}

unsigned short APPLNWIDGET::addaction(unsigned short context, QAction* action)
{
    const auto id = static_cast<unsigned short>(FIRSTACTION + actions.size());
    actions.append(action);
    action->setData(QVariant(static_cast<int>(id)));
    highlighticons(action);
    if (const unsigned long key = shortcutkey(action->shortcut()))
        if (KEYTRANSLATOR* keys = getkeytranslator())
            keys->assign(context, id, key);
    return id;
}

unsigned short APPLNWIDGET::addmenu(unsigned short context, QMenu* menu, unsigned flags)
{
    CMDINFOTABLE* table = getcmdinfotable();
    return addmenu(context, table ? table->getfirstcommand(context) : 0, menu, flags);
}

unsigned short APPLNWIDGET::addmenu(unsigned short context, unsigned short first, QMenu* menu, unsigned flags)
{
    CMDINFOTABLE* table = getcmdinfotable();
    if (!table || !menu)
        return first;
    for (QAction* action : menu->actions()) {
        if (first) {
            if (action->isSeparator())
                continue;
            // A submenu's own row holds an id as in add mode, ahead of its actions' ids.
            replaceaction(context, first++, 0, action);
            if (action->menu())
                first = addmenu(context, first, action->menu(), flags);
            continue;
        }
        if (action->isSeparator()) {
            table->addseparator();
            continue;
        }
        const unsigned short id = addaction(context, action);
        CMDINFO& row = table->addcommand(
            context, id, local(action->text()).constData(), local(action->statusTip()).constData());
        row.flags |= static_cast<uint16_t>(flags);
        if (!action->isVisible())
            row.flags |= hiddenrow;
        if (action->isIconVisibleInMenu() && !action->icon().isNull()) {
            const QSize size(MENU::tbar_bmpwidth(), MENU::tbar_bmpheight());
            const QIcon icon = action->icon();
            const QImage images[4] = { icon.pixmap(size, QIcon::Normal).toImage(),
                icon.pixmap(size, QIcon::Disabled).toImage(), icon.pixmap(size, QIcon::Active).toImage(),
                icon.pixmap(size, QIcon::Normal).toImage() };
            row.bitmap = CMDIMAGE(MENU::make_images(images));
        }
        if (action->menu()) {
            row.flags |= CMDF_SUBMENU;
            addmenu(context, 0, action->menu(), flags);
            table->addcommand(context, id, nullptr, nullptr).flags = submenuend;
        }
    }
    menus.append(menu);
    return first ? first : static_cast<unsigned short>(FIRSTACTION + actions.size());
}

unsigned short APPLNWIDGET::replacemenu(unsigned menuid, unsigned short context, QMenu* menu)
{
    const unsigned short next = addmenu(context, menu, 0);
    CMDINFOTABLE* table = getcmdinfotable();
    MENU* popup = menubar && table ? menubar->get(menuid) : nullptr;
    if (popup && popup->gethandle()) {
        popup->remove(0, -1);
        MENUFLAGS none;
        menubar->loadpopup(*table, this, context, popup->gethandle(), 0, none);
        if (KEYTRANSLATOR* keys = getkeytranslator())
            keys->sync_menu(context, popup->gethandle(), 0);
    }
    delete popup;
    return next;
}

unsigned short APPLNWIDGET::replaceaction(unsigned short context, unsigned short id, unsigned flags, QAction* action)
{
    if (action->isSeparator())
        return 0;
    const int index = static_cast<int>(id) - FIRSTACTION;
    if (index >= 0 && index < actions.size()) {
        actions[index] = action;
    } else if (CMDINFOTABLE* table = getcmdinfotable()) {
        id = addaction(context, action);
        CMDINFO& row = table->addcommand(
            context, id, local(action->text()).constData(), local(action->statusTip()).constData());
        row.flags |= static_cast<uint16_t>(flags);
    }
    action->setData(QVariant(static_cast<int>(id)));
    return id;
}

void APPLNWIDGET::removecommands(unsigned short context)
{
    CMDINFOTABLE* table = getcmdinfotable();
    if (!table)
        return;
    QList<unsigned short> ids;
    for (int i = 0; i < table->count(); ++i) {
        const CMDINFO* row = table->item(i);
        if (contextgroup(row->context) == contextgroup(context) && actionof(row->id))
            ids.append(row->id);
    }
    table->removecommands(context);
    // Only the rows that went lose their actions.
    for (unsigned short id : ids)
        if (!table->find(context, id))
            actions[id - FIRSTACTION] = nullptr;
}

CTRLWIDGET* APPLNWIDGET::addtoolbar(QToolBar* toolbar)
{
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    auto* bar = new CTRLWIDGET(this, toolbar, getnextctrlbarid(), 0);
    addctrlbar(bar, 0, -1);
    bar->show();
    toolbar->installEventFilter(this);
    bars.append(bar);
    return bar;
}

void APPLNWIDGET::showtip(const QString& tip)
{
    sethint(local(tip).constData());
}

bool APPLNWIDGET::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        onactivate(1, 0);
        break;
    case QEvent::FocusOut:
        onactivate(0, 0);
        break;
    case QEvent::WindowBlocked:
    case QEvent::WindowUnblocked: {
        const BOOL enable = event->type() == QEvent::WindowUnblocked;
        if (frame)
            EnableWindow(frame->hwnd, enable);
        if (hwnd)
            EnableWindow(hwnd, enable);
        break;
    }
    case QEvent::StatusTip:
        showtip(static_cast<QStatusTipEvent*>(event)->tip());
        event->accept();
        return true;
    default:
        break;
    }
    return QMainWindow::event(event);
}

bool APPLNWIDGET::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        showtip(static_cast<QStatusTipEvent*>(event)->tip());
        event->accept();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

QWidget* getapplnwidget()
{
    APPLNPROCESS* process = getapplnprocess();
    APPLNFRAME* frame = process ? process->getactiveframe() : nullptr;
    APPLNWINDOW* window = frame ? frame->getactivewindow() : nullptr;
    return window ? window->getqtwidget() : nullptr;
}
