#include "SeasonLoader.h"

#include "AppState.h"
#include "FileChecks.h"
#include "FlagScope.h"
#include "Host.h"
#include "IniFile.h"
#include "LineRecord.h"
#include "LoaderHost.h"
#include "MsgBox.h"
#include "Preferences.h"
#include "ProgressPace.h"
#include "SeasonData.h"
#include "SeasonFileAccess.h"
#include "Steps.h"
#include "Teams.h"
#include "VbConvert.h"
#include "VbError.h"
#include "WeekRange.h"
#include "WindowNames.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace vexal {

namespace {

struct LoaderState {
    std::string selectorText;
    bool choosing = false;        // a season choice runs
    bool readingRecords = false;  // LoadArray reads records (and yields)
    std::function<double()> today;
};

LoaderState& State()
{
    static LoaderState state;
    return state;
}

class BusyCursor {
public:
    BusyCursor() { TheLoaderHost().BeginBusyCursor(); }
    ~BusyCursor() { TheLoaderHost().EndBusyCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

class HostBusy {
public:
    HostBusy() { TheLoaderHost().SetBusy(true); }
    ~HostBusy() { TheLoaderHost().SetBusy(false); }
    HostBusy(const HostBusy&) = delete;
    HostBusy& operator=(const HostBusy&) = delete;
};

int NumberOf(const std::string& text)
{
    double v = vb::Val(text);
    return std::isfinite(v) && std::fabs(v) < 32768 ? static_cast<int>(v) : 0;
}

// What a season file held that the arrays cannot: reported once per file, after its records.
class FileProblems {
public:
    explicit FileProblems(std::filesystem::path path) : path_(std::move(path)) {}
    void Add(const std::string& line)
    {
        if (lines_.size() < MaxLines)
            lines_.push_back(line);
        else
            more_ = true;
    }
    void AddOnce(bool& done, const std::string& line)
    {
        if (!done)
            Add(line);
        done = true;
    }
    bool Empty() const { return lines_.empty(); }
    void Report() const
    {
        if (lines_.empty())
            return;
        std::string text = "The season file " + path_.string() + " holds data that cannot be loaded:";
        for (const auto& line : lines_)
            text += "\r\n" + line;
        if (more_)
            text += "\r\n...";
        MsgBox(text, vbExclamation);
    }

private:
    static constexpr std::size_t MaxLines = 12;
    std::filesystem::path path_;
    std::vector<std::string> lines_;
    bool more_ = false;
};

// The missing-statistics notice: one pop-up per load, made when first needed.
class MissingStatsNotice {
public:
    void Raise(const std::string& weekText)
    {
        if (!notice_)
            notice_ = TheLoaderHost().CreateNotice();
        if (!notice_)
            return;
        notice_->SetText("There appears to be missing stats for " + weekText + "\r\n" +
                         "You should re-import the stats for this week" + "\r\n" +
                         "Click this message to close or it will disappear automatically soon");
        notice_->SetTitle("Missing Stats");
        notice_->SetNumber(6);
        notice_->SetOwner(WindowName::Main);
        notice_->Show();
    }

private:
    std::unique_ptr<NoticePopup> notice_;
};

} // namespace

double CurrentSeasonStart() { return vb::DateSerial(2024, 9, 10); }

int16_t GetYearsToLoad()
{
    std::string text = GetPrivateProfileString("Vexal", "Year to Load", "02", ProgramFile("Vexal.ini"),
                                               static_cast<std::size_t>(YearsToLoadNumbers.maxLength) + 1);
    double years = vb::Val(text);
    if (!(years >= 1))
        years = 2;
    return vb::CInt(years);
}

const std::string& SeasonSelectorText() { return State().selectorText; }

bool SeasonLoadRunning() { return State().choosing; }
bool SeasonLoadReadingRecords() { return State().readingRecords; }

void SetTodayProvider(std::function<double()> today) { State().today = std::move(today); }

double LoaderToday() { return State().today ? State().today() : vb::Today(); }

bool SeasonTeamCodesValid(const GameRecord& r)
{
    auto valid = [](int code) { return code <= LastTeamCode || code == TeamUnder || code == TeamOver; };
    return valid(r.HomeTeam) && valid(r.AwayTeam);
}

int LoadedWeekSlot(int year, int week)
{
    const auto& s = Season();
    const int k = s.SeasonYear - year;
    if (k < 0 || k >= static_cast<int>(s.SeasonFirstWeek.size()) || week < 1)
        return -1;
    const std::string text = WeekText(week, year);
    int slot = s.SeasonFirstWeek[static_cast<std::size_t>(k)] + week - 1;
    if (slot < 0 || slot >= static_cast<int>(s.WeekItems.size()) ||
        !vb::SameText(s.WeekItems[static_cast<std::size_t>(slot)], text))
        slot = FindComboItem(s.WeekItems, text);
    if (slot < 0 || slot >= s.WeekSlots)
        return -1;
    if ((static_cast<std::size_t>(slot) + 1) * WeekSlotStride > s.SeasonGames.size() ||
        (static_cast<std::size_t>(slot) + 1) * LineSlotStride > s.SeasonLines.size())
        return -1;
    return slot;
}

namespace {

// The unbroken run of season files that ends at the chosen season, newest first.
std::vector<RecordBytes> ReadSeasonFiles(int asked, int chosen, std::string& chosenProblem)
{
    std::vector<RecordBytes> files;
    for (int k = 0; k < asked; ++k) {
        RecordBytes file;
        const std::filesystem::path path = ProgramFolder() / SeasonFileName(chosen - k);
        std::string problem;
        if (!ReadRecordFile(path, GameRecord::Size, file, &problem)) {
            // The chosen season's own problem is the load's message; an older one is named
            // when it is there but cannot be read, since it cuts the load short.
            if (k > 0 && !IsMissingFile(path))
                ReportFileProblem(path, problem + " The seasons before it are not loaded.");
            if (k == 0)
                chosenProblem = problem;
            break;
        }
        ForgetFileProblem(path);
        files.push_back(std::move(file));
    }
    return files;
}

// The line file the "LineFile" setting names, whose lines replace the current season's.
struct LineSource {
    bool defaultLines = true;   // the season file's own lines
    bool haveLineFile = false;
    std::filesystem::path path;
    RecordBytes lineFile;
};

LineSource ReadLineSource()
{
    LineSource lines;
    const std::string lineFileName = LineFileInUse();
    lines.defaultLines = lineFileName == pref::LineFile.defaultValue;
    if (lines.defaultLines)
        return lines;
    lines.path = LineFilePath(lineFileName, Season().SeasonYear);
    lines.haveLineFile = ReadLineFileInUse(lines.path, Season().SeasonYear, lines.lineFile);
    return lines;
}

// The splash's progress while the records are read. Every tenth record has its progress;
// painting each would cost more than the load, so they are shown at the pace's times and
// the last one held back is shown at the end.
class LoadProgress {
public:
    // Record i of n of a season, `running` of `total` records of the load.
    void Record(int32_t i, int32_t n, double running, double total, int seasonYear)
    {
        // Finding the splash costs more than reading a record: ask only on the records
        // that report or may show it.
        if (i % 10 != 0 && i != 1)
            return;
        const bool splashVisible = TheLoaderHost().SplashVisible();
        if (splashVisible && i % 10 == 0) {
            const int32_t value = vb::CLng(running / total * 100.0);
            const int percent = static_cast<int>(vb::Int(static_cast<double>(i) / n * 100.0));
            std::string caption =
                "Loading Data for " + std::to_string(seasonYear) + "..." + std::to_string(percent) + "%";
            if (pace_.Due(value >= 100)) {
                Show(value, caption);
            } else {
                heldValue_ = value;
                heldCaption_ = std::move(caption);
            }
        } else if (!splashVisible && i == 1) {
            TheLoaderHost().ShowSplash();
        }
    }
    void ShowHeldBack()
    {
        if (pace_.HeldBack() && TheLoaderHost().SplashVisible())
            Show(heldValue_, heldCaption_);
    }

private:
    // The paced progress display is one of the two places that let the message loop run
    // during work (the engine's yield is the other): the splash paints, and a click on it
    // or a refused choice is handled, at most at the pace's times.
    static void Show(int32_t value, const std::string& caption)
    {
        TheLoaderHost().SetProgress(value, caption);
        DoEvents();
    }

