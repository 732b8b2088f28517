#pragma once

// TOOLBAR: a control bar holding a toolbar control whose buttons are command ids of a command
// context. Its images come from one bitmap strip sized for the screen, with a lightened copy for
// hot buttons and a greyed one for disabled buttons. It reports the button under the mouse to its
// window as a command hint, shows each button's tip from the command tables, and passes clicks on
// to its window as WM_COMMAND, remembering the last for `edit`.

#include "framework/bars/ctrlbar.h"
#include "platform/win/qt/controls.h"

class TOOLBAR : public CTRLBAR {
public:
    // Titled `title`, with the strip `bitmap` (sized by configuresize) and a toolbar control
    // without buttons; command context 0x110.
    TOOLBAR(BASEHWND* parent, unsigned id, const char* title, const char* bitmap, int verticaldocking);
    // The same, docking vertically too, with the buttons.
    TOOLBAR(BASEHWND* parent, unsigned id, const char* title, const char* bitmap, const TBBUTTON* buttons,
        int count);
    ~TOOLBAR() override;

    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // The bar around its buttons: a column when docked in a vertical rebar, else a row.
    BOX resize() override;
    // The image index of a command's button.
    virtual int getbitmap(unsigned command);

    // Makes the toolbar control with the bar's sizes and image lists, and the buttons when given.
    void create(const TBBUTTON* buttons, int count, unsigned style);
    void addbuttons(const TBBUTTON* buttons, int count);
    // `count` plain enabled buttons with consecutive images and commands.
    void addbuttons(int firstimage, int firstcommand, int count);
    void insertseparator(int index);
    void checkbutton(unsigned command, int check);
    void enablebutton(unsigned command, int enable);
    int isbuttonenabled(unsigned command);
    int numbuttons();
    void setbitmap(unsigned command, int image);
    // Redraws the buttons without erasing.
    void repaint();
    void setcmdctx(unsigned short context) { commandcontext = context; }
    unsigned short getcmdctx() const { return commandcontext; }
    // The last command that passed through the bar, cleared.
    int edit();
    // Every button, separators included, is enabled exactly when the list holds its command; a
    // null list disables them all.
    void setactvcmds(const int* commands, int count);
    HWND gettoolbar() const { return toolbar; }

    // Custom drawing of a hot or pressed button on its gradient, for any toolbar control (bar: the
    // button's image index, or null for the control's): CDRF_SKIPDEFAULT once drawn, CDRF_DODEFAULT
    // for an indeterminate button or a control without a hot button.
    static LRESULT painthottoolbtn(HWND toolbar, NMCUSTOMDRAW* draw, TOOLBAR* bar);

protected:
    HIMAGELIST normalimages = nullptr;
    HIMAGELIST disabledimages = nullptr;
    HIMAGELIST hotimages = nullptr;
    HWND toolbar = nullptr;
    unsigned short commandcontext = 0x110;
    int lastcommand = 0;

private:
    LRESULT notify(NMHDR* header);
    LRESULT customdraw(NMTBCUSTOMDRAW* draw);
    void drawchecked(const NMCUSTOMDRAW& draw);
};
