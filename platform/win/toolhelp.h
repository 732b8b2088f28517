#pragma once

// The module snapshot of the process, as the fault reports walk it.
// Callers: process support (core).

#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"

constexpr DWORD TH32CS_SNAPMODULE = 0x8;
constexpr int MAX_MODULE_NAME32 = 255;

struct MODULEENTRY32 {
    DWORD dwSize;
    DWORD th32ModuleID;
    DWORD th32ProcessID;
    DWORD GlblcntUsage;
    DWORD ProccntUsage;
    BYTE* modBaseAddr;
    DWORD modBaseSize;
    HMODULE hModule;
    char szModule[MAX_MODULE_NAME32 + 1]; // the file's name
    char szExePath[260]; // its path, Windows form, cut to fit
};

// A snapshot of the modules of the calling process (process 0 or its own id), closed with
// CloseHandle; INVALID_HANDLE_VALUE for other flags or processes.
HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD process);
// The first or next module of the snapshot; FALSE at the end or when entry->dwSize is too small.
BOOL Module32First(HANDLE snapshot, MODULEENTRY32* entry);
BOOL Module32Next(HANDLE snapshot, MODULEENTRY32* entry);
