#pragma once

// The main program's messages (its table "APPLNMESSAGES") that the project and the program show,
// by number, each in its box: errors in the error box, notices in the information box.

#include <string>

constexpr unsigned long MSG_READONLY = 1;
constexpr unsigned long MSG_COULDNOTDELETEBACKUP = 2;
constexpr unsigned long MSG_COULDNOTBACKUP = 3;
constexpr unsigned long MSG_COULDNOTOPEN = 4;
constexpr unsigned long MSG_SAVECHANGES = 6;
constexpr unsigned long MSG_NOPROPDEFS = 15;
constexpr unsigned long MSG_PROPDEFSREADONLY = 16;
constexpr unsigned long MSG_PROPDEFSOLD = 17;
constexpr unsigned long MSG_RECOVERAUTOSAVE = 14;
constexpr unsigned long MSG_DIRECTOPEN = 18;
constexpr unsigned long MSG_OLDERFORMAT = 20;
constexpr unsigned long MSG_LATERVERSION = 21;
constexpr unsigned long MSG_CORRUPTED = 23;
constexpr unsigned long MSG_EDITINGVARIANT = 24;
constexpr unsigned long MSG_NOBACKUPFOLDER = 26;
constexpr unsigned long MSG_NODESCRIPTION = 27;
constexpr unsigned long MSG_DAMAGEDENTRY = 28;
constexpr unsigned long MSG_DAMAGEDAUTOSAVE = 29;

// Formats the message of the current context's table with the arguments and shows it.
void showmessage(unsigned long id, ...);
// The message formatted, for a question to ask with it.
std::string formatmessage(unsigned long id, ...);
