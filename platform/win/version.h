#pragma once

// File versions. A module's version resource (a "versioninfo" in its resource source) is compiled
// into the section vkt_version of its file, from where these calls read it without loading the
// file. The block holds the fixed file information alone.
// Callers: process support (core), the process object (framework).

#include "platform/win/scalars.h"

struct VS_FIXEDFILEINFO {
    DWORD dwSignature; // VS_FFI_SIGNATURE
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};

constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;
constexpr DWORD VS_FFI_STRUCVERSION = 0x00010000;
constexpr char versionSectionName[] = "vkt_version";

// The size of the file's version block; 0 when the file cannot be read or has none.
DWORD GetFileVersionInfoSizeA(const char* path, DWORD* handle);
// Copies the version block into data (size bytes at most); FALSE when there is none.
BOOL GetFileVersionInfoA(const char* path, DWORD handle, DWORD size, void* data);
// "\" gives the block's VS_FIXEDFILEINFO; FALSE for any other sub-block or a block without one.
BOOL VerQueryValueA(const void* block, const char* subblock, void** buffer, UINT* length);
