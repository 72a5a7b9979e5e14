#include "AppState.h"

namespace vexal {

AppState& App()
{
    static AppState state;
    return state;
}

void ResetApp() { App() = AppState{}; }

} // namespace vexal