    ProgressPace pace_;
    int32_t heldValue_ = 0;
    std::string heldCaption_;
};

// Fills a new set of arrays from the season files, oldest season first, so that the views
// that repaint while the load yields see the previous load whole until it is replaced.
class ArrayFiller {
public:
    ArrayFiller(int years, int asked, LineSource lines, double totalRecords)
        : lines_(std::move(lines)), totalRecords_(totalRecords)
    {
        next_.Allocate(years);
        next_.SeasonFirstWeek.assign(static_cast<std::size_t>(asked) + 1, 0);
    }

    // The records of season file k (0 the newest), reported problems included.
    void AddSeason(int k, int seasonYear, const RecordBytes& file, bool showProgress)
    {
        const int32_t n = file.Count();
        FileProblems problems(ProgramFolder() / SeasonFileName(seasonYear));
        bool reportedWeeksFull = false;
        std::string lastCrowdedWeek;
        if (file.ExtraBytes() != 0)
            problems.Add("the file ends in " + std::to_string(file.ExtraBytes()) +
                         " bytes that are no whole game record; they were left out.");
        int previousSlot = -1;
        int gameSlot = 0;
        for (int32_t i = 1; i <= n; ++i) {
            running_ += 1;
            if (showProgress)
                progress_.Record(i, n, running_, totalRecords_, seasonYear);
            const GameRecord record = GameRecord::Decode(file.Record(i));
            const std::string weekText = WeekText(record.Week, record.Year);
            const int slot = WeekSlotOf(weekText, problems, reportedWeeksFull);
            if (slot < 0)
                continue;
            if (slot < previousSlot) {
                problems.Add("record " + std::to_string(i) + " (" + weekText +
                             ") is out of week order; it was left out.");
                continue;
            }
            if (record.Year > largestYear_) {
                largestYear_ = record.Year;
                next_.SeasonFirstWeek[static_cast<std::size_t>(k)] = static_cast<int16_t>(slot);
            }
            gameSlot = slot > previousSlot ? 0 : gameSlot + 1;
            previousSlot = slot;
            if (gameSlot >= GamesPerWeekSlot) {
                if (lastCrowdedWeek != weekText)
                    problems.Add(weekText + " holds more than 16 games; the games after the 16th were left out.");
                lastCrowdedWeek = weekText;
                continue;
            }
            if (!SeasonTeamCodesValid(record)) {
                // The game keeps its slot (empty), so the later games of the week stay at
                // their record's place.
                problems.Add("record " + std::to_string(i) + " (" + weekText +
                             ") has a team code outside 0 to 32, 100 and 101; it was left out.");
                continue;
            }
            StoreGame(record, i, slot, gameSlot);
            WatchForMissingStats(record, weekText);
        }
        problems.Report();
        if (seasonYear == CurrentSeason)
            currentSeasonSound_ = problems.Empty();
    }

