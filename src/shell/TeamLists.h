#pragma once
// The views' lists of teams. A team is its code, never the name a list shows: before 1995 the
// Raiders and the Rams both show as "Los Angeles", and a list of all 32 codes names "Houston"
// and "Cleveland" twice in some seasons. Each entry carries its team's code, and a choice is
// read from the entry chosen.
#include <QString>

#include <cstdint>

class QComboBox;

namespace vexal {

// Adds the entry of team `code`, shown as `name`.
void AddTeamEntry(QComboBox* list, int code, const QString& name);

// The team a list names: the entry chosen while the list shows its name; else the one entry
// named as typed (0 when two clubs share that name, so neither is taken for the other); else
// TeamCode of the text in the season `year` (0: the current week's), which takes the other
// style's names, gives 0 for "" and "None" and -1 for a text that names no team.
int16_t ChosenTeam(const QComboBox* list, int year = 0);

// Shows team `code` as the list's chosen entry with `name` as its text; with no entry of
// `code`, no entry is chosen and the list shows `name`.
void ShowTeam(QComboBox* list, int code, const QString& name);

} // namespace vexal
