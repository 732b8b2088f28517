#pragma once

// Global memory blocks: the currency of the clipboard and of printer settings. A block is
// allocated, locked for its address, unlocked and freed; a fixed block's handle is its address.

#include <cstddef>

#include "platform/win/types.h"

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// Null when out of memory. The contents are zero with GMEM_ZEROINIT, unspecified otherwise.
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
// A block of the new size keeping the old contents, zeros beyond them; a moveable block keeps its
// handle. Null for a dead handle or a locked fixed block.
HGLOBAL GlobalReAlloc(HGLOBAL block, size_t bytes, UINT flags);
// The block's first byte; null for a dead handle.
LPVOID GlobalLock(HGLOBAL block);
// TRUE while the block stays locked.
BOOL GlobalUnlock(HGLOBAL block);
// 0 for a dead handle.
size_t GlobalSize(HGLOBAL block);
// Null when freed; the handle back for a dead handle.
HGLOBAL GlobalFree(HGLOBAL block);