    // The last progress the pace held back.
    void ShowHeldBackProgress() { progress_.ShowHeldBack(); }

    SeasonData& Arrays() { return next_; }

    // The line file in use, once the current season's file was read: named when it no longer
    // pairs with it. A season file that holds what cannot be loaded was named itself.
    void NameUnpairedLines(int seasonYear, const RecordBytes& file) const
    {
        if (!lines_.defaultLines && lines_.haveLineFile && seasonYear == CurrentSeason && currentSeasonSound_)
            NameUnpairedLineFile(lines_.path, ProgramFolder() / SeasonFileName(seasonYear),
                                 LinePairingProblem(lines_.lineFile, file));
    }

private:
    // The week slot of a week's text: the newest item (records of a week follow each other),
    // any earlier one, or a new one; -1 when every slot is taken.
    int WeekSlotOf(const std::string& weekText, FileProblems& problems, bool& reportedWeeksFull)
    {
        auto& items = next_.WeekItems;
        if (!items.empty() && vb::SameText(items.back(), weekText))
            return static_cast<int>(items.size()) - 1;
        if (const int slot = weekIndex_.Find(weekText); slot >= 0)
            return slot;
        if (static_cast<int>(items.size()) >= next_.WeekSlots) {
            problems.AddOnce(reportedWeeksFull, weekText + " and the weeks after it do not fit in the " +
                                                    std::to_string(next_.WeekSlots) + " weeks loaded; they were left out.");
            return -1;
        }
        return weekIndex_.FindOrAdd(items, weekText);
    }

