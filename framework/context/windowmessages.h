#pragma once

// The framework's private messages between frames, their module windows and the tab strip, with
// the encodings their handlers read. (The command hint 0x503 is the bars' WM_COMMANDHINT, the key
// query 0x509 the input handler's WM_KEYQUERY, the relayout request of a sizing bar 0x535 its
// SIZINGBAR_MOVED.)

#include "platform/win/scalars.h"

// Sent to a new native window once it is bound to its object (0, 0).
constexpr UINT WM_WINDOWBOUND = 0x501;
// A command's tooltip for a control: wParam the control's window, lParam MAKELONG(command id,
// command context); context 0 means the window's own, command 0 hides the tip.
constexpr UINT WM_COMMANDTIP = 0x504;
// Help for a topic: wParam the help context id, lParam a HELPINFO* or 0.
constexpr UINT WM_HELPREQUEST = 0x530;
// The frame lays itself out again (wParam 1).
constexpr UINT WM_FRAMELAYOUT = 0x534;
// To an editor's window: a text to take over (lParam, NUL-terminated; kept, and its command posted).
constexpr UINT WM_EDITORTEXT = 0x537;
// To an editor's window: lParam a BOX* of the drawing that changed and is to be redrawn.
constexpr UINT WM_AREACHANGED = 0x539;
// To an editor's window: offer its web address with the yes/no message wParam; whether it has one.
constexpr UINT WM_OFFERWEBADDRESS = 0x53C;
// Answers the window's application context (MODULECONTEXT*).
constexpr UINT WM_GETAPPLNCONTEXT = 0x53D;
// Answers the editor's palette colour of index wParam (an editor's view passes it to the editor).
constexpr UINT WM_GETEDITORCOLOUR = 0x53E;
// Answers the window's font (HFONT).
constexpr UINT WM_GETWINDOWFONT = 0x540;
// To a frame: make a window the active one. wParam the sender, lParam MAKELONG(index, source):
// with a source other than 0xFFFF (-1) the window at source first moves to index.
constexpr UINT WM_SELECTWINDOW = 0x541;
// To a frame: from the tab strip (wParam its window) the user closes the tab of the index in
// lParam's low word; from a module window (wParam its window) the frame deletes that window.
constexpr UINT WM_CLOSETAB = 0x542;
// To a frame: move the window of the index in wParam (of the frame's moving windows, else of its
// own) to the frame under the screen point MAKELONG(x, y) in lParam, or tear it off there.
constexpr UINT WM_MOVEWINDOWTOFRAME = 0x543;
// Posted to every frame when the user changed the key map (the menus show the new keys).
constexpr UINT WM_KEYMAPCHANGED = 0x536;
// Answers the handle of the dialog form shown inside the window; 0x545 stores wParam as the new
// one and answers the old.
constexpr UINT WM_GETDIALOGHANDLE = 0x544;
constexpr UINT WM_EXCHANGEDIALOGHANDLE = 0x545;
// To a frame, posted: run command wParam; lParam 1 when it came from a menu.
constexpr UINT WM_FRAMECOMMAND = 0x546;
// To every window: a library of kind wParam changed, by the window lParam.
constexpr UINT WM_LIBRARYCHANGED = 0x547;
// A status text for the window's status bar: lParam the NUL-terminated text. The only message a
// WM_COPYDATA payload may carry.
constexpr UINT WM_STATUSTEXT = 0x570;
