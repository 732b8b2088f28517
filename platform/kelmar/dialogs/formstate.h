#pragma once

// What the dialogs of this folder share: the state a form's callback works on (handed to the form
// as its first argument after the bound ones, and kept with the form), and the controls that show
// a graphic or a text style.
// Callers: the dialogs of this folder.

#include "platform/casq/styles.h"
#include "platform/drelm/form.h"

namespace kelmardialogs {

// Control ids of the forms.
constexpr int ID_DELETE = 160;
constexpr int ID_NEW = 161;
constexpr int ID_STYLES = 170;
constexpr int ID_FILLED = 171;
constexpr int ID_FILLCOLOUR = 172;

// Takes the callback's state from the form's arguments when it starts and keeps it with the form.
void keepstate(FORM& form);
void* stateof(FORM& form);
template <class T> T* state(FORM& form)
{
    return static_cast<T*>(stateof(form));
}

// The controls of a graphic style: line style, width, colours and fill.
void showstyle(FORM& form, const GSTYLE& style);
// The style the controls give; false, after telling the user, when a size is no number.
bool takestyle(FORM& form, GSTYLE& style);
// The controls of a text style: face, height, width, effects, colour and whether it shows (the
// last two only where the form has them).
void showstyle(FORM& form, const TSTYLE& style);
bool takestyle(FORM& form, TSTYLE& style);

// Fills the face list and selects the face (added when the system lacks it).
void showface(CONTROL* faces, const char* face);

bool samestyle(const GSTYLE& a, const GSTYLE& b);
bool samestyle(const TSTYLE& a, const TSTYLE& b);

// The callbacks of the forms (KELMARFORMS lists them): one graphic style, a table of styles, the
// name of a new style, a 2D text, the property assignment tool.
DLGCODES gstyleproc(FORM& form, unsigned msg, unsigned wparam, long lparam);
template <class T> DLGCODES tableproc(FORM& form, unsigned msg, unsigned wparam, long lparam);
DLGCODES nameproc(FORM& form, unsigned msg, unsigned wparam, long lparam);
DLGCODES textproc(FORM& form, unsigned msg, unsigned wparam, long lparam);
DLGCODES proptoolproc(FORM& form, unsigned msg, unsigned wparam, long lparam);

} // namespace kelmardialogs
