#include "platform/win/qt/popupmenu.h"

#include <QAbstractEventDispatcher>
#include <QActionGroup>
#include <QApplication>
#include <QEventLoop>
#include <QHash>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleOptionMenuItem>
#include <QTimer>

#include "platform/win/gdi.h"
#include "platform/win/menustate.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

namespace winqt {
namespace {

class PopupMenu;

QPointer<PopupMenu> current; // the first popup of the tracked menu
bool ended = false; // the tracking closed its popups
int generation = 0; // counts the popups shown, so that a late report of an old one is ignored

void tellowner(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND owner = win::menuowner();
    if (IsWindow(owner)) {
        SendMessageA(owner, message, wParam, lParam);
    }
}

// The id an owner-drawn item is measured and drawn under: a popup's item goes by the popup's
// handle, as the system's menus do.
UINT ownerid(const win::MenuItem& item)
{
    return item.submenu ? static_cast<UINT>(reinterpret_cast<uintptr_t>(item.submenu)) : item.id;
}

QIcon iconof(HBITMAP bitmap)
{
    return bitmap ? QIcon(QPixmap::fromImage(toimage(bitmap))) : QIcon();
}

// Owner-drawn items: measured by the owner when their menu is built, drawn by the owner through
// a device context; everything else is the application style's.
class OwnerDrawStyle : public QProxyStyle {
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
        const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget) const override;
};

QStyle* ownerdrawstyle()
{
    static QPointer<OwnerDrawStyle> style;
    if (!style) {
        style = new OwnerDrawStyle;
        style->setParent(qApp);
    }
    return style;
}

class PopupMenu : public QMenu {
public:
    PopupMenu(HMENU menu, int place, QWidget* parent)
        : QMenu(parent)
        , handle(menu)
        , place(place)
    {
        setAttribute(Qt::WA_NoMouseReplay); // a click that closes the menu is not the window's
        setStyle(ownerdrawstyle());
        connect(this, &QMenu::aboutToShow, this, &PopupMenu::opening);
        connect(this, &QMenu::aboutToHide, this, [this] { tellowner(WM_UNINITMENUPOPUP, wparam(), 0); });
        connect(this, &QMenu::hovered, this, &PopupMenu::selected);
        connect(this, &QMenu::triggered, this, &PopupMenu::chosen);
    }

    // Tells the owner the popup opens and builds its items from the menu as the owner left it.
    void prepare()
    {
        tellowner(WM_INITMENUPOPUP, wparam(), MAKELPARAM(static_cast<WORD>(place), 0));
        build();
        prepared = true;
    }

    // The owner's size of an owner-drawn item, null for the others.
    const QSize* ownersize(const QStyleOption* option) const
    {
        auto found = measured.find(qobject_cast<const QAction*>(option->styleObject));
        return found == measured.end() ? nullptr : &*found;
    }

    void drawowner(const QStyleOptionMenuItem& option, QPainter& painter) const;

    int baritem = -1; // the first popup of a bar item: the bar item
    int next = -1; // the bar item to open once this popup closes
    bool tobar = false; // closed by Escape: the bar stays hot

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override
    {
        QMenu::initStyleOption(option, action);
        if (measured.contains(action)) {
            option->styleObject = const_cast<QAction*>(action);
        }
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        bymouse = true;
        if (!leavefor(event->globalPosition().toPoint(), false)) {
            QMenu::mouseMoveEvent(event);
        }
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (!leavefor(event->globalPosition().toPoint(), true)) {
            QMenu::mousePressEvent(event);
        }
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        bymouse = false;
        const bool submenu = activeAction() && activeAction()->menu() && activeAction()->isEnabled();
        if (baritem >= 0 && event->key() == Qt::Key_Escape) {
            tobar = true;
            close();
        } else if (baritem >= 0
            && (event->key() == Qt::Key_Left || (event->key() == Qt::Key_Right && !submenu))) {
            next = steered(event->key() == Qt::Key_Left ? -1 : 1);
            close();
        } else {
            QMenu::keyPressEvent(event);
        }
    }

private:
    WPARAM wparam() const { return reinterpret_cast<WPARAM>(handle); }

    void opening()
    {
        if (prepared) {
            prepared = false;
            return;
        }
        prepare();
    }

