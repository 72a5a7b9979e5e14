// The whole program, started in-process as main() starts it, with one file the user can damage
// replaced by a folder, a pipe, a link to /dev/zero, an unreadable file, a half-cut copy, one
// of garbage, an empty one (a sync tool's placeholder, a copy cut off before it began), a
// sparse file of 100 MiB or 1 GiB, or one whose read fails after it opened (from the start,
// once the program runs, or when the settings store reads it again after the program's own
// read), or missing from a folder that takes no new file, and then used where the program
// reads that file: nothing waits, the file is named once, by file and cause, and no file is
// changed, the program's end included.
// A text file that only lacks the line end after its last line, or that starts with a UTF-8
// mark, is as an editor saves it, and a template cut in its line cannot be told from a short
// one: each is read as its user wrote it, and nothing is said.
#include "CommonDialog.h"
#include "DefaultFormula.h"
#include "DownloadWindow.h"
#include "FileChecks.h"
#include "LineFiles.h"
#include "Main.h"
#include "MsgBox.h"
#include "Preferences.h"
#include "ProgramTestSupport.h"
#include "QtPlatform.h"
#include "RecordFile.h"
#include "SeasonData.h"
#include "SettingsStore.h"
#include "Splash.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <sys/stat.h>

namespace vexal::test {
namespace {

enum class Damage {
    Folder, Pipe, LinkToDevZero, Unreadable, HalfCut, Garbage, Big100MiB, Big1GiB, ReadFails, ReadFailsLater,
    SecondReadFails, NoFinalLineEnd, Utf8Mark, ControlByte, UnitSeparator, Del, Nul, Empty, MissingAndUnwritable
};
constexpr Damage AllDamages[] = {Damage::Folder,    Damage::Pipe,           Damage::LinkToDevZero,   Damage::Unreadable,
                                 Damage::HalfCut,   Damage::Garbage,        Damage::Big100MiB,       Damage::Big1GiB,
                                 Damage::ReadFails, Damage::ReadFailsLater, Damage::SecondReadFails, Damage::NoFinalLineEnd,
                                 Damage::ControlByte, Damage::Nul, Damage::Empty, Damage::MissingAndUnwritable,
                                 Damage::Utf8Mark, Damage::UnitSeparator, Damage::Del};
// The user's own default formula: an offense weight of 60 where the built-in one has 50.
const char* const OwnDefaultFormula = "3,1,99,1,60,40,0,50,50,0,4,0,0,0,0,0,0,0,99,99\r\n";
// A formula of the user's own, the one chosen when the program last ran: an offense weight of 70.
const char* const OwnFormula = "3,1,99,1,70,30,0,50,50,0,4,0,0,0,0,0,0,0,99,99\r\n";

enum class Place { ProgramIni, SettingsFile, DefaultFormula, OwnFormula, LineFileInUse, SeasonFile, Template, StatFile };

struct Case {
    Place place;
    Damage damage;
};

std::string NameOf(Place p)
{
    switch (p) {
    case Place::ProgramIni: return "ProgramIni";
    case Place::SettingsFile: return "SettingsFile";
    case Place::DefaultFormula: return "DefaultFormula";
    case Place::OwnFormula: return "OwnFormula";
    case Place::LineFileInUse: return "LineFileInUse";
    case Place::SeasonFile: return "SeasonFile";
    case Place::Template: return "Template";
    case Place::StatFile: return "StatFile";
    }
    return {};
}

std::string NameOf(Damage d)
{
    switch (d) {
    case Damage::Folder: return "Folder";
    case Damage::Pipe: return "Pipe";
    case Damage::LinkToDevZero: return "LinkToDevZero";
    case Damage::Unreadable: return "Unreadable";
    case Damage::HalfCut: return "HalfCut";
    case Damage::Garbage: return "Garbage";
    case Damage::ReadFails: return "ReadFails";
    case Damage::ReadFailsLater: return "ReadFailsLater";
    case Damage::SecondReadFails: return "SecondReadFails";
    case Damage::NoFinalLineEnd: return "NoFinalLineEnd";
    case Damage::Utf8Mark: return "Utf8Mark";
    case Damage::ControlByte: return "ControlByte";
    case Damage::UnitSeparator: return "UnitSeparator";
    case Damage::Del: return "Del";
    case Damage::Nul: return "Nul";
    case Damage::Empty: return "Empty";
    case Damage::MissingAndUnwritable: return "MissingAndUnwritable";
    case Damage::Big100MiB: return "Big100MiB";
    case Damage::Big1GiB: return "Big1GiB";
    }
    return {};
}

std::vector<Case> AllCases()
{
    std::vector<Case> cases;
    for (Place p : {Place::ProgramIni, Place::SettingsFile, Place::DefaultFormula, Place::OwnFormula,
                    Place::LineFileInUse, Place::SeasonFile, Place::Template, Place::StatFile})
        for (Damage d : AllDamages) {
            // A half-cut or garbled stat file is a malformed one, which the import's own
            // questions handle.
            if (p == Place::StatFile && (d == Damage::HalfCut || d == Damage::Garbage))
                continue;
            // Read once the program runs: the files it reads again while the user works.
            if (d == Damage::ReadFailsLater && p != Place::SeasonFile && p != Place::LineFileInUse)
                continue;
            // Read twice at the start, by the program and then by the settings store.
            if (d == Damage::SecondReadFails && p != Place::SettingsFile)
                continue;
            // The text files; a line file is of fixed-length records, a stat file the import's.
            const bool textFile = p != Place::LineFileInUse && p != Place::SeasonFile;
            if (d == Damage::Utf8Mark && !textFile)
                continue;
            if (d == Damage::NoFinalLineEnd && p != Place::ProgramIni && p != Place::SettingsFile &&
                p != Place::DefaultFormula && p != Place::OwnFormula && p != Place::Template)
                continue;
            // The one file the program writes when it is missing: the shipped default formula.
            if (d == Damage::MissingAndUnwritable && p != Place::DefaultFormula)
                continue;
            // The formula chosen when the program last ran is opened again only when it is a
            // file: anything else in its place leaves the formula list's own choice.
            if (p == Place::OwnFormula && (d == Damage::Folder || d == Damage::Pipe || d == Damage::LinkToDevZero))
                continue;
            // A byte no text holds, inside a number or a name: the text files, the stat file too.
            if ((d == Damage::ControlByte || d == Damage::UnitSeparator || d == Damage::Del || d == Damage::Nul) &&
                !textFile)
                continue;
            // A file of fixed-length records made with one for every game: none is none made whole;
            // an empty formula file gives no formula. What other empty files are is their readers' own.
            if (d == Damage::Empty && p != Place::LineFileInUse && p != Place::DefaultFormula && p != Place::OwnFormula)
                continue;
            cases.push_back({p, d});
        }
    return cases;
}

// A file the program takes as it is: nothing names it.
bool IsSound(const Case& c)
{
    return c.damage == Damage::NoFinalLineEnd || (c.damage == Damage::Utf8Mark && c.place != Place::StatFile) ||
           (c.place == Place::Template && c.damage == Damage::HalfCut);
}

// What is at a path, as far as a change would show: kind, size and time of the last change.
struct Seen {
    mode_t type = 0;
    off_t size = 0;
    long long changed = 0;
    bool operator==(const Seen&) const = default;
};

std::map<std::string, Seen> Snapshot(const std::vector<std::filesystem::path>& folders)
{
    std::map<std::string, Seen> seen;
    for (const auto& folder : folders) {
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            struct stat info {};
            if (::lstat(it->path().c_str(), &info) == 0)
                seen[it->path().string()] = {static_cast<mode_t>(info.st_mode & S_IFMT), info.st_size,
                                             info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec};
        }
    }
    return seen;
}

class DamagedFiles : public WholeProgramTest, public ::testing::WithParamInterface<Case> {
protected:
    void TearDown() override
    {
        SetDialogScripts({});
        WholeProgramTest::TearDown();
        InstallSettings(std::make_unique<MemorySettings>());
    }

