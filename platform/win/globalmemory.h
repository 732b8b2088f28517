#pragma once

// Movable global memory: blocks reached through a handle and locked to reach their bytes. The
// printer blocks (DEVNAMES, DEVMODE) travel in them between the print dialog, the remembered
// printer and the printing calls, as the clipboard's blocks will.
// Callers: the printing calls (casq); the print run and the design clipboard (framework, schematic).

#include <cstddef>

#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_DDESHARE = 0x2000;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// A block of `bytes` bytes (zeroed with GMEM_ZEROINIT); null when it cannot be had. A block of 0
// bytes is valid and locks to null.
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
// Null on success; the handle back when it names no live block.
HGLOBAL GlobalFree(HGLOBAL block);
// The block's bytes, counting one more lock; null for a dead handle or an empty block.
void* GlobalLock(HGLOBAL block);
// Counts one lock less; FALSE once the block is no longer locked (or for a dead handle).
BOOL GlobalUnlock(HGLOBAL block);
// The size the block was made with; 0 for a dead handle.
size_t GlobalSize(HGLOBAL block);
