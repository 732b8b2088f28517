#pragma once

// The schematic editor's command ids (bits 0-11; bits 12-15 carry an argument), the command
// contexts of its menus and the ids of its tool bars, as its command tables (resources/tavi/)
// give them.

// Menu contexts.
constexpr unsigned short CTX_FILE = 272;
constexpr unsigned short CTX_EDIT = 273;
constexpr unsigned short CTX_VIEW = 274;
constexpr unsigned short CTX_TOOL = 275;
constexpr unsigned short CTX_DESIGN = 276;
constexpr unsigned short CTX_GRAPH = 277;
constexpr unsigned short CTX_LIBRARY = 280;
constexpr unsigned short CTX_TEMPLATE = 281;
constexpr unsigned short CTX_SYSTEM = 282;
constexpr unsigned short CTX_HELP = 283;

// Tool bars.
constexpr unsigned TB_VIEW = 1808;
constexpr unsigned TB_EDIT = 1824;
constexpr unsigned TB_DESIGN = 1840;

// Commands (the view commands and undo are the editor base's: EDITCMD_REDRAW, EDITCMD_SNAP, ...).
constexpr unsigned short CMD_FINDEDIT = 32;
constexpr unsigned short CMD_AUTOROUTER = 49;
constexpr unsigned short CMD_PROPERTYTOOL = 50;
constexpr unsigned short CMD_SEARCHANDTAG = 51;
constexpr unsigned short CMD_ANNOTATOR = 55;
constexpr unsigned short CMD_ERC = 57;
constexpr unsigned short CMD_NETLISTCOMPILER = 59;
constexpr unsigned short CMD_DESIGNNOTES = 66;
constexpr unsigned short CMD_NEWSHEET = 67;
constexpr unsigned short CMD_REMOVESHEET = 68;
constexpr unsigned short CMD_EXITTOPARENT = 71;
constexpr unsigned short CMD_PREVIOUSSHEET = 74;
constexpr unsigned short CMD_NEXTSHEET = 75;
constexpr unsigned short CMD_PICKPARTS = 208;
constexpr unsigned short CMD_MAKEDEVICE = 210;
constexpr unsigned short CMD_DECOMPOSE = 215;
constexpr unsigned short CMD_PACKAGINGTOOL = 216;
constexpr unsigned short CMD_VERIFYPACKAGINGS = 218;
constexpr unsigned short CMD_BLOCKCOPY = 261;
constexpr unsigned short CMD_BLOCKMOVE = 262;
constexpr unsigned short CMD_BLOCKDELETE = 263;
constexpr unsigned short CMD_BLOCKROTATE = 264;
constexpr unsigned short CMD_OUTPUTAREA = 311;
constexpr unsigned short CMD_FALSEORIGIN = 322;
constexpr unsigned short CMD_XCURSOR = 325;
constexpr unsigned short CMD_REDO = 337;
constexpr unsigned short CMD_CUT = 338;
constexpr unsigned short CMD_COPY = 339;
constexpr unsigned short CMD_PASTE = 340;

// Flags of a row beside the editor base's: refused while a simulation runs, and on the master
// sheet.
constexpr unsigned long EDITCMDF_NOTSIMULATING = 0x200;
constexpr unsigned long EDITCMDF_NOTMASTER = 0x400;
