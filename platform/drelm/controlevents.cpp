#include "platform/drelm/controlevents.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTimer>

#include "platform/drelm/control.h"
#include "platform/drelm/controltext.h"
#include "platform/drelm/form.h"
#include "platform/win/gdi.h"
#include "platform/win/keys.h"
#include "platform/win/messages.h"
#include "platform/win/qt/keymap.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/structs.h"

namespace drelm {
namespace {

// Calls `react` for the events of one widget; returns what react answers (true: taken).
template <typename React> class Watch : public QObject {
public:
    Watch(QObject* widget, QObject* owner, React react)
        : QObject(owner)
        , react(react)
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override { return react(event); }

private:
    React react;
};

template <typename React> void watch(QObject* widget, QObject* owner, React react)
{
    new Watch<React>(widget, owner, react);
}

bool ismodifier(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta
        || key == Qt::Key_AltGr;
}

// The key code of a key press; 0 for a key without a virtual key.
long keycodeof(const QKeyEvent& event)
{
    const winqt::VirtualKey vk = winqt::virtualkey(event.key(), event.modifiers());
    if (!vk.code)
        return 0;
    long code = vk.code;
    const bool navigation
        = (vk.code >= VK_PRIOR && vk.code <= VK_DOWN) || vk.code == VK_INSERT || vk.code == VK_DELETE;
    if ((vk.extended || navigation) && vk.code != VK_RETURN)
        code |= 0x100;
    if (event.modifiers() & Qt::ShiftModifier)
        code |= 0x11000;
    if (event.modifiers() & Qt::ControlModifier)
        code |= 0x22000;
    if (event.modifiers() & Qt::AltModifier)
        code |= 0x44000;
    return code;
}

} // namespace

void capturekeys(CONTROL& control, QObject* owner)
{
    CONTROL* c = &control;
    watch(control.getwidget(), owner, [c](QEvent* event) {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept(); // the key is the edit's, not a shortcut's
            return true;
        }
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        const int k = key->key();
        if (plain
            && (k == Qt::Key_Tab || k == Qt::Key_Backtab || k == Qt::Key_Return || k == Qt::Key_Enter
                || k == Qt::Key_Escape))
            return false;
        if (ismodifier(k))
            return true;
        if (const long code = keycodeof(*key)) {
            c->setvalue(code);
            c->report(DLGM_UPDATE, c->getid(), code);
        }
        return true;
    });
}

void watchvalueedit(CONTROL& control, QObject* owner)
{
    CONTROL* c = &control;
    auto* line = static_cast<QLineEdit*>(control.getwidget());
    watch(line, owner, [c, line](QEvent* event) {
        if (event->type() == QEvent::FocusIn) {
            // After the press that focused it, which would otherwise place the cursor.
            QTimer::singleShot(0, line, [line] { line->selectAll(); });
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            c->report(DLGM_RESET, c->getid(), 0);
            return true;
        }
        return false;
    });
}

void watchtextedit(CONTROL& control, QObject* owner)
{
    CONTROL* c = &control;
    auto* edit = static_cast<QPlainTextEdit*>(control.getwidget());
    watch(edit, owner, [c, edit](QEvent* event) {
        if (event->type() == QEvent::FocusOut && edit->document()->isModified()) {
            edit->document()->setModified(false);
            c->report(DLGM_UPDATE, c->getid(), 0);
        }
        return false;
    });
}

ListDelegate::ListDelegate(CONTROL& control, bool ownerdraw, QObject* owner)
    : QStyledItemDelegate(owner)
    , control(control)
    , ownerdraw(ownerdraw)
{
}

QSize ListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QSize plain = QStyledItemDelegate::sizeHint(option, index);
    if (!ownerdraw)
        return control.gettabstop() ? QSize(plain.width() + control.gettabstop(), plain.height()) : plain;
    MEASUREITEMSTRUCT measure { ODT_LISTBOX, static_cast<UINT>(control.getid()),
        static_cast<UINT>(index.row()), static_cast<UINT>(plain.width()), static_cast<UINT>(plain.height()),
        static_cast<ULONG_PTR>(control.getitemdata(index.row())) };
    control.report(WM_MEASUREITEM, 0, reinterpret_cast<long>(&measure));
    return QSize(static_cast<int>(measure.itemWidth), static_cast<int>(measure.itemHeight));
}

void ListDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QRect area = option.rect;
    if (ownerdraw && area.width() > 0 && area.height() > 0) {
        // The callback draws on an image of the item, which is then shown in its place.
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP image = CreateCompatibleBitmap(dc, area.width(), area.height());
        HGDIOBJ old = SelectObject(dc, image);
        UINT state = 0;
        if (option.state & QStyle::State_Selected)
            state |= ODS_SELECTED;
        if (option.state & QStyle::State_HasFocus)
            state |= ODS_FOCUS;
        if (!(option.state & QStyle::State_Enabled))
            state |= ODS_DISABLED;
        DRAWITEMSTRUCT draw { ODT_LISTBOX, static_cast<UINT>(control.getid()), static_cast<UINT>(index.row()),
            ODA_DRAWENTIRE, state, nullptr, dc, RECT { 0, 0, area.width(), area.height() },
            static_cast<ULONG_PTR>(control.getitemdata(index.row())) };
        control.report(WM_DRAWITEM, 0, reinterpret_cast<long>(&draw));
        SelectObject(dc, old);
        painter->drawImage(area.topLeft(), winqt::toimage(image));
        DeleteObject(image);
        DeleteDC(dc);
        return;
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    const qsizetype tab = text.indexOf('\t');
    if (!control.gettabstop() || tab < 0) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem before = option;
    initStyleOption(&before, index);
    before.text = text.left(tab);
    option.widget->style()->drawControl(QStyle::CE_ItemViewItem, &before, painter, option.widget);
    painter->save();
    painter->setPen(option.palette.color(
        option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect after = area.adjusted(control.gettabstop(), 0, 0, 0);
    painter->drawText(after, Qt::AlignVCenter | Qt::AlignLeft, text.mid(tab + 1));
    painter->restore();
}

} // namespace drelm
