#pragma once

// The key-map editor: the form "edit_keyboard_map" over the command table and key translator of
// the current module. It offers the module's own command contexts (never the global ones), lists
// their commands with their keys, takes a typed key, warns of keys the menus and help use, refuses
// fixed bindings, and imports, exports or resets the map. OK keeps the changes in the registry and
// tells every frame that the key map changed; Cancel puts the map back as it was at opening.
// Callers: a module's command that opens the editor (editkeymap), through its callback table.

#include "platform/drelm/formcallback.h"

// Runs the editor modally for the current module; the form's end code.
int editkeymap();
// The form's callback.
DLGCODES edit_keyboard_map_hlr(FORM& form, unsigned msg, unsigned wparam, long lparam);