    std::filesystem::path PathOf(Place p)
    {
        switch (p) {
        case Place::ProgramIni: return program / "Vexal.ini";
        case Place::SettingsFile: return settings / "Vexal.conf";
        case Place::DefaultFormula: return program / DefaultFormulaName;
        case Place::OwnFormula: return program / "mine.fla";
        case Place::LineFileInUse: return program / "MyLines.L24";
        case Place::SeasonFile: return program / "2024.nfl";
        case Place::Template: return templates / "Default.ftp";
        case Place::StatFile: return program / "wk10.24";
        }
        return {};
    }

    // Every file the case may use, whole, before one of them is damaged.
    void WriteWholeFiles(Place place)
    {
        program.Write("Vexal.ini", "[Vexal]\r\nYear to Load=02\r\n");
        settings.Write("Vexal.conf", "[Vexal]\nPreference\\LineFile=MyLines\n");
        // A default formula of the user's own, told from the built-in one by its offense weight.
        program.Write(DefaultFormulaName, OwnDefaultFormula);
        if (place == Place::OwnFormula) {
            program.Write("mine.fla", OwnFormula);
            SaveSetting(pref::CurrentFormula, "mine.fla");
        }
        ASSERT_TRUE(CreateLineFile(program / "2024.nfl", program / "MyLines.L24"));
        templates.Write("Default.ftp", "1,2,3,4,5,6,7,8,9,10\r\n");
        program.Write("wk10.24", "2024,10,11/10/2024,0,1,2,-3,44,17,20" + std::string(35, ',') + "0\r\n"); // a game
        SaveSetting(pref::LineFile, "MyLines");
    }

