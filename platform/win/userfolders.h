#pragma once

// The folders the shell names for the user, the temporary folder and temporary file names, and
// the shell's recent documents. The temporary folder is the user's own ($XDG_CACHE_HOME/vkt/tmp,
// else ~/.cache/vkt/tmp, else $XDG_RUNTIME_DIR/vkt), made 0700 and refused when it is a link or
// belongs to someone else: the program's temporary files (autosaves above all) never lie in a
// folder that other users can write to, and survive a crash of the machine. Callers: the autosave, project
// clips and the main program's paths.

#include <string>

#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"

constexpr int CSIDL_PERSONAL = 0x0005;
constexpr int CSIDL_LOCAL_APPDATA = 0x001C;
constexpr UINT SHARD_PATHA = 0x00000002;

constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);

// The temporary folder as a Windows path ending in '\', made when missing. The length copied
// (without the terminating zero); the size needed (with it) when size is too small; 0 when the
// folder cannot be had.
DWORD GetTempPathA(DWORD size, char* buffer);
// The personal documents folder ($XDG_DOCUMENTS_DIR, else ~/Documents) or the local application
// data folder ($XDG_DATA_HOME, else ~/.local/share) as a Windows path of at most MAX_PATH - 1
// characters; the folder need not exist. E_INVALIDARG for any other folder, E_FAIL without a home.
HRESULT SHGetFolderPathA(HWND owner, int folder, HANDLE token, DWORD flags, char* path);
// The user's cache folder ($XDG_CACHE_HOME, else ~/.cache) as a Windows path of at most
// MAX_PATH - 1 characters; the folder need not exist. Empty without a home.
std::string usercachefolder();
// Adding a document to the shell's recently used list: a deliberate no-op here, since the
// program keeps its own recent-file list and the desktops' lists are their own business.
void SHAddToRecentDocs(UINT flags, const void* item);
