#pragma once

// COMBOBAR: a control bar holding a read-only drop-down list, a selector in a module window's bar
// area (the project's variant and board selectors). Bars that show the same choice in several
// windows form a COMBOBARSET: choosing an item in one selects it in all of them and sends one
// command to the frame, WM_COMMAND with the bar's id and the item index in bits 12 and up. A
// command id carries only four bits of argument, so an index past 15 goes to the set's `chosen`
// instead.
// Callers: the project's selectors (main program).

#include <functional>

#include "core/containers/dpa.h"
#include "framework/bars/ctrlbar.h"

class COMBOBAR;
class COMBOBOX;
class STRINGLIST;

// The bars of one set; it does not own them, and each bar leaves its set when it goes.
class COMBOBARSET : public GDPA<COMBOBAR> {
public:
    COMBOBARSET() = default;
    COMBOBARSET(const COMBOBARSET&) = delete;
    COMBOBARSET& operator=(const COMBOBARSET&) = delete;
    // The bars are told that the set is gone.
    ~COMBOBARSET() override;

    void setitemlist(const STRINGLIST& items);
    void setcurrentitem(int index);
    void setvisible(int visible);

    // The choice of an item whose index no command can carry (16 and up); null: such a choice
    // only selects it in the bars.
    std::function<void(int index)> chosen;
};

class COMBOBAR : public CTRLBAR {
public:
    // The most items a command id can tell the frame about.
    static constexpr int COMMANDITEMS = 16;

    // A bar with the id in the window, its hints and tips in `hintcontext`, joining the set (none
    // for null); its list control (id 1) in the dialog library's font.
    COMBOBAR(BASEHWND* window, unsigned hintcontext, unsigned id, COMBOBARSET* set);
    // Leaves the set and deletes the control.
    ~COMBOBAR() override;

    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // As wide as the widest item with a scroll bar, as high as a scroll bar and 4.
    BOX resize() override;
    // A bar its set hides stays hidden when its window docks it.
    void attach(REBAR* rebar, int position) override;
    using CTRLBAR::attach;

    // The items, the first selected.
    void setitems(const STRINGLIST& items);
    // Selects the item; an index past the last selects the first.
    void selectitem(int index);
    int numitems() const;
    // The selected item; -1 when none.
    int currentitem() const;
    // Closes the drop-down list.
    void close();
    COMBOBOX* getcombo() const { return combo; }

private:
    friend class COMBOBARSET;

    void chose(int index);

    HWND window; // the module window the bar belongs to
    COMBOBOX* combo;
    COMBOBARSET* set;
    unsigned hintcontext;
};
