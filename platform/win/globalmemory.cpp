#include "platform/win/globalmemory.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>
#include <vector>

namespace {

struct Block {
    bool fixed;
    int locks = 0;
    std::vector<BYTE> bytes;
};

std::mutex blockmutex;
std::unordered_map<void*, std::unique_ptr<Block>> blocks;

Block* blockof(HGLOBAL handle)
{
    auto found = blocks.find(handle);
    return found == blocks.end() ? nullptr : found->second.get();
}

HGLOBAL handleof(Block* block) { return block->fixed ? static_cast<void*>(block->bytes.data()) : block; }

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, size_t bytes)
{
    auto block = std::make_unique<Block>();
    block->fixed = !(flags & GMEM_MOVEABLE);
    try {
        block->bytes.assign(bytes ? bytes : 1, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    std::lock_guard lock(blockmutex);
    HGLOBAL handle = handleof(block.get());
    blocks.emplace(handle, std::move(block));
    return handle;
}

HGLOBAL GlobalReAlloc(HGLOBAL handle, size_t bytes, UINT)
{
    std::lock_guard lock(blockmutex);
    Block* block = blockof(handle);
    if (!block || (block->fixed && block->locks > 0)) {
        return nullptr;
    }
    try {
        block->bytes.resize(bytes ? bytes : 1, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (!block->fixed) {
        return handle;
    }
    auto owned = std::move(blocks[handle]);
    blocks.erase(handle);
    HGLOBAL moved = handleof(owned.get());
    blocks.emplace(moved, std::move(owned));
    return moved;
}

LPVOID GlobalLock(HGLOBAL handle)
{
    std::lock_guard lock(blockmutex);
    Block* block = blockof(handle);
    if (!block) {
        return nullptr;
    }
    ++block->locks;
    return block->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL handle)
{
    std::lock_guard lock(blockmutex);
    Block* block = blockof(handle);
    if (!block || block->locks == 0) {
        return FALSE;
    }
    return --block->locks > 0 ? TRUE : FALSE;
}

size_t GlobalSize(HGLOBAL handle)
{
    std::lock_guard lock(blockmutex);
    Block* block = blockof(handle);
    return block ? block->bytes.size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL handle)
{
    std::lock_guard lock(blockmutex);
    return blocks.erase(handle) ? nullptr : handle;
}
