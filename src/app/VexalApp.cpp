#include "VexalApp.h"

#include "ButtonKeys.h"
#include "DefaultFormula.h"
#include "EntryWindows.h"
#include "ExceptionFilter.h"
#include "FormulaTestWindow.h"
#include "FormulaWindows.h"
#include "GameRecord.h"
#include "Host.h"
#include "InternetWindows.h"
#include "MsgBox.h"
#include "NoticeWindow.h"
#include "PredictionWindows.h"
#include "QtPlatform.h"
#include "ReportWindows.h"
#include "SeasonData.h"
#include "SharedProcs.h"
#include "Splash.h"
#include "StandingsWindows.h"
#include "StatisticsWindows.h"
#include "Windows.h"

#include <QApplication>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace vexal {

namespace {

// An error that escapes an event handler ends there, with the program's error message,
// instead of unwinding through the event loop.
class VexalApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            ReportEscapedError(std::current_exception());
        }
        return false;
    }
};

} // namespace

std::filesystem::path DefaultProgramFolder()
{
    // Made absolute now: the program changes into its folder later, and a relative name
    // would then point somewhere else.
    std::filesystem::path folder;
    if (const char* home = std::getenv("VEXAL_HOME"); home && *home)
        folder = std::filesystem::path(home);
    else
        folder = std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
    return ec ? folder : absolute.lexically_normal();
}

namespace {

std::string FolderName(const std::filesystem::path& folder)
{
    std::string name = folder.string();
    while (name.size() > 1 && name.back() == '/')
        name.pop_back();
    return name;
}

// "1984 to 2024": the seasons the program offers.
std::string SeasonsOffered() { return std::to_string(FirstSeason) + " to " + std::to_string(CurrentSeason); }

// "a", "a and b", "a, b and c".
std::string ListedNames(const std::vector<std::string>& names)
{
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
}

// The files named as season files that are not read, one sentence for each reason, the first
// with `where` after its names: "2025.nfl and 2026.nfl were not taken as season files: ...".
std::string NotTakenSentences(const std::vector<UnreadSeasonFile>& files, const std::string& where)
{
    using Why = UnreadSeasonFile::Why;
    const std::pair<Why, std::string> reasons[] = {
        {Why::OtherCase, "a season file's name is its year and \".nfl\" in small letters"},
        {Why::OtherYear, "the program offers the seasons " + SeasonsOffered() + " only"},
    };
    std::string text;
    for (const auto& [why, reason] : reasons) {
        std::vector<std::string> names;
        for (const UnreadSeasonFile& file : files)
            if (file.why == why)
                names.push_back(file.name);
        if (names.empty())
            continue;
        const bool one = names.size() == 1;
        // Appended piece by piece: GCC 12 at -O3 warns (-Wrestrict) of a literal put in front of a string.
        const bool first = text.empty();
        if (!first)
            text += ' ';
        text += ListedNames(names);
        if (first)
            text += where;
        text += one ? " was not taken as a season file: " : " were not taken as season files: ";
        text += reason + ".";
    }
    return text;
}

} // namespace

std::string ProgramFolderProblem(const std::filesystem::path& folder)
{
    const std::string name = FolderName(folder);
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec))
        return "The program folder " + name + " does not exist. Set VEXAL_HOME to the folder that holds "
               "your season files (<year>.nfl).";
    for (int year = FirstSeason; year <= CurrentSeason; ++year)
        if (FileExists(folder / SeasonFileName(year)))
            return {};
    const std::vector<UnreadSeasonFile> unread = UnreadSeasonFiles(folder);
    if (unread.empty())
        return "The program folder " + name + " holds no season file (<year>.nfl). Copy your season files "
               "there, or set VEXAL_HOME to the folder that holds them.";
    // What is there is named, not called nothing.
    const bool onlyCase = std::all_of(unread.begin(), unread.end(), [](const UnreadSeasonFile& file) {
        return file.why == UnreadSeasonFile::Why::OtherCase;
    });
    const std::string seasons = SeasonsOffered();
    return "The program folder " + name + " holds none of the seasons " + seasons + " (<year>.nfl). " +
           NotTakenSentences(unread, "") + " " +
           (onlyCase ? std::string(unread.size() == 1 ? "Rename it" : "Rename them") +
                           " so, or set VEXAL_HOME to the folder that holds your season files."
                     : "Copy season files of " + seasons + " there, or set VEXAL_HOME to the folder that holds them.");
}

std::string SeasonFilesNotTaken(const std::filesystem::path& folder)
{
    return NotTakenSentences(UnreadSeasonFiles(folder), " in the program folder " + FolderName(folder));
}

void CheckProgramFolder()
{
    const std::filesystem::path folder = ProgramFolder();
    if (const std::string problem = ProgramFolderProblem(folder); !problem.empty()) {
        MsgBox(problem, vbExclamation);
        return;
    }
    // Said once at the start: the year list and every load leave them out.
    if (const std::string notTaken = SeasonFilesNotTaken(folder); !notTaken.empty())
        MsgBox(notTaken, vbExclamation);
    // A new program folder gets the shipped formula, so the first prediction is a real one; a
    // folder that cannot take it (an installed program's, a full disk) is named once, and the
    // built-in formula is in force.
    ProvideDefaultFormulaFile(folder);
}

void RegisterAllWindows()
{
    RegisterShellWindows();
    RegisterFormulaWindows();
    RegisterFormulaTestWindow();
    RegisterPredictionWindows();
    RegisterStatisticsWindows();
    RegisterStandingsWindows();
    RegisterEntryWindows();
    RegisterReportWindows();
    RegisterInternetWindows();
}

int RunVexal(int argc, char** argv)
{
    VexalApplication app(argc, argv);
    QCoreApplication::setApplicationName("Vexal");
    // The program ends with its main window, not when the splash closes before the main
    // window shows.
    QApplication::setQuitOnLastWindowClosed(false);
    SetProgramEndHandler([] { QCoreApplication::quit(); });
    InstallQtPlatform();
    InstallButtonKeys(app);
    InstallQtNotices();
    SetProgramFolder(DefaultProgramFolder());
    CheckProgramFolder();
    RegisterAllWindows();
    StartVexal();
    return app.exec();
}

} // namespace vexal
