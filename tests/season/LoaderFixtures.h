#pragma once
// Fixtures of the loader, week and import tests: season files built record by record in a
// temporary program folder, a host that records what the loader shows, and fresh shared state.
#include "AppState.h"
#include "GameRecord.h"
#include "Host.h"
#include "LineRecord.h"
#include "LoaderHost.h"
#include "MsgBox.h"
#include "ProgressPace.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "TempFolder.h"
#include "VbConvert.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexal::test {

// A game of a season; team codes home and away, scores 0 and 0 = not played.
inline GameRecord Game(int year, int week, int home, int away, int homeScore = 0, int awayScore = 0)
{
    GameRecord g;
    g.Year = static_cast<int16_t>(year);
    g.Week = static_cast<uint8_t>(week);
    g.GameDate = vb::DateSerial(year, 9, 8) + 7.0 * (week - 1);
    g.Surface = 1;
    g.HomeTeam = static_cast<uint8_t>(home);
    g.AwayTeam = static_cast<uint8_t>(away);
    g.HomeScore = static_cast<uint8_t>(homeScore);
    g.AwayScore = static_cast<uint8_t>(awayScore);
    g.SetLine(-3.5);
    g.SetTotal(44);
    return g;
}

// A season of played games: gamesPerWeek[w - 1] games in week w, game g of a week played by
// teams 2g + 1 (home) and 2g + 2 (away).
inline std::vector<GameRecord> SeasonOfWeeks(int year, const std::vector<int>& gamesPerWeek, bool played = true)
{
    std::vector<GameRecord> records;
    for (std::size_t w = 0; w < gamesPerWeek.size(); ++w)
        for (int g = 0; g < gamesPerWeek[w]; ++g)
            records.push_back(Game(year, static_cast<int>(w) + 1, 2 * g + 1, 2 * g + 2, played ? 20 + g : 0,
                                   played ? 10 + static_cast<int>(w) : 0));
    return records;
}

inline std::vector<int> Weeks(int count, int games = 14) { return std::vector<int>(static_cast<std::size_t>(count), games); }

struct RecordedNotice {
    std::vector<std::string> calls; // "text:...", "title:...", "number:6", "owner:Main", "show"
};

class RecordingHost : public LoaderHost {
public:
    class Notice : public NoticePopup {
    public:
        explicit Notice(RecordingHost& host) : host_(host) {}
        void SetText(const std::string& text) override { host_.notices.push_back("text:" + text); }
        void SetTitle(const std::string& title) override { host_.notices.push_back("title:" + title); }
        void SetNumber(int32_t number) override { host_.notices.push_back("number:" + std::to_string(number)); }
        void SetOwner(const std::string& name) override { host_.notices.push_back("owner:" + name); }
        void Show() override { host_.notices.push_back("show"); }

    private:
        RecordingHost& host_;
    };

    bool SplashVisible() override { return splashVisible; }
    void ShowSplash() override
    {
        splashVisible = true;
        ++splashShown;
    }
    void SetProgress(int32_t value, const std::string& caption) override { progress.push_back({value, caption}); }
    void CloseSplash() override
    {
        splashVisible = false;
        ++splashClosed;
    }
    std::string ActiveWindowCaption() override { return activeCaption; }
    std::unique_ptr<NoticePopup> CreateNotice() override
    {
        ++noticesCreated;
        return std::make_unique<Notice>(*this);
    }
    void BeginBusyCursor() override { ++cursorDepth; }
    void EndBusyCursor() override { --cursorDepth; }
    void SetBusy(bool busy) override { busyCalls.push_back(busy); }
    void WeekListChanged() override { ++weekListChanges; }
    void WeekSelectionChanged() override { ++weekSelections; }
    void RefreshActiveView(bool refreshAll) override { refreshes.push_back(refreshAll); }

    struct Progress {
        int32_t value;
        std::string caption;
    };
    bool splashVisible = false;
    int splashShown = 0;
    int splashClosed = 0;
    std::string activeCaption = "Vexal";
    std::vector<Progress> progress;
    std::vector<std::string> notices;
    int noticesCreated = 0;
    int cursorDepth = 0;
    std::vector<bool> busyCalls;
    int weekListChanges = 0;
    int weekSelections = 0;
    std::vector<bool> refreshes;
};

// A program folder of its own, fresh shared state, a recording host and a date after the
// seasons the program knows (so the newest season's games choose the current week).
class LoaderFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSeason();
        ResetApp();
        ResetSeasonLoader();
        SetProgramFolder(folder.Path());
        auto recording = std::make_unique<RecordingHost>();
        host = recording.get();
        InstallLoaderHost(std::move(recording));
        messages = &InstallScriptedMessages();
        SetToday(2026, 3, 1);
        // Every progress report is a frame after the last, so each one is shown.
        ProgressPace::SetClock([t = ProgressPace::Clock::time_point{}]() mutable { return t += ProgressPace::Interval; });
    }
    void TearDown() override
    {
        ProgressPace::SetClock({});
        InstallLoaderHost(nullptr);
        ResetSeasonLoader();
        SetProgramFolder({});
        ResetSeason();
        ResetApp();
    }

    void SetToday(int year, int month, int day)
    {
        const double d = vb::DateSerial(year, month, day) + 0.5; // the time of day must not count
        SetTodayProvider([d] { return d; });
    }
    void WriteSeason(int year, const std::vector<GameRecord>& records) const
    {
        folder.Write(SeasonFileName(year), EncodeRecords(records));
    }
    std::vector<GameRecord> ReadSeason(int year) const { return ReadSeasonFile(folder / SeasonFileName(year)); }
    void WriteYearsToLoad(const std::string& value) const
    {
        folder.Write("Vexal.ini", "[Vexal]\r\nYear to Load=" + value + "\r\n");
    }
    void WriteLineFile(const std::string& name, int year, const std::vector<LineRecord>& records) const
    {
        std::string bytes;
        for (const auto& r : records) {
            auto b = r.Encode();
            bytes.append(reinterpret_cast<const char*>(b.data()), b.size());
        }
        folder.Write(LineFileName(name, year), bytes);
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const auto& m : messages->shown)
            texts.push_back(m.text);
        return texts;
    }

    TempFolder folder;
    RecordingHost* host = nullptr;
    ScriptedMessages* messages = nullptr;
};

} // namespace vexal::test
