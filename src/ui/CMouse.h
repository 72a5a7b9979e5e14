#pragma once
// CMouse: the scoped busy cursor. A procedure that starts a long piece of work makes one and
// calls SetPointer(11); when the object goes out of scope the pointer from before the first
// SetPointer comes back. One that never had SetPointer called leaves the pointer alone.
#include <cstdint>

namespace vexal {

// Mouse-pointer shapes, with the runtime's numbers.
enum MousePointerShape : int32_t {
    vbDefault = 0, vbArrow = 1, vbCrosshair = 2, vbIbeam = 3, vbSizePointer = 5, vbSizeNESW = 6,
    vbSizeNS = 7, vbSizeNWSE = 8, vbSizeWE = 9, vbUpArrow = 10, vbHourglass = 11, vbNoDrop = 12,
    vbArrowHourglass = 13, vbArrowQuestion = 14, vbSizeAll = 15,
};

// The application's mouse pointer (the screen's pointer shape, 0 = each window's own).
int32_t MousePointer();
void SetMousePointer(int32_t shape);

class CMouse {
public:
    CMouse() = default;
    // Shorthand for creating one and calling SetPointer at once.
    explicit CMouse(int32_t pointer) { SetPointer(pointer); }
    ~CMouse();
    CMouse(const CMouse&) = delete;
    CMouse& operator=(const CMouse&) = delete;

    // Saves the pointer on the first call and sets the given shape.
    void SetPointer(int32_t pointer);

private:
    bool saved_ = false;
    int32_t savedPointer_ = 0;
};

} // namespace vexal
