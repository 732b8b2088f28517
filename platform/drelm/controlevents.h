#pragma once

// What controls report beyond their widgets' signals: keys caught by key edits, focus and double
// clicks of value edits, committed text of multi-line edits, and the drawing of list items
// (owner-drawn by the callback, or with a tab stop). Each helper lives as long as `owner`.
// Not for callers outside the library.

#include <QStyledItemDelegate>

class CONTROL;

namespace drelm {

// A key edit takes every key but unmodified Tab, Return and Escape as its key code: the virtual
// key, 0x100 when extended (always for the navigation keys, never for Enter), Shift 0x11000,
// Ctrl 0x22000, Alt 0x44000, Windows 0x88000; it shows the key and reports DLGM_UPDATE.
void capturekeys(CONTROL& control, QObject* owner);
// A value edit selects its whole text when it gains the focus and reports DLGM_RESET on a double
// click.
void watchvalueedit(CONTROL& control, QObject* owner);
// A multi-line edit reports DLGM_UPDATE when it loses the focus with changed text.
void watchtextedit(CONTROL& control, QObject* owner);

// Items of a list box: drawn by the form's callback (WM_MEASUREITEM, WM_DRAWITEM on an image of
// the item) when owner-drawn, else with the text after a tab at the control's tab stop.
class ListDelegate : public QStyledItemDelegate {
public:
    ListDelegate(CONTROL& control, bool ownerdraw, QObject* owner);

    void paint(
        QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    CONTROL& control;
    bool ownerdraw;
};

} // namespace drelm
