#pragma once

// The dialogs of the drawing primitives (platform_kelmar_dialogs): the style editors of the
// named style tables (XSTYLE_MANAGER::edit and createnew), the editor of one graphic style, the
// edit of a primitive and the text entry of a 2D text (PRIMITIVE::edit, PR_TEXT::entertext), and
// the property assignment tool's dialog (PROPTOOL::edit). Their forms are
// resources/kelmar/forms.rc, which the module that opens them compiles into its resources; its
// table of form callbacks takes KELMARFORMS.
// Callers: the schematic's style commands, wire and graphic edits and property tool (TAVI).

#include "platform/drelm/formfactory.h"

struct GSTYLE;

// The graphic-style editor on one style ("Edit Wire Style"); 1 when confirmed and changed.
int editgstyle(const char* title, GSTYLE& style);

// The forms of this library with their callbacks, for a module's table of form callbacks.
extern const FORM_CBITEM KELMARFORMS[];
extern const int KELMARFORMCOUNT;
