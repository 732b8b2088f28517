#pragma once

// The clipboard: data in formats, standard (CF_*) or registered by name. The data are global
// memory blocks (bitmap handles for CF_BITMAP) that belong to the clipboard once set. The
// clipboard is shared with the desktop: text, images and registered formats go to the system
// clipboard when it closes, and what another program put there can be read here.

#include "platform/win/types.h"

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_BITMAP = 2;
constexpr UINT CF_DIB = 8;
constexpr UINT CF_UNICODETEXT = 13;

// The id of a named format: the same for the same name (ASCII case ignored), from 0xC000 up;
// 0 for an empty name.
UINT RegisterClipboardFormatA(LPCSTR name);
// The name of a registered format (at most size - 1 characters); 0 for other formats.
int GetClipboardFormatNameA(UINT format, LPSTR buffer, int size);
// FALSE while another window holds it open.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
// Frees the data; the previous owner hears WM_DESTROYCLIPBOARD, the opener becomes the owner.
// FALSE unless open.
BOOL EmptyClipboard();
// Answers the data set, null on failure (not open, not emptied first). Null data promises the
// format: the owner renders it on WM_RENDERFORMAT.
HANDLE SetClipboardData(UINT format, HANDLE data);
// The data of the format (still the clipboard's), null when absent or not open.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
int CountClipboardFormats();
// The format after `format` (0: the first); 0 after the last.
UINT EnumClipboardFormats(UINT format);
HWND GetClipboardOwner();