    void Spoil(const std::filesystem::path& file, Damage damage)
    {
        std::error_code ec;
        switch (damage) {
        case Damage::Folder:
            std::filesystem::remove(file);
            std::filesystem::create_directory(file);
            break;
        case Damage::Pipe:
            std::filesystem::remove(file);
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
            break;
        case Damage::LinkToDevZero:
            std::filesystem::remove(file);
            std::filesystem::create_symlink("/dev/zero", file);
            break;
        case Damage::Unreadable:
            // Read modes do not bind the superuser the tests run as; the fault does.
            unreadable = std::make_unique<ReadFault>(file);
            break;
        case Damage::HalfCut:
            std::filesystem::resize_file(file, std::filesystem::file_size(file) / 2 + 1);
            break;
        case Damage::Garbage: {
            // As a disk or an editor leaves one: its length, other bytes.
            std::string bytes(std::filesystem::file_size(file), '\xA5');
            for (std::size_t i = 0; i < bytes.size(); i += 7)
                bytes[i] = static_cast<char>(i % 32);
            std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
            break;
        }
        case Damage::ReadFails:
            failingRead = std::make_unique<ReadErrorFault>(file, std::filesystem::file_size(file) / 2);
            break;
        case Damage::ReadFailsLater:
            break;
        case Damage::SecondReadFails:
            failingRead = std::make_unique<ReadErrorFault>(file, std::filesystem::file_size(file) / 2, 1);
            break;
        case Damage::NoFinalLineEnd: {
            std::string text = ReadFile(file);
            ASSERT_TRUE(text.ends_with('\n'));
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                text.pop_back();
            std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
            break;
        }
        case Damage::Utf8Mark: {
            const std::string text = "\xEF\xBB\xBF" + ReadFile(file);
            std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
            break;
        }
        case Damage::ControlByte:
        case Damage::UnitSeparator:
        case Damage::Del:
        case Damage::Nul: {
            // Inside a number ("6<byte>0", which a reader stopping at the byte takes for 6) or in
            // the middle of the text.
            std::string text = ReadFile(file);
            const std::size_t sixty = text.find("60");
            const char byte = damage == Damage::Nul ? '\0' : damage == Damage::Del ? '\x7F'
                              : damage == Damage::UnitSeparator ? '\x1F' : '\x01';
            text.insert(sixty == std::string::npos ? text.size() / 2 : sixty + 1, 1, byte);
            std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
            break;
        }
        case Damage::Empty:
            std::filesystem::resize_file(file, 0);
            break;
        case Damage::MissingAndUnwritable:
            // A full disk: the superuser the tests run as writes a read-only folder all the same.
            std::filesystem::remove(file);
            fullDisk = std::make_unique<WriteFault>(0, file);
            break;
        case Damage::Big100MiB:
            std::filesystem::resize_file(file, 100ull << 20); // sparse: nothing is written
            break;
        case Damage::Big1GiB:
            std::filesystem::resize_file(file, 1ull << 30);
            break;
        }
    }

