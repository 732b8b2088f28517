#pragma once

// Small operations on native menu items that the command table and the menu classes share.

#include <string>

#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"

// Whether one of the menu's own items (not its submenus') has the command id.
bool holdscommand(HMENU menu, UINT id);
// Whether the item at position is a separator; false outside the menu.
bool isseparatoritem(HMENU menu, int position);
// Whether the menu's last item is a separator.
bool endsinseparator(HMENU menu);
// Makes the item at position owner-drawn, keeping its text and everything else.
void makeownerdrawn(HMENU menu, int position);
// Inserts an owner-drawn separator at position (-1: at the end) whose data is `data`.
bool insertownerdrawnseparator(HMENU menu, int position, ULONG_PTR data);
// The item's text (at most 256 characters); "" outside the menu.
std::string menutext(HMENU menu, int position);
// Inserts an owner-drawn item at position (-1: at the end): a command item with the id, or the
// item of a popup (submenu not null) under the text; its data is `data`.
bool insertowneritem(HMENU menu, int position, UINT id, const char* text, HMENU submenu, ULONG_PTR data);
// Points the native item's data at `data`.
void setitemdata(HMENU menu, int position, ULONG_PTR data);
