#pragma once
// What the engine needs of the program that places it, and nothing more: the loaded seasons
// it reads in place, the current formula (the game filters of a run, the window options of
// the hosts' statistics calls), the stop request, a turn of the message loop between
// combinations and the folder its files go to. The program's host serves its shared state
// (ProgramEngineHost in src/shell); tests script their own. GUI-free.
#include "FormulaSlots.h"

#include <filesystem>

namespace vexal {

struct SeasonData;

class EngineHost {
public:
    virtual ~EngineHost() = default;
    // The loaded seasons. While a game is evaluated with its spread held at 0 (no line, money
    // lines) the engine writes that spread cell and puts it back before it yields.
    virtual SeasonData& Seasons() = 0;
    // Slots 18 to 21 filter a run's games and head its log; slots 9 to 11 are the window
    // options of the hosts' statistics and power-rating calls, which also keep slot 12 in step.
    virtual Formula& CurrentFormula() = 0;
    // StopTest: the host's Stop command sets it; the run that sees it after a yield clears it.
    virtual bool StopRequested() = 0;
    virtual void ClearStopRequest() = 0;
    // Lets the host's message loop run (DoEvents).
    virtual void Yield() = 0;
    // Where FormulaList.txt and the good and bad formula files are written.
    virtual std::filesystem::path OutputFolder() = 0;
};

} // namespace vexal
