#pragma once
// The stat import: merges a stat file (a path ending in ".24") into the season files and
// patches the loaded arrays in place. Games marked 1 are added to their week, games marked
// -1 removed, every other game updated with its scores, box score and lines; the user is
// asked before data already there or differing team codes are overwritten. Every message
// goes through the message service; the end refreshes the active view through the host.
#include <string>

namespace vexal {

void Import(const std::string& file);

} // namespace vexal
