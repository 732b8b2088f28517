#pragma once

// The main program's messages (its table "APPLNMESSAGES") that the project and the program show,
// by number, each in its box: errors in the error box, notices in the information box.

constexpr unsigned long MSG_COULDNOTOPEN = 4;
constexpr unsigned long MSG_SAVECHANGES = 6;
constexpr unsigned long MSG_NOPROPDEFS = 15;
constexpr unsigned long MSG_PROPDEFSREADONLY = 16;
constexpr unsigned long MSG_PROPDEFSOLD = 17;
constexpr unsigned long MSG_DIRECTOPEN = 18;
constexpr unsigned long MSG_LATERVERSION = 21;
constexpr unsigned long MSG_EDITINGVARIANT = 24;
constexpr unsigned long MSG_NODESCRIPTION = 27;
constexpr unsigned long MSG_DAMAGEDENTRY = 28;
constexpr unsigned long MSG_UNREADABLEDATABASE = 29;

// Formats the message of the current context's table with the arguments and shows it.
void showmessage(unsigned long id, ...);
