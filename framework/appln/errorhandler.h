#pragma once

// A module window's errors, hints, information, prompts and status texts: shown in its status bar
// with the kind letter of each ('E', 'H', 'I', 'P', 'S'), errors in the colours, weight and for
// the time the user set, or given to the window itself when it has no status bar. Internal errors
// (faults of the program itself, a missing resource) collect in one text viewer for the whole
// process ("Internal Errors"), or in the log of a run nobody watches. Every text is formatted into
// at most 1023 bytes, cut on a character boundary.
//
// The user's settings, in the per-user registry section "Error Handler":
//   "Error Text Colour" (colour, 0 black), "Error Background Colour" (colour, 0x00FFFF yellow),
//   "Error Message Delay" (seconds, 5), "Error Message Bold" (boolean, 1)

#include <QString>
#include <string>

#include "platform/win/colour.h"

class BASEWIN;
class STATUSBAR;

class APPLNERRORHANDLER {
public:
    APPLNERRORHANDLER() = default;
    APPLNERRORHANDLER(const APPLNERRORHANDLER&) = delete;
    APPLNERRORHANDLER& operator=(const APPLNERRORHANDLER&) = delete;
    virtual ~APPLNERRORHANDLER() = default;

    // The window and its status bar (null: none), and the user's settings.
    void attach(BASEWIN* window, STATUSBAR* statusbar);

    // The description of a command; dropped without a status bar.
    virtual void showhint(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // What the user is asked to do next; to the window while the bar shows another kind of message.
    virtual void showprompt(const char* format, ...) __attribute__((format(printf, 2, 3)));
    virtual void showinfo(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // What the program is doing; a prompt shown on the bar goes to the window first.
    virtual void showstatus(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Beeps and counts the error, also when it goes to the window.
    virtual void showerror(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Appends the text as a line to the internal errors and shows them.
    static void showierror(const char* format, ...) __attribute__((format(printf, 1, 2)));
    // The internal errors shown so far, one per line; "" when none.
    static std::string internalerrors();
    // Closes the viewer of the internal errors, forgetting them (the process, when it ends).
    static void closeinternalerrors();

    void reseterrorcount() { errorcount = 0; }
    int geterrorcount() const { return errorcount; }

    static constexpr const char* SECTION = "Error Handler";

private:
    // Shows the text in the window's own way.
    void towindow(const std::string& text);

    BASEWIN* window = nullptr; // not owned
    STATUSBAR* statusbar = nullptr; // not owned; may be null
    int errorcount = 0;
    COLORREF errortext = 0;
    COLORREF errorbackground = 0x00FFFF;
    int delay = 5;
    int bold = 1;
    std::string prompt; // the prompt shown last
};

// The dialog library's boxes for Qt strings: OK and Cancel, Yes and No (non-zero for OK or Yes),
// an error and an information.
int confirm(const QString& text);
int yesno(const QString& text);
int errbox(const QString& text);
int infbox(const QString& text);