    void Start(Place place)
    {
        // As RunVexal does, with the settings store on the test's folder where it is the case.
        if (place == Place::SettingsFile)
            InstallQtSettings(QString::fromStdString(settings.Path().string()));
        CheckProgramFolder();
        StartVexal();
        ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1") && !IsBusy(); }));
        Pump();
        // The load ends by closing the splash, whether it could read its files or not.
        ASSERT_EQ(FindWindow("opening"), nullptr) << "the splash stays over the program after the load";
    }

    void Press(const char* toolbar, int button, const char* window)
    {
        TheMain()->findChild<QToolBar*>(toolbar)->actions().at(button)->trigger();
        ASSERT_TRUE(WaitFor([window] { return !IsBusy() && FindWindow(window); })) << window;
        Pump();
    }

    // What the user does that reads the file.
    void Use(Place place, Damage damage, const std::filesystem::path& file)
    {
        switch (place) {
        case Place::SeasonFile:
            // The chosen season's file is read by the start-up's load; with no season loaded the
            // views refuse to open, with a message of their own. Once loaded, the data-entry
            // windows read it again.
            if (damage == Damage::ReadFailsLater) {
                Press("cToolbar2", 2, "FORM2");
                Press("cToolbar1", 2, "lines");
            }
            break;
        case Place::ProgramIni:
        case Place::SettingsFile:
        case Place::DefaultFormula:
        case Place::OwnFormula:
            Press("cToolbar1", 4, "PREDICT");
            break;
        case Place::LineFileInUse:
            Press("cToolbar1", 2, "lines");
            Press("cToolbar2", 2, "FORM2");
            Press("cToolbar1", 4, "PREDICT");
            break;
        case Place::Template: {
            Press("cToolbar1", 8, "frmTest");
            SetDialogScripts({[file](const FileRequest&) { return FileAnswer{true, file.string()}; }, {}, {}});
            auto* load = FindWindow("frmTest")->findChild<QAction*>("mnuLTT");
            ASSERT_NE(load, nullptr);
            load->trigger();
            Pump();
            break;
        }
        case Place::StatFile: {
            SetDialogScripts({[file](const FileRequest&) { return FileAnswer{true, file.string()}; }, {}, {}});
            DownloadWindow window;
            window.findChild<QPushButton*>("cmdGetFile")->click();
            ASSERT_TRUE(WaitFor([] { return !IsBusy(); }));
            Pump();
            break;
        }
        }
    }

