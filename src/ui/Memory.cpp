#include "Memory.h"

#include <limits>
#include <map>
#include <vector>

namespace vexal {

namespace {
struct Block {
    std::vector<uint8_t> bytes;
    int32_t locks = 0;
};
struct Heap {
    std::map<int32_t, Block> blocks;
    int32_t next = 1;
};
Heap& TheHeap()
{
    static Heap heap;
    return heap;
}
Block* Find(int32_t handle)
{
    auto& blocks = TheHeap().blocks;
    auto it = blocks.find(handle);
    return it == blocks.end() ? nullptr : &it->second;
}
// Blocks larger than this are refused rather than risking an allocation failure.
constexpr int32_t MaxBlock = 256 * 1024 * 1024;
} // namespace

int32_t GlobalAlloc(int32_t /*flags*/, int32_t size)
{
    if (size < 0 || size > MaxBlock)
        return 0;
    Heap& heap = TheHeap();
    // Handles count upward and skip 0 and any that are still in use after a wrap.
    int32_t handle = heap.next;
    while (handle == 0 || heap.blocks.count(handle))
        handle = handle == std::numeric_limits<int32_t>::max() ? 1 : handle + 1;
    heap.next = handle == std::numeric_limits<int32_t>::max() ? 1 : handle + 1;
    // The reserve gives a zero-length block an address of its own too.
    std::vector<uint8_t>& bytes = heap.blocks[handle].bytes;
    bytes.reserve(static_cast<std::size_t>(size == 0 ? 1 : size));
    bytes.resize(static_cast<std::size_t>(size), 0);
    return handle;
}

uint8_t* GlobalLock(int32_t handle)
{
    Block* b = Find(handle);
    if (!b)
        return nullptr;
    ++b->locks;
    return b->bytes.data();
}

bool GlobalUnlock(int32_t handle)
{
    Block* b = Find(handle);
    if (!b || b->locks == 0)
        return false;
    --b->locks;
    return b->locks > 0;
}

int32_t GlobalFree(int32_t handle)
{
    return TheHeap().blocks.erase(handle) ? 0 : handle;
}

int32_t GlobalSize(int32_t handle)
{
    Block* b = Find(handle);
    return b ? static_cast<int32_t>(b->bytes.size()) : 0;
}

int32_t GlobalBlockCount() { return static_cast<int32_t>(TheHeap().blocks.size()); }

cMemory::~cMemory() { FreeMemory(); }

void cMemory::Handle(int32_t hMem)
{
    FreeMemory();
    handle_ = hMem;
}

uint8_t* cMemory::Pointer()
{
    if (handle_ != 0 && pointer_ == nullptr)
        LockMemory();
    return pointer_;
}

int32_t cMemory::Size() const { return handle_ != 0 ? GlobalSize(handle_) : 0; }

bool cMemory::AllocateMemory(int32_t lSize, int32_t dwFlags)
{
    FreeMemory();
    handle_ = GlobalAlloc(dwFlags, lSize);
    return handle_ != 0;
}

bool cMemory::LockMemory()
{
    if (handle_ == 0 || pointer_ != nullptr)
        return false;
    pointer_ = GlobalLock(handle_);
    return pointer_ != nullptr;
}

void cMemory::UnlockMemory()
{
    if (handle_ != 0 && pointer_ != nullptr) {
        GlobalUnlock(handle_);
        pointer_ = nullptr;
    }
}

void cMemory::FreeMemory()
{
    if (handle_ != 0) {
        UnlockMemory();
        GlobalFree(handle_);
        handle_ = 0;
    }
}

void cMemory::ReleaseDontFreeMemory()
{
    UnlockMemory();
    handle_ = 0;
}

} // namespace vexal