    void build()
    {
        for (PopupMenu* old : findChildren<PopupMenu*>(Qt::FindDirectChildrenOnly)) {
            delete old;
        }
        clear();
        measured.clear();
        auto menu = win::menuref(handle);
        if (!menu) {
            return;
        }
        QActionGroup* radios = nullptr;
        for (size_t i = 0; i < menu->items.size(); ++i) {
            const win::MenuItem& item = menu->items[i];
            const bool ownerdrawn = item.type & MFT_OWNERDRAW;
            if ((item.type & MFT_SEPARATOR) && !ownerdrawn) {
                addSeparator();
                continue;
            }
            QAction* action = addAction(QString::fromStdString(item.text));
            action->setData(static_cast<int>(i));
            action->setEnabled(!(item.state & (MF_GRAYED | MF_DISABLED)) && !(item.type & MFT_SEPARATOR));
            if (item.state & MF_CHECKED) {
                action->setCheckable(true);
                action->setChecked(true);
            }
            if (item.type & MFT_RADIOCHECK) {
                radios = radios ? radios : new QActionGroup(this);
                radios->addAction(action);
            }
            if (item.state & MF_DEFAULT) {
                QFont bold = action->font();
                bold.setBold(true);
                action->setFont(bold);
            }
            HBITMAP mark = (item.state & MF_CHECKED) ? item.checked : item.unchecked;
            action->setIcon(iconof(mark ? mark : item.bitmap));
            if (item.submenu) {
                action->setMenu(new PopupMenu(item.submenu, static_cast<int>(i), this));
            }
            if (ownerdrawn) {
                MEASUREITEMSTRUCT size { ODT_MENU, 0, ownerid(item), 0, 0, item.data };
                tellowner(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&size));
                measured.insert(
                    action, QSize(static_cast<int>(size.itemWidth), static_cast<int>(size.itemHeight)));
            }
        }
    }

    // The model's item behind an action of this menu; null when the menu changed under it.
    const win::MenuItem* itemof(const QAction* action) const
    {
        auto menu = win::menuref(handle);
        bool ok = false;
        size_t index = static_cast<size_t>(action->data().toInt(&ok));
        return ok && menu && index < menu->items.size() ? &menu->items[index] : nullptr;
    }

    void selected(QAction* action)
    {
        const win::MenuItem* item = itemof(action);
        if (!item || action->parent() != this) {
            return;
        }
        WORD id = static_cast<WORD>(item->submenu ? action->data().toInt() : static_cast<int>(item->id));
        UINT flags = win::itemflags(*item) | MF_HILITE | (bymouse ? MF_MOUSESELECT : 0);
        tellowner(WM_MENUSELECT, MAKEWPARAM(id, static_cast<WORD>(flags)), static_cast<LPARAM>(wparam()));
    }

    void chosen(QAction* action)
    {
        const win::MenuItem* item = itemof(action);
        if (item && action->parent() == this && !item->submenu) {
            win::menuchosen(item->id);
        }
    }

    int steered(int step) const
    {
        int count = GetMenuItemCount(GetMenu(win::menuowner()));
        return count > 0 ? (baritem + step + count) % count : -1;
    }

    // Pointer input outside the first popup of a bar item: over another bar item that item
    // opens instead; a press on the same item or elsewhere closes the menu.
    bool leavefor(QPoint global, bool press)
    {
        if (baritem < 0 || rect().contains(mapFromGlobal(global))) {
            return false;
        }
        int over = -1;
        auto items = win::menubarlayout(win::menuowner());
        for (size_t i = 0; i < items.size(); ++i) {
            if (win::contains(items[i], tagPOINT { global.x(), global.y() })) {
                over = static_cast<int>(i);
            }
        }
        if (over >= 0 && over != baritem) {
            next = over;
            close();
            return true;
        }
        if (press) {
            close();
            return true;
        }
        return false;
    }

    HMENU handle;
    int place;
    bool prepared = false;
    bool bymouse = false;
    QHash<const QAction*, QSize> measured;
};

void PopupMenu::drawowner(const QStyleOptionMenuItem& option, QPainter& painter) const
{
    const QAction* action = qobject_cast<const QAction*>(option.styleObject);
    const win::MenuItem* item = action ? itemof(action) : nullptr;
    if (!item) {
        return;
    }
    const QRect area = option.rect;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, area.width(), area.height());
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT whole { 0, 0, area.width(), area.height() };
    FillRect(dc, &whole, GetSysColorBrush(COLOR_MENU));
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    UINT state = ((option.state & QStyle::State_Selected) ? ODS_SELECTED : 0)
        | ((item->state & MF_GRAYED) ? ODS_GRAYED : 0) | ((item->state & MF_DISABLED) ? ODS_DISABLED : 0)
        | ((item->state & MF_CHECKED) ? ODS_CHECKED : 0);
    DRAWITEMSTRUCT draw { ODT_MENU, 0, ownerid(*item), ODA_DRAWENTIRE, state, reinterpret_cast<HWND>(handle),
        dc, whole, item->data };
    tellowner(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    SelectObject(dc, old);
    painter.drawImage(area.topLeft(), toimage(bitmap));
    DeleteObject(bitmap);
    DeleteDC(dc);
    // As the system's menus do, the arrow of a submenu comes on top of the owner's drawing.
    if (item->submenu) {
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = QRect(area.right() - area.height(), area.top(), area.height(), area.height());
        style()->drawPrimitive(QStyle::PE_IndicatorArrowRight, &arrow, &painter, this);
    }
}

