#pragma once
// The stat import: merges a stat file (a path ending in ".24") into the season files and
// patches the loaded arrays in place. Games marked 1 are added to their week, games marked
// -1 removed, every other game updated with its scores, box score and lines; the user is
// asked before data already there or differing team codes are overwritten. Every message
// goes through the message service; the end refreshes the active view through the host.
#include <map>
#include <string>

namespace vexal {

// What an import did: whether it ran to the end of the stat file (a No to one of its
// questions or to "Should I continue?" stops it), how many games it added, updated or
// removed, how many records failed with an error, and how many found no game to go to, by
// the season file they were not found in (each dropped without a message of its own).
struct ImportResult {
    bool finished = false;
    int imported = 0;
    int failed = 0;
    std::map<std::string, int> notFound;
};

ImportResult Import(const std::string& file);

// "14 games imported, 0 failed", with ", 2 not found in 2024.nfl" for each season file that
// some records found no game in: the counts add up to the file's records.
std::string ImportCounts(const ImportResult& result);

} // namespace vexal
