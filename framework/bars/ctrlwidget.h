#pragma once

// CTRLWIDGET: a Qt widget (the tool bar of a Qt-based module window) living in the frame's rebars
// like every other control bar. It is a bar and at the same time a frameless label inside the
// bar's window; the widget is laid out in the label, styled from the bar's paddings, and drawn over
// a picture of the rebar's background so that it matches the bars around it. The bar goes with
// its window through Qt's deferred deletion.
// Callers: the Qt main-window host (APPLNWIDGET::addtoolbar).

#include <QLabel>
#include <QString>

#include "framework/bars/ctrlbar.h"

class QToolBar;

class CTRLWIDGET : public CTRLBAR, public QLabel {
public:
    // The bar with the id in the window, holding the tool bar (owned) at the bars' image size.
    CTRLWIDGET(BASEHWND* window, QToolBar* toolbar, unsigned id, int verticaldocking);
    // Lets the child go as setchild does.
    ~CTRLWIDGET() override;

    // Rebuilds the background picture when stale; follows the window's moves and sizes.
    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // The child's size hint widened by 2, for the label and the bar's window.
    BOX resize() override;
    int minwidth() override;
    // Shows the label and the child.
    virtual void show();
    using CTRLBAR::show;

    // The hosted widget: a previous child is detached (and deleted later when owned); the new one
    // is laid out in the label with the bar's style.
    void setchild(QWidget* widget, bool owns);
    QWidget* getchild() const { return child; }
    // Sizes the bar and places the label over its window.
    void reposition();
    // The style sheet of the child for the bar's paddings.
    static QString stylesheet(int verticalpadding, int horizontalpadding);

protected:
    void deleteself() override;

private:
    class STYLE;

    void refreshbackground();

    STYLE* style;
    QWidget* child = nullptr;
    bool ownschild = false;
    bool backgroundstale = true;
};
