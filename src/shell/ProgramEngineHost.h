#pragma once
// The program's host of the prediction engine: the shared season arrays, the current
// formula, StopTest, the message loop hook and the program folder. Every engine a window
// places is built on it. GUI-free.
#include "EngineHost.h"

namespace vexal {

EngineHost& ProgramEngineHost();

} // namespace vexal
