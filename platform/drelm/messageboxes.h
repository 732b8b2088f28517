#pragma once

// Message boxes of the dialog library. Texts are UTF-8; a text that starts with the mark «L» is
// shown left-aligned (without the mark), any other centred. The boxes with the window layer's
// button sets go through MessageBoxA, so that whatever answers the layer's boxes (the library's
// dialog after dlg_init, standard error while alerts are off, a test) answers them too.
// Callers: the error handler's helpers, the project, the verifier, page preview and output forms
// (framework), and every module.

#include <string>

#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"

// An error or an information, with OK; IDOK.
int errbox(const char* text);
int infbox(const char* text);
// A question with OK and Cancel; non-zero for OK.
int confirm(const char* text);
// A question with Yes and No (Yes the default); non-zero for Yes.
int yesno(const char* text);
// A question with Yes and No, No the default; non-zero for Yes.
int noyes(const char* text);
// A question with Yes, No and Cancel; IDYES, IDNO or IDCANCEL.
int yesnocancel(const char* text);

// Alert types: the icon shown.
constexpr int ALERT_INFORMATION = 0;
constexpr int ALERT_QUESTION = 1;
constexpr int ALERT_WARNING = 2;
constexpr int ALERT_ERROR = 3;
// A box with the buttons of `buttons`: their labels separated by backslashes, a leading '+'
// marking the default ("+&Replace\&New"; "&&" shows an ampersand); null or "" gives one "&OK".
// The index of the button chosen (0 the first); Escape or closing the box answers the last. While
// alerts are off the box goes to standard error and answers the default.
int alert(int type, const char* buttons, const char* text);

namespace drelm {

// The library's dialog for MessageBoxA (dlg_init installs it).
int messagebox(HWND owner, const char* text, const char* caption, UINT style);
// A form that cannot be built, told in an error box.
void reportformerror(const std::string& text);

} // namespace drelm
