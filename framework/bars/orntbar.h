#pragma once

// ORNTBAR: the toolbar that shows and edits an orientation, a rotation in tenths of a degree and
// two mirror flags (bit 1 mirrored in x, bit 2 in y): buttons turn by +90 and -90 degrees and
// mirror in x and y, and an angle box between them takes any angle. The editor sets what the bar
// shows and reads the user's changes back after WM_COMMAND ORNTBAR_CHANGED.

#include "framework/bars/toolbar.h"
#include "platform/ombrel/cts.h"

class FPTEDIT;

// To the window, when the orientation changed (lParam: the button's, or 0 after Return).
constexpr WORD ORNTBAR_CHANGED = 0x104;

class ORNTBAR : public TOOLBAR {
public:
    // "Orientation", strip "tb_ornts", command context 0x120, the buttons and the angle box (id 1),
    // showing the zero transform. With `rightanglesonly` an angle that is no multiple of 90
    // degrees is shown but not stored.
    ORNTBAR(BASEHWND* parent, unsigned id, int rightanglesonly);
    ~ORNTBAR() override;

    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // The toolbar with room for the angle box in its slot.
    BOX resize() override;
    // The rotation images (0 to 5, 6 to 11 tagged) and the mirror images (12 and 13 off, 14 and 15
    // on, 16 to 19 tagged); -1 for another command.
    int getbitmap(unsigned command) override;

    void setornt(const CTS& cts);
    void setmir(short mirror);
    // A positive tag shows the alternative images.
    void settag(int tag);
    // The stored orientation with no offset.
    CTS cts() const;
    short rot() const { return angle; }
    short mir() const { return mirror; }
    int hasfocus() const;

private:
    // The pair a button's command makes of the stored one.
    void command(unsigned id, short& newangle, short& newmirror) const;
    // Reads the angle box; false (and the error reported) for no number.
    bool readangle(short& value) const;
    void changed(short newangle, short newmirror, LPARAM lParam);
    LRESULT notify(NMHDR* header, WPARAM wParam, LPARAM lParam);

    int rotationbase = 0;
    int mirrorbase = 12;
    int angleslot = 2;
    FPTEDIT* anglebox;
    SIZE angletext {};
    int rightanglesonly;
    short angle = 0;
    short mirror = 0;
    int tag = 0;
};