QSize OwnerDrawStyle::sizeFromContents(
    ContentsType type, const QStyleOption* option, const QSize& size, const QWidget* widget) const
{
    auto* menu = dynamic_cast<const PopupMenu*>(widget);
    if (type == CT_MenuItem && menu) {
        if (const QSize* owner = menu->ownersize(option)) {
            return *owner;
        }
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void OwnerDrawStyle::drawControl(
    ControlElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    auto* menu = dynamic_cast<const PopupMenu*>(widget);
    if (element == CE_MenuItem && menu && menu->ownersize(option)) {
        menu->drawowner(*static_cast<const QStyleOptionMenuItem*>(option), *painter);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

// Where a popup of that size goes: at the point as aligned, on the point's screen, off the
// exclusion rectangle when there is room.
QPoint placement(QSize size, const win::PopupMenuRequest& request)
{
    int x = request.at.x;
    int y = request.at.y;
    if (request.flags & TPM_CENTERALIGN) {
        x -= size.width() / 2;
    } else if (request.flags & TPM_RIGHTALIGN) {
        x -= size.width();
    }
    if (request.flags & TPM_VCENTERALIGN) {
        y -= size.height() / 2;
    } else if (request.flags & TPM_BOTTOMALIGN) {
        y -= size.height();
    }
    QScreen* screen = QGuiApplication::screenAt(QPoint(request.at.x, request.at.y));
    screen = screen ? screen : QGuiApplication::primaryScreen();
    if (!screen) {
        return QPoint(x, y);
    }
    const QRect work = screen->availableGeometry();
    x = std::clamp(x, work.left(), std::max(work.left(), work.right() + 1 - size.width()));
    y = std::clamp(y, work.top(), std::max(work.top(), work.bottom() + 1 - size.height()));
    if (const RECT* exclude = request.exclude) {
        QRect placed(QPoint(x, y), size);
        QRect avoid(QPoint(exclude->left, exclude->top), QPoint(exclude->right - 1, exclude->bottom - 1));
        if (placed.intersects(avoid)) {
            if (exclude->bottom + size.height() <= work.bottom() + 1) {
                y = exclude->bottom;
            } else if (exclude->top - size.height() >= work.top()) {
                y = exclude->top - size.height();
            }
        }
    }
    return QPoint(x, y);
}

void hotfirst(QMenu& menu)
{
    for (QAction* action : menu.actions()) {
        if (!action->isSeparator() && action->isEnabled()) {
            menu.setActiveAction(action);
            return;
        }
    }
}

} // namespace

bool popupmenu(const win::PopupMenuRequest& request, int& next)
{
    HWND owner = win::menuowner();
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || !owner) {
        return false;
    }
    QPointer<PopupMenu> menu
        = new PopupMenu(request.menu, std::max(0, request.baritem), widgetof(GetAncestor(owner, GA_ROOT)));
    menu->baritem = request.baritem;
    current = menu;
    ended = false;
    const int mine = ++generation;
    // A menu that goes with its owner's widget, or closes with nothing chosen, ends the tracking;
    // Qt reports a choice after the close, so a modeless menu looks once that has had its turn.
    QObject::connect(menu, &QObject::destroyed, [mine] {
        if (generation == mine) {
            win::menuclosed();
        }
    });
    if (request.modeless) {
        QObject::connect(menu, &QMenu::aboutToHide, menu, [menu, mine] {
            QTimer::singleShot(0, menu, [menu, mine] {
                if (generation == mine) {
                    win::menuclosed();
                }
                menu->deleteLater();
            });
        });
    }
    menu->prepare();
    if (ended || !menu) {
        delete menu;
        return true;
    }
    menu->popup(placement(menu->sizeHint(), request));
    if (request.keyboard) {
        hotfirst(*menu);
    }
    if (request.modeless) {
        return true;
    }
    // The menu's loop ends when the menu closes (the backend closes it when its owner dies) or goes.
    QEventLoop loop;
    QObject::connect(menu, &QMenu::aboutToHide, &loop, &QEventLoop::quit);
    QObject::connect(menu, &QObject::destroyed, &loop, &QEventLoop::quit);
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &loop,
        [] { tellowner(WM_ENTERIDLE, MSGF_MENU, 0); });
    if (menu->isVisible()) {
        loop.exec();
    }
    ++generation; // what follows reports the end itself
    next = menu ? menu->next : -1;
    if (next < 0 && !(menu && menu->tobar)) {
        win::menuclosed();
    }
    current = nullptr;
    if (menu) {
        menu->deleteLater();
    }
    return true;
}

void closepopupmenus()
{
    ended = true;
    while (auto* popup = dynamic_cast<PopupMenu*>(QApplication::activePopupWidget())) {
        popup->hide();
    }
    if (current) {
        current->hide();
    }
    current = nullptr;
}

} // namespace winqt