    // The game's fields and lines into its slot; the current season's lines from the line
    // file when it still matches the season file.
    void StoreGame(const GameRecord& record, int32_t i, int slot, int gameSlot)
    {
        const auto fields = record.GameFields();
        std::copy(fields.begin(), fields.end(),
                  next_.SeasonGames.begin() + static_cast<std::ptrdiff_t>(slot) * WeekSlotStride +
                      gameSlot * FieldsPerGame);
        float spread = record.LineSingle();
        float totalLine = record.TotalSingle();
        if (!lines_.defaultLines && largestYear_ == CurrentSeason && lines_.haveLineFile && i <= lines_.lineFile.Count()) {
            // A line record of another game (the line file no longer pairs with the season
            // file) is not this game's line: the season record's stands in.
            const LineRecord line = LineRecord::Decode(lines_.lineFile.Record(i));
            if (line.IsLineOf(record)) {
                spread = line.LineSingle();
                totalLine = line.TotalSingle();
            }
        }
        next_.Spread(slot, gameSlot) = spread;
        next_.Total(slot, gameSlot) = totalLine;
    }

    // A played game after an unplayed one: the weeks between lack their statistics.
    void WatchForMissingStats(const GameRecord& record, const std::string& weekText)
    {
        if (!record.Played()) {
            played_ = false;
        } else if (!played_) {
            notice_.Raise(weekText);
            played_ = true;
        }
    }