    TempFolder settings;
    TempFolder templates;
    std::unique_ptr<ReadFault> unreadable;
    std::unique_ptr<ReadErrorFault> failingRead;
    std::unique_ptr<WriteFault> fullDisk;
};

TEST_P(DamagedFiles, NothingWaitsTheFileIsNamedOnceByFileAndCauseAndNoFileChanges)
{
    const Case c = GetParam();
    const std::filesystem::path file = PathOf(c.place);
    WriteWholeFiles(c.place);
    Spoil(file, c.damage);
    const auto before = Snapshot({program.Path(), settings.Path(), templates.Path()});
    ScriptedMessages& messages = InstallScriptedMessages();

    Start(c.place);
    if (c.damage == Damage::ReadFailsLater) {
        ASSERT_TRUE(messages.shown.empty()) << messages.shown[0].text;
        failingRead = std::make_unique<ReadErrorFault>(file);
    }
    Use(c.place, c.damage, file);
    if (c.place == Place::SettingsFile) {
        // Exit: the settings of the run are saved where they are kept.
        UnloadAllForms();
        Pump();
    }

    if (c.place == Place::DefaultFormula) {
        // The file's own formula when it is sound, else the built-in one: never a number cut
        // short or a formula of zeros.
        EXPECT_EQ(App().CurrentFormula[fsOffense], IsSound(c) ? 60 : 50);
        EXPECT_EQ(App().CurrentFormula[fsHomeField], 3) << "the first number as written";
    }
    if (c.place == Place::OwnFormula) {
        // The file's own formula when it is sound, else none of it: never a number cut short.
        QWidget* editor = FindWindow("frmFormula");
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->findChild<QComboBox*>("Combo2")->currentText(), "mine.fla");
        EXPECT_EQ(editor->findChild<QLineEdit*>("txtFla_3")->text(), IsSound(c) ? "70" : "0");
        EXPECT_EQ(editor->findChild<QLineEdit*>("txtFla_0")->text(), IsSound(c) ? "3" : "0");
    }
    if (IsSound(c)) {
        EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;
        if (c.place == Place::Template) { // the first field as its user wrote it
            EXPECT_EQ(FindWindow("frmTest")->findChild<QLineEdit*>("txtrola_0")->text(), "1");
        }
        if (c.place == Place::SettingsFile) {
            EXPECT_EQ(LineFileInUse(), "MyLines") << "the settings file's own line file";
            EXPECT_NE(ReadFile(file).find("Preference\\LineFile=MyLines"), std::string::npos) << ReadFile(file);
        }
        return;
    }
    if (c.damage == Damage::Utf8Mark) {
        // The stat file's game, read from its first field on: the import asks about it and ends.
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_EQ(messages.shown.back().text.rfind("Import of Week 10 Completed", 0), 0u) << messages.shown[0].text;
        return;
    }
    ASSERT_EQ(messages.shown.size(), 1u);
    const std::string& text = messages.shown[0].text;
    EXPECT_NE(text.find(file.string()), std::string::npos) << text;
    if (c.damage == Damage::ReadFails || c.damage == Damage::ReadFailsLater || c.damage == Damage::SecondReadFails) {
        EXPECT_NE(text.find(file.string() + " could not be read: the disk reported an input/output error."),
                  std::string::npos)
            << text;
    }
    if (c.place == Place::LineFileInUse) {
        EXPECT_EQ(LineFileInUse(), "MyLines") << "the line file in use stays chosen";
    }
    if (c.damage == Damage::Empty && c.place == Place::LineFileInUse) {
        EXPECT_NE(text.find(file.string() + " is damaged: it holds no line record"), std::string::npos) << text;
    }
    if (c.damage == Damage::Empty && c.place != Place::LineFileInUse) {
        EXPECT_NE(text.find(file.string() + " ends after 0 of the 20 numbers of a formula."), std::string::npos) << text;
    }
    const auto after = Snapshot({program.Path(), settings.Path(), templates.Path()});
    for (const auto& [path, seen] : before) {
        const auto now = after.find(path);
        ASSERT_NE(now, after.end()) << path << " is gone";
        EXPECT_TRUE(now->second == seen) << path << " changed";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, DamagedFiles, ::testing::ValuesIn(AllCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return NameOf(info.param.place) + "_" + NameOf(info.param.damage);
                         });

} // namespace
} // namespace vexal::test
