#pragma once

// TEXTVIEWER: a window of read-only lines of text (a log), in a fixed-pitch font as wide as the
// columns asked for. Closing the window hides it; the text stays until the viewer is deleted.
// Callers: the error handler's internal-error log (framework).

#include <string>

#include "platform/tirsk/basewin.h"

class QPlainTextEdit;

class TEXTVIEWER : public BASEWIN {
public:
    // A hidden top-level window titled `title` (UTF-8), `columns` characters wide.
    TEXTVIEWER(const char* title, int columns);
    ~TEXTVIEWER() override;

    // Adds the text (UTF-8) as the last line and shows it.
    void append(const char* text);
    // Shows the window and brings it up.
    void open();
    int isvisible() const;
    // The lines, joined by line feeds.
    std::string text() const;

    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    QPlainTextEdit* lines = nullptr; // in the window's widget
};