    SeasonData next_;
    ComboItemIndex weekIndex_{next_.WeekItems};
    LineSource lines_;
    double totalRecords_ = 0;
    double running_ = 0;
    int largestYear_ = 0;
    bool played_ = true;
    bool currentSeasonSound_ = false;
    MissingStatsNotice notice_;
    LoadProgress progress_;
};

// The filled arrays replace the loaded ones; the current week is chosen for them.
void InstallArrays(SeasonData& next)
{
    auto& season = Season();
    season.WeekSlots = next.WeekSlots;
    season.SeasonGames = std::move(next.SeasonGames);
    season.SeasonLines = std::move(next.SeasonLines);
    season.SeasonFirstWeek = std::move(next.SeasonFirstWeek);
    season.WeekItems = std::move(next.WeekItems);
    season.WeekListIndex = -1;
    TheLoaderHost().WeekListChanged();
    season.WeekSeason = CurrentSeason;
    ChooseCurrentWeek(LoaderToday());
}

// The splash serves as the load's progress window: it closes when the load ends, whether the
// seasons were loaded or a file could not be read, so that it never lingers over the program.
void CloseSplashAfterLoad()
{
    if (TheLoaderHost().ActiveWindowCaption() == "Vexal")
        TheLoaderHost().CloseSplash();
}

} // namespace

bool LoadArray(int16_t Years, bool ShowProgress)
{
    auto& state = State();
    if (state.readingRecords || Years < 1)
        return false;
    // The host is looked up at each use: a window closed while the load yields may take its host away.
    const int asked = Years;
    const int chosen = NumberOf(state.selectorText);
    std::string problem;
    const std::vector<RecordBytes> files = ReadSeasonFiles(asked, chosen, problem);
    if (files.empty()) {
        MsgBox(problem);
        CloseSplashAfterLoad();
        return false;
    }
    const int years = static_cast<int>(files.size());
    double total = 0;
    for (const auto& f : files)
        total += f.Count();
    ArrayFiller filler(years, asked, ReadLineSource(), total);
    {
        const FlagScope reading(state.readingRecords);
        for (int k = years - 1; k >= 0; --k)
            filler.AddSeason(k, chosen - k, files[static_cast<std::size_t>(k)], ShowProgress);
        filler.ShowHeldBackProgress();
    }
    filler.NameUnpairedLines(chosen, files.front());
    InstallArrays(filler.Arrays());
    CloseSplashAfterLoad();
    return true;
}

void ChooseCurrentWeek(double today)
{
    auto& season = Season();
    today = vb::Int(today);
    const double start = CurrentSeasonStart();
    const int firstWeek = season.SeasonFirstWeek.empty() ? 0 : season.SeasonFirstWeek[0];
    float& currentWeek = App().CurrentFormula[fsCurrentWeek];
    const int year = vb::Year(today);
    if (year == CurrentSeason) {
        if (today < start - 14) {
            if (vb::Trim(State().selectorText) == std::to_string(CurrentSeason)) {
                currentWeek = static_cast<float>(firstWeek);
                season.WeekSeason = CurrentSeason - 1;
            } else {
                currentWeek = static_cast<float>(season.WeekItems.size());
            }
            return;
        }
        for (int k = 1; k <= 16; ++k) {
            if (today < start + 7.0 * (k - 1)) {
                currentWeek = static_cast<float>(firstWeek + k);
                return;
            }
        }
        currentWeek = static_cast<float>(firstWeek + 17);
    } else if (year == CurrentSeason + 1) {
        for (int k = 17; k <= 21; ++k) {
            if (today < start + 7.0 * (k - 1)) {
                currentWeek = static_cast<float>(firstWeek + k);
                return;
            }
        }
        currentWeek = static_cast<float>(firstWeek + 21);
    } else if (const int week = NewestSeasonWeek(); week > 0) {
        // The dates above cover one season; on any other day the games themselves say where
        // the newest loaded season stands.
        currentWeek = static_cast<float>(week);
        season.WeekSeason = season.SeasonYear;
    }
}

int NewestSeasonWeek()
{
    const auto& season = Season();
    if (season.SeasonFirstWeek.empty())
        return 0;
    const int first = season.SeasonFirstWeek[0];
    const int last = std::min<int>({static_cast<int>(season.WeekItems.size()), season.WeekSlots,
                                    static_cast<int>(season.SeasonGames.size() / WeekSlotStride)}) - 1;
    if (first < 0 || first > last)
        return 0;
    // Per week: whether any game has a result, and whether any game still waits for one.
    auto scan = [&](int slot, bool& anyResult, bool& anyOpen) {
        anyResult = anyOpen = false;
        for (int g = 0; g < GamesPerWeekSlot; ++g) {
            if (season.Game(slot, g, gfHomeTeam) == 0 && season.Game(slot, g, gfAwayTeam) == 0)
                continue;
            if (season.Game(slot, g, gfHomeScore) < 0)
                anyOpen = true;
            else
                anyResult = true;
        }
    };
    int lastPlayed = -1;
    bool open = false;
    for (int slot = first; slot <= last; ++slot) {
        bool anyResult = false, anyOpen = false;
        scan(slot, anyResult, anyOpen);
        if (anyResult) {
            lastPlayed = slot;
            open = anyOpen;
        }
    }
    // No results yet: the season's first week. A week under way stays the current week (a
    // game that never got a result in an earlier week does not hold the season back); after a
    // finished week, the week after it, or that week itself when the season is over.
    if (lastPlayed < 0)
        return first + 1;
    if (open || lastPlayed == last)
        return lastPlayed + 1;
    return lastPlayed + 2;
}

bool cboYears_Click(const std::string& seasonSelectorText)
{
    auto& state = State();
    // A choice made while an earlier one yields to the message loop would run inside it
    // and replace the arrays under it.
    if (state.choosing)
        return false;
    const FlagScope choosing(state.choosing);
    HostBusy busy;
    BusyCursor cursor;
    auto& season = Season();

    const std::string previousText = state.selectorText;
    const int16_t previousYear = season.SeasonYear;
    state.selectorText = seasonSelectorText;
    if (seasonSelectorText.size() > 3)
        season.SeasonYear = static_cast<int16_t>(NumberOf(vb::Right(seasonSelectorText, 4)));

    if (!LoadArray(GetYearsToLoad(), true)) {
        state.selectorText = previousText;
        season.SeasonYear = previousYear;
        return false;
    }

    int position = -1;
    SkipStep([&] { position = vb::CInt(App().CurrentFormula[fsCurrentWeek]) - 1; });
    SelectWeek(position);
    if (WeekSelectorText().empty())
        SelectWeek(season.WeekListIndex + 1);
    else
        TheLoaderHost().RefreshActiveView(true);

    // The week's season and the division order follow the chosen week also when the week's
    // position did not change (the click handler then does nothing).
    const std::string weekText = WeekSelectorText();
    if (!weekText.empty()) {
        season.WeekSeason = static_cast<int16_t>(NumberOf(vb::Right(weekText, 4)));
        SetDivisionOrder(season.WeekSeason);
    }
    return true;
}

bool SelectSeason(int year)
{
    std::string item = " ";   // appended: GCC 12 at -O3 warns (-Wrestrict) of a literal put in front
    item += std::to_string(year);
    return cboYears_Click(item);
}

void ResetSeasonLoader() { State() = LoaderState{}; }

} // namespace vexal
