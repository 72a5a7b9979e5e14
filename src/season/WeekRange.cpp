#include "WeekRange.h"

#include "AppState.h"
#include "FileChecks.h"
#include "GameWrite.h"
#include "GameRecord.h"
#include "Host.h"
#include "LineRecord.h"
#include "LoaderHost.h"
#include "Preferences.h"
#include "SeasonData.h"
#include "SeasonFileAccess.h"
#include "SeasonLoader.h"
#include "SettingsStore.h"
#include "SharedProcs.h"
#include "Steps.h"
#include "Teams.h"
#include "VbConvert.h"
#include "VbError.h"

#include <cctype>
#include <cmath>

namespace vexal {

namespace {

// The season named by the last four characters of a week text ("Wk 5 of 2023" -> 2023).
int SeasonOfWeekText(const std::string& text)
{
    double v = vb::Val(vb::Right(text, 4));
    return std::isfinite(v) && std::fabs(v) < 32768 ? static_cast<int>(v) : 0;
}

// Stores a spread and total at a game slot when both elements lie inside SeasonLines.
void StoreLines(int weekSlot, int gameSlot, float spread, float total)
{
    auto& lines = Season().SeasonLines;
    if (weekSlot < 0 || gameSlot < 0 || gameSlot >= GamesPerWeekSlot)
        return;
    std::size_t at = static_cast<std::size_t>(weekSlot) * LineSlotStride + static_cast<std::size_t>(gameSlot) * LinesPerGame;
    if (at + 1 >= lines.size())
        return;
    lines[at] = spread;
    lines[at + 1] = total;
}

} // namespace

std::string WeekText(int week, int year) { return "Wk " + std::to_string(week) + " of " + std::to_string(year); }

void cboWeek_Click()
{
    // The week list is being rebuilt while a load reads records; a choice then would point
    // into arrays about to be replaced.
    if (SeasonLoadReadingRecords())
        return;
    auto& season = Season();
    int index = season.WeekListIndex;
    if (index < 0 || index >= static_cast<int>(season.WeekItems.size()))
        return;
    float& currentWeek = App().CurrentFormula[fsCurrentWeek];
    if (static_cast<float>(index + 1) == currentWeek)
        return;
    currentWeek = static_cast<float>(index + 1);
    season.WeekSeason = static_cast<int16_t>(SeasonOfWeekText(season.WeekItems[static_cast<std::size_t>(index)]));
    SetDivisionOrder(season.WeekSeason);
    TheLoaderHost().RefreshActiveView(true);
}

bool SelectWeek(int index)
{
    auto& season = Season();
    if (index < -1 || index >= static_cast<int>(season.WeekItems.size()))
        return false;
    season.WeekListIndex = static_cast<int16_t>(index);
    TheLoaderHost().WeekSelectionChanged();
    cboWeek_Click();
    return true;
}

std::string WeekSelectorText()
{
    const auto& season = Season();
    int index = season.WeekListIndex;
    if (index < 0 || index >= static_cast<int>(season.WeekItems.size()))
        return "";
    return season.WeekItems[static_cast<std::size_t>(index)];
}

bool CurrentWeekLoaded()
{
    const auto& season = Season();
    const double week = App().CurrentFormula[fsCurrentWeek];
    if (season.SeasonFirstWeek.empty() || !(week >= 1) || week > season.WeekSlots)
        return false;
    const auto slot = static_cast<std::size_t>(vb::CInt(week) - 1);
    return slot < season.WeekItems.size() && (slot + 1) * WeekSlotStride <= season.SeasonGames.size();
}

std::optional<SeasonWeek> WeekOfSlot(int slot)
{
    const auto& season = Season();
    if (slot < 0 || slot >= static_cast<int>(season.WeekItems.size()))
        return std::nullopt;
    // The item reads "Wk 5 of 1987".
    const std::string& text = season.WeekItems[static_cast<std::size_t>(slot)];
    const std::size_t of = text.rfind(" of ");
    if (text.compare(0, 3, "Wk ") != 0 || of == std::string::npos || of < 3)
        return std::nullopt;
    const double week = vb::Val(text.substr(3, of - 3));
    if (!(week >= 1 && week <= 255) || week != std::floor(week))
        return std::nullopt;
    const SeasonWeek found{SeasonOfWeekText(text), static_cast<int>(week)};
    if (LoadedWeekSlot(found.year, found.week) != slot)
        return std::nullopt;
    return found;
}

std::optional<SeasonWeek> CurrentSeasonWeek()
{
    const double current = App().CurrentFormula[fsCurrentWeek];
    if (!(current >= 1 && current <= Season().WeekSlots))
        return std::nullopt;
    return WeekOfSlot(static_cast<int>(current) - 1);
}

int16_t SeasonStartWeek(int16_t weekSlot)
{
    return SeasonStartWeek(Season(), weekSlot);
}

int16_t SeasonStartWeek(const SeasonData& seasons, int16_t weekSlot)
{
    const auto& first = seasons.SeasonFirstWeek;
    if (first.empty())
        return 0;
    if (weekSlot >= first[0])
        return first[0];
    for (std::size_t i = 1; i < first.size(); ++i)
        if (weekSlot >= first[i])
            return first[i];
    return 0;
}

void SetWeekRange(int16_t Week, int16_t SeasonOfWeek)
{
    auto& season = Season();
    season.WeekFirstRecord = 0;
    season.NextWeekFirstRecord = 0;

    int target = 0;
    int year = SeasonOfWeek;
    if (Week > 0) {
        target = Week;
    } else {
        int currentWeek = 0;
        if (!SkipStep([&] { currentWeek = vb::CInt(App().CurrentFormula[fsCurrentWeek]); })) {
            season.CurrentGame = 0;
            return;
        }
        const std::optional<SeasonWeek> current = WeekOfSlot(currentWeek - 1);
        if (!current) {
            // No loaded season holds the current week.
            season.CurrentGame = 0;
            return;
        }
        year = current->year;
        target = current->week;
    }
    season.CurrentGame = 0;

    // The range stays 0 when the file is missing; one there that cannot be read leaves it so
    // too, and its caller names the file and the cause.
    RecordBytes file;
    if (!ReadRecordFileIfThere(ProgramFolder() / SeasonFileName(year), GameRecord::Size, file))
        return;
    const int32_t count = file.Count();
    int32_t weekFirst = 0;
    int32_t nextWeekFirst = 0;
    for (int32_t i = 1; i <= count; ++i) {
        int week = SeasonRecordWeek(file.Record(i));
        if (week < target)
            continue;
        if (weekFirst == 0)
            weekFirst = i;
        if (week > target) {
            nextWeekFirst = i;
            break;
        }
    }
    if (nextWeekFirst < weekFirst)
        nextWeekFirst = count;
    season.WeekFirstRecord = weekFirst;
    season.NextWeekFirstRecord = nextWeekFirst;
}


std::filesystem::path LineFilePath(const std::string& name, int seasonYear)
{
    return FindLineFile(ProgramFolder(), name, seasonYear);
}

bool LineFileStaysChosen(const std::string& name, int seasonYear)
{
    return !name.empty() && name != pref::LineFile.defaultValue && IsPlainFileName(name) && FileExists(LineFilePath(name, seasonYear));
}

bool UseSeasonFileLines()
{
    return !(LineFileInUse() != pref::LineFile.defaultValue && SeasonOfWeekText(WeekSelectorText()) == CurrentSeason);
}

bool ReadLineFileInUse(const std::filesystem::path& path, int seasonYear, RecordBytes& out)
{
    std::string problem;
    RecordBytes read;
    bool whole = ReadRecordFile(path, LineRecord::Size, read, &problem);
    if (whole) {
        const auto& bytes = read.Bytes();
        if (const std::string damage = LineFileDamage(bytes.data(), bytes.size(), seasonYear); !damage.empty()) {
            whole = false;
            problem = path.string() + " is damaged: " + damage + ".";
        }
    }
    if (whole) {
        out = std::move(read);
    } else if (!IsMissingFile(path)) {
        ReportFileProblem(path, problem + " The season file's lines are used.");
    }
    return whole;
}

std::string LinePairingProblem(int32_t record, const LineRecord& line, const GameRecord* game)
{
    const std::string holds = "its record " + std::to_string(record) + " holds " + GameKey::Of(line).Text();
    if (!game)
        return holds + ", and the season file ends before it";
    return line.IsLineOf(*game) ? "" : holds + ", where the season file holds " + GameKey::Of(*game).Text();
}

std::string LinePairingProblem(const RecordBytes& lines, const RecordBytes& games)
{
    for (int32_t i = 1; i <= lines.Count(); ++i) {
        const GameRecord game = i <= games.Count() ? GameRecord::Decode(games.Record(i)) : GameRecord{};
        std::string problem =
            LinePairingProblem(i, LineRecord::Decode(lines.Record(i)), i <= games.Count() ? &game : nullptr);
        if (!problem.empty())
            return problem;
    }
    return {};
}

void NameUnpairedLineFile(const std::filesystem::path& lineFile, const std::filesystem::path& seasonFile,
                          const std::string& problem)
{
    if (problem.empty()) {
        ForgetFileProblem(lineFile);
        return;
    }
    ReportFileProblem(lineFile, lineFile.string() + " no longer pairs with " + seasonFile.filename().string() + ": " +
                                    problem + ". The season file's lines are used for the games it does not pair.");
}

namespace {

bool WeekLinesFromLineFile(bool ForceLineFile)
{
    return !UseSeasonFileLines() || (LineFileInUse() != pref::LineFile.defaultValue && ForceLineFile);
}

// Gives every game of the season's loaded weeks no lines (0), so that no line of another
// source stands under the one now chosen. False when no week of the season is loaded.
bool ClearSeasonLines(int year)
{
    auto& season = Season();
    bool loaded = false;
    for (std::size_t slot = 0; slot < season.WeekItems.size(); ++slot) {
        if (SeasonOfWeekText(season.WeekItems[slot]) != year)
            continue;
        loaded = true;
        for (int game = 0; game < GamesPerWeekSlot; ++game)
            StoreLines(static_cast<int>(slot), game, 0.0f, 0.0f);
    }
    return loaded;
}

} // namespace

std::filesystem::path WeekLinesSeasonFile(bool ForceLineFile)
{
    return ProgramFolder() / SeasonFileName(WeekLinesFromLineFile(ForceLineFile) ? Season().SeasonYear : CurrentSeason);
}

void LoadWeekLines(bool ForceLineFile)
{
    const std::string name = LineFileInUse();
    const bool useLineFile = WeekLinesFromLineFile(ForceLineFile);
    auto& season = Season();
    const int fileSeason = useLineFile ? season.SeasonYear : CurrentSeason;
    const std::filesystem::path seasonPath = WeekLinesSeasonFile(ForceLineFile);

    RecordBytes seasonFile;
    RecordBytes lineFile;
    bool haveLineFile = false;
    if (useLineFile)
        haveLineFile = ReadLineFileInUse(LineFilePath(name, season.SeasonYear), season.SeasonYear, lineFile);
    std::string seasonProblem;
    const bool haveSeasonFile = ReadRecordFile(seasonPath, GameRecord::Size, seasonFile, &seasonProblem);
    // Without the file of a loaded season no game finds its season record's lines: none of the
    // source chosen before stays, and the file goes to the caller to name, once the line
    // file's lines are in.
    const bool seasonFileFailed = !haveSeasonFile && ClearSeasonLines(fileSeason);
    if (haveLineFile && haveSeasonFile)
        NameUnpairedLineFile(LineFilePath(name, season.SeasonYear), seasonPath, LinePairingProblem(lineFile, seasonFile));

    int previousSlot = -1;
    int gameSlot = 0;
    const ComboItemIndex weeks(season.WeekItems);
    auto place = [&](int week, int year, float spread, float total, bool fill) {
        int slot = weeks.Find(WeekText(week, year));
        if (slot < 0)
            return false;
        // A record out of week order was left out by the loader: it has no game slot, and
        // counting it would move the later games' lines off their games.
        if (slot < previousSlot)
            return true;
        gameSlot = slot > previousSlot ? 0 : gameSlot + 1;
        previousSlot = slot;
        if (fill)
            StoreLines(slot, gameSlot, spread, total);
        return true;
    };

    if (haveSeasonFile) {
        // Walk the season file so that every game finds its slot as the loader gave it; a game
        // the line file lacks (the file is missing or shorter, or its record is of another
        // week) keeps its season record's lines.
        for (int32_t i = 1; i <= seasonFile.Count(); ++i) {
            GameRecord game = GameRecord::Decode(seasonFile.Record(i));
            float spread = game.LineSingle();
            float total = game.TotalSingle();
            if (haveLineFile && i <= lineFile.Count()) {
                LineRecord line = LineRecord::Decode(lineFile.Record(i));
                if (line.IsLineOf(game)) {
                    spread = line.LineSingle();
                    total = line.TotalSingle();
                }
            }
            if (!place(game.Week, game.Year, spread, total, SeasonTeamCodesValid(game)))
                return;
        }
    } else if (haveLineFile) {
        for (int32_t i = 1; i <= lineFile.Count(); ++i) {
            LineRecord line = LineRecord::Decode(lineFile.Record(i));
            if (!place(line.Week, line.Year, line.LineSingle(), line.TotalSingle(), true))
                break;
        }
    }
    if (seasonFileFailed)
        throw VbError(VbError::PathFileAccess, seasonProblem);
}

int FindComboItem(const std::vector<std::string>& list, const std::string& text)
{
    for (std::size_t i = 0; i < list.size(); ++i)
        if (vb::SameText(list[i], text))
            return static_cast<int>(i);
    return -1;
}

ComboItemIndex::ComboItemIndex(const std::vector<std::string>& list)
{
    first_.reserve(list.size());
    for (std::size_t i = 0; i < list.size(); ++i)
        first_.try_emplace(vb::LCase(list[i]), static_cast<int>(i));
}

int ComboItemIndex::Find(const std::string& text) const
{
    const auto at = first_.find(vb::LCase(text));
    return at == first_.end() ? -1 : at->second;
}

int ComboItemIndex::FindOrAdd(std::vector<std::string>& list, const std::string& text)
{
    const auto [at, added] = first_.try_emplace(vb::LCase(text), static_cast<int>(list.size()));
    if (added)
        list.push_back(text);
    return at->second;
}

int FindOrAddComboItem(std::vector<std::string>& list, const std::string& text)
{
    int found = FindComboItem(list, text);
    if (found >= 0)
        return found;
    list.push_back(text);
    return static_cast<int>(list.size()) - 1;
}

} // namespace vexal
