#pragma once

// The library's own bookkeeping of forms: its window classes, where layouts come from, the
// translator of their texts and the forms that are open. Not for callers outside the library.

#include "platform/win/handletypes.h"

class FORM;
class ITRANSLATE;

namespace drelm {

// The window class of form windows and of the windows that host the library's controls.
constexpr const char* FORMCLASS = "DrelmForm";
constexpr const char* CONTROLCLASS = "DrelmControl";

// Registers the classes (again: nothing changes) / unregisters them.
void registerformclasses();
void unregisterformclasses();

// The module whose forms serve every module (dlg_init's library); null: none.
void setformlibrary(HINSTANCE library);
HINSTANCE getformlibrary();
void setformtranslator(ITRANSLATE* translator);
ITRANSLATE* getformtranslator();

// Open forms, so that dlg_term can close those still open.
void formopened(FORM* form);
void formclosed(FORM* form);
void closeallforms();

} // namespace drelm
