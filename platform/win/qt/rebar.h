#pragma once

// The rebar control's state, shared by its window procedure (rebar.cpp), which answers the
// messages and lays the bands out, and its Qt face (rebargrips.cpp): one Qt widget per band
// gripper, which the user takes to drag the band.
// Callers: the layer.

#include <QPointer>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/win/qt/controls.h"

namespace winqt {

struct Band {
    UINT style = 0;
    HWND child = nullptr;
    UINT cxMinChild = 0;
    UINT cyMinChild = 0;
    UINT cx = 0;
    UINT cyChild = 0;
    UINT cyMaxChild = 0;
    UINT cyIntegral = 0;
    UINT cxIdeal = 0;
    UINT id = 0;
    LPARAM lParam = 0;
    UINT cxHeader = 0;
    bool headerset = false;
    std::string text;
    COLORREF fore = CLR_DEFAULT;
    COLORREF back = CLR_DEFAULT;
    RECT rect {}; // client coordinates
    int row = 0;
    QPointer<QWidget> grip; // the gripper's widget, null for none
};

struct Rebar {
    HWND self = nullptr;
    std::vector<Band> bands;
    int height = 0;
    HIMAGELIST images = nullptr;
    int dragging = -1;
    bool mousedrag = false;
};

// Null once the window is gone.
Rebar* rebarof(HWND window);
bool vertical(const Rebar& bar);
// The rectangle of the band's gripper; empty when the band shows none.
RECT gripperof(const Rebar& bar, const Band& band);
// The length of a gripper: the Qt style's tool bar handle.
int gripperextent();

// The user took the band's gripper: with `twice` (a double click) and RBS_DBLCLKTOGGLE the band
// takes its row; else RBN_BEGINDRAG asks the parent, and unless it refuses the band is dragged.
void grab(Rebar& bar, int index, bool twice);

// The grippers' widgets brought in line with the bands after a layout.
void syncgrips(Rebar& bar);

} // namespace winqt
