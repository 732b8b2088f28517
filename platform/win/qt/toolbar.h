#pragma once

// The toolbar control's state, shared by its window procedure (toolbar.cpp), which answers the
// messages and lays the buttons out, and its Qt face (toolbarwidget.cpp): a QToolBar with one
// QToolButton per button, placed where the control laid the button out. The state is the truth;
// the widgets mirror it and report what the user does to them.
// Callers: the layer.

#include <QPointer>
#include <string>
#include <vector>

#include "platform/win/qt/controls.h"

namespace winqt {

class ToolbarWidget;
class ToolButton;

struct ToolbarButton {
    int image = 0;
    int command = 0;
    BYTE state = 0;
    BYTE style = 0;
    DWORD_PTR data = 0;
    INT_PTR string = 0;
    int width = 0; // a separator's, or a set button width; 0 for the default
    RECT rect {};
    QPointer<ToolButton> widget; // null for a separator
    bool ownerdrawn = false; // the parent drew it at the last paint: its widget draws nothing
};

struct Toolbar {
    HWND self = nullptr;
    std::vector<ToolbarButton> buttons;
    SIZE bitmap { 16, 15 };
    SIZE padding { 7, 6 };
    HIMAGELIST normal = nullptr;
    HIMAGELIST hotimages = nullptr;
    HIMAGELIST disabled = nullptr;
    int hot = -1;
    QPointer<ToolbarWidget> widget;
};

// Null once the window is gone.
Toolbar* toolbarof(HWND window);
bool separator(const ToolbarButton& button);
bool vertical(const Toolbar& bar);
// The length of a separator of default width: the Qt style's.
int separatorextent();

// What the user does to a button (`index` its place), as the control answers it: the hot button
// changes (TBN_HOTITEMCHANGE; -1 for none), the button goes down or up, a click checks it as its
// style says and sends WM_COMMAND to the parent. The widgets and the control's own mouse messages
// both come here.
void sethot(Toolbar& bar, int index, DWORD flags);
void setpressed(Toolbar& bar, int index, bool down);
void click(Toolbar& bar, int index);
// The tip the parent gives for the button (TBN_GETINFOTIPA); empty when none.
std::string infotip(Toolbar& bar, int index);
// The image index of the button, asked of the parent (TBN_GETDISPINFOA) for I_IMAGECALLBACK.
int imageof(Toolbar& bar, const ToolbarButton& button);

// The widgets of the control: made once its window has a widget, then brought in line with the
// state after every change of buttons, layout or state.
void makewidget(Toolbar& bar);
void syncwidgets(Toolbar& bar);
// A mouse message of the control's own window that lands on a button's widget goes to that widget
// as the toolkit's event, so that the button behaves as under the user's pointer.
void forwardmouse(Toolbar& bar, int index, UINT message, tagPOINT client);

} // namespace winqt
