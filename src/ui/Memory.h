#pragma once
// cMemory: owns one block of memory for as long as an operation hands a structure over by
// handle. Blocks live in a small handle table of our own (the stand-in for the global heap),
// so a handle can be adopted from or passed to another owner as the callers expect.
#include <cstdint>

namespace vexal {

// Allocation flags, with the values callers pass.
inline constexpr int32_t GMEM_FIXED = 0x0;
inline constexpr int32_t GMEM_MOVEABLE = 0x2;
inline constexpr int32_t GMEM_ZEROINIT = 0x40;

// The heap behind the handles. A handle is never 0; a block is always zero-filled.
int32_t GlobalAlloc(int32_t flags, int32_t size);        // 0 when the size is negative or too large
uint8_t* GlobalLock(int32_t handle);                     // nullptr for an unknown handle
bool GlobalUnlock(int32_t handle);                       // true while the block is still locked
int32_t GlobalFree(int32_t handle);                      // 0 on success, the handle when unknown
int32_t GlobalSize(int32_t handle);                      // 0 for an unknown handle
// Number of live blocks (for tests and leak checks).
int32_t GlobalBlockCount();

class cMemory {
public:
    cMemory() = default;
    ~cMemory();
    cMemory(const cMemory&) = delete;
    cMemory& operator=(const cMemory&) = delete;

    int32_t Handle() const { return handle_; }
    // Frees the block held, then owns hMem.
    void Handle(int32_t hMem);
    // Locks an unlocked block first; nullptr when no block is held.
    uint8_t* Pointer();
    int32_t Size() const;

    bool AllocateMemory(int32_t lSize, int32_t dwFlags);
    // False when no block is held or it is already locked.
    bool LockMemory();
    void UnlockMemory();
    void FreeMemory();
    // Gives the block away: the object is empty afterwards and will not free it.
    void ReleaseDontFreeMemory();

private:
    int32_t handle_ = 0;
    uint8_t* pointer_ = nullptr;
};

} // namespace vexal
