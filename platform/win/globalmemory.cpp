#include "platform/win/globalmemory.h"

#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>
#include <vector>

#include "platform/win/winerror.h"

namespace {

struct Block {
    std::vector<unsigned char> bytes;
    int locks = 0;
};

struct Blocks {
    std::mutex mutex;
    std::unordered_map<HGLOBAL, std::unique_ptr<Block>> live;
};

Blocks& blocks()
{
    static Blocks* instance = new Blocks;
    return *instance;
}

// The live block behind a handle, with the table locked by the caller; null for a dead handle.
Block* find(Blocks& all, HGLOBAL handle)
{
    auto found = all.live.find(handle);
    return found == all.live.end() ? nullptr : found->second.get();
}

} // namespace

HGLOBAL GlobalAlloc(UINT flags, size_t bytes)
{
    auto block = std::make_unique<Block>();
    try {
        block->bytes.resize(bytes); // zeroed whatever the flags: nothing relies on garbage
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    HGLOBAL handle = block.get();
    auto& all = blocks();
    std::lock_guard lock(all.mutex);
    all.live.emplace(handle, std::move(block));
    return handle;
}

HGLOBAL GlobalFree(HGLOBAL handle)
{
    auto& all = blocks();
    std::lock_guard lock(all.mutex);
    if (!all.live.erase(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return handle;
    }
    return nullptr;
}

void* GlobalLock(HGLOBAL handle)
{
    auto& all = blocks();
    std::lock_guard lock(all.mutex);
    Block* block = find(all, handle);
    if (!block || block->bytes.empty()) {
        SetLastError(block ? ERROR_SUCCESS : ERROR_INVALID_HANDLE);
        return nullptr;
    }
    ++block->locks;
    return block->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL handle)
{
    auto& all = blocks();
    std::lock_guard lock(all.mutex);
    Block* block = find(all, handle);
    if (!block || block->locks == 0) {
        return FALSE;
    }
    return --block->locks > 0;
}

size_t GlobalSize(HGLOBAL handle)
{
    auto& all = blocks();
    std::lock_guard lock(all.mutex);
    Block* block = find(all, handle);
    return block ? block->bytes.size() : 0;
}
