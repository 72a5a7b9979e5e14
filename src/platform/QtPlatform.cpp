#include "QtPlatform.h"

#include "FileChecks.h"
#include "Host.h"
#include "IniFile.h"
#include "MsgBox.h"
#include "RecordFile.h"
#include "SettingsStore.h"
#include "SettingsText.h"
#include "Steps.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QLockFile>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QMap>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QUrl>

#include <cctype>
#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

namespace vexal {

namespace {

class QtMessages : public MessageService {
public:
    int32_t MsgBox(const std::string& text, int32_t buttons, const std::string& title) override
    {
        QMessageBox box(QApplication::activeWindow());
        box.setObjectName("MsgBox");
        box.setWindowTitle(Q(title));
        // Messages are plain text: a file name with "<" must not turn into markup.
        box.setTextFormat(Qt::PlainText);
        box.setText(Q(text));
        switch (buttons & 0x70) {
        case vbCritical: box.setIcon(QMessageBox::Critical); break;
        case vbQuestion: box.setIcon(QMessageBox::Question); break;
        case vbExclamation: box.setIcon(QMessageBox::Warning); break;
        case vbInformation: box.setIcon(QMessageBox::Information); break;
        default: break;
        }
        struct B { QMessageBox::StandardButton b; int32_t answer; };
        std::vector<B> set;
        switch (buttons & 7) {
        case vbOKCancel: set = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}}; break;
        case vbAbortRetryIgnore: set = {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}}; break;
        case vbYesNoCancel: set = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}}; break;
        case vbYesNo: set = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}}; break;
        case vbRetryCancel: set = {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}}; break;
        default: set = {{QMessageBox::Ok, vbOK}}; break;
        }
        QMessageBox::StandardButtons all;
        for (const auto& b : set)
            all |= b.b;
        box.setStandardButtons(all);
        // The window manager cuts a title wider than the box ("F..."): keep the box at least as
        // wide as its title with room for the title bar's icon and buttons.
        if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
            grid->addItem(new QSpacerItem(TitleRoom(box, Q(title)), 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                          grid->rowCount(), 0, 1, grid->columnCount());
        std::size_t def = (buttons & vbDefaultButton3) ? 2 : (buttons & vbDefaultButton2) ? 1 : 0;
        if (def < set.size())
            box.setDefaultButton(set[def].b);
        int r = box.exec();
        for (const auto& b : set)
            if (r == b.b)
                return b.answer;
        return (buttons & 7) == vbOKOnly ? vbOK : vbCancel;
    }

    // The width a message box needs to show its whole title in the title bar.
    static int TitleRoom(const QWidget& box, const QString& title)
    {
        QFont font = QApplication::font("QMdiSubWindowTitleBar");
        font.setBold(true);
        const int text = std::max(QFontMetrics(font).horizontalAdvance(title), QFontMetrics(box.font()).horizontalAdvance(title));
        return text + 120;
    }

    std::string InputBox(const std::string& prompt, const std::string& title, const std::string& defaultText) override
    {
        QInputDialog dialog(QApplication::activeWindow());
        dialog.setObjectName("InputBox");
        dialog.setWindowTitle(Q(title));
        dialog.setLabelText(Q(prompt));
        dialog.setTextValue(Q(defaultText));
        // The dialog's layout sizes it to its contents: the text box is made wide enough.
        if (auto* box = dialog.findChild<QLineEdit*>())
            box->setMinimumWidth(TitleRoom(dialog, Q(title)) - 2 * dialog.style()->pixelMetric(QStyle::PM_LayoutLeftMargin));
        return dialog.exec() == QDialog::Accepted ? S(dialog.textValue()) : std::string();
    }
};

// What the store holds of the text the program read of its file, in words for a message;
// empty when it holds every entry of it. A read that failed part-way leaves the store's
// status as it was, with only what came before the failure: its entries tell. A key written
// twice, under one spelling or two the store takes for one ("A\B" and "A/B", a section
// [Vexal\A] beside [Vexal], the top of the file and [General]), holds one of its values;
// which one is no proof of anything.
std::string StoreShortfall(const QSettings& settings, const std::filesystem::path& file, std::string_view text)
{
    const SettingsText read = SettingsText::Read(text);
    std::map<QString, int> times;
    for (const SettingsTextEntry& e : read.entries)
        ++times[e.path];
    for (const SettingsTextEntry& e : read.entries) {
        if (!e.found)
            continue;
        const bool whole = settings.contains(e.path) &&
                           (!e.plainValue || times[e.path] > 1 ||
                            settings.value(e.path).toString() == QString::fromLatin1(e.value.data(), static_cast<qsizetype>(e.value.size())));
        if (!whole)
            return file.string() + " could not be read: the settings store did not read its entry \"" + e.key +
                   "\" (line " + std::to_string(e.line) + ") as the file holds it.";
    }
    return {};
}

// Why the store did not take the file as the program read it (text), in words for a message;
// empty when it did. The store reads the file again, by its own means, and keeps no error
// status for a read that failed after the open. The form of the text is the program's own
// check's to judge (ProfileTextDamage): the store calls a file with a "#" comment or a UTF-8
// mark a format error while it reads every entry of it.
std::string StoreReadProblem(QSettings& settings, const std::filesystem::path& file, std::string_view text)
{
    settings.allKeys();
    if (settings.status() == QSettings::AccessError)
        return file.string() + " could not be read as settings.";
    // The failing disk of a test fails the store's read as it fails every other.
    if (BytesBeforeReadError(file) < text.size())
        return ReadFailure(file, EIO);
    return StoreShortfall(settings, file, text);
}

// The lock the settings store (QSettings) itself takes while it writes its file, a lock file
// "<file>.lock" beside it: held while the file is read and while it is edited and written
// back, so that no other instance of the program, and no other program writing through the
// store, writes between the two. Where no lock file can be made (a folder that refuses new
// files, a disk that is full or read-only) the file is read and written as before, and a write
// meets and names its own cause. A lock its holder left behind is taken over once the holder
// is gone, or on another machine once the lock is stale.
class SettingsFileLock {
public:
    explicit SettingsFileLock(const std::filesystem::path& file) : file_(file), lock_(Q(file.string()) + ".lock")
    {
        // A save takes a few milliseconds: a minute is far past any writer's turn, and past
        // the age at which a lock left by another machine counts as stale.
        held_ = lock_.tryLock(60000);
    }
    // Why the file may not be written now; empty when the lock is held or none can be made.
    std::string Problem() const
    {
        if (held_ || lock_.error() != QLockFile::LockFailedError)
            return {};
        return WriteFailure(file_, "another program has held its lock " + S(lock_.fileName()) + " for a minute");
    }

private:
    std::filesystem::path file_;
    QLockFile lock_;
    bool held_ = false;
};

// The settings of the user's file as the settings store (QSettings) read it at the start, and
// every change of the run. A change is written into the file's own text: only its entry is
// written, and every other byte (comments, key order, blank lines, line ends, a UTF-8 mark)
// stays as the user left it, where the store would write the whole file anew. A change that
// cannot be written is named once, by file and cause, and held in memory for the rest of
// the run.
class QtSettingsStore : public SettingsStore {
public:
    // `text` is the file's text the store read `read` from.
    QtSettingsStore(std::filesystem::path file, const QSettings& read, std::string_view text) : file_(std::move(file))
    {
        for (const QString& key : read.allKeys())
            values_.insert(key, read.value(key));
        for (const SettingsTextEntry& e : SettingsText::Read(text).entries)
            started_[e.path].spelled += e.value + '\n';
        for (auto it = started_.begin(); it != started_.end(); ++it)
            if (const auto value = values_.constFind(it.key()); value != values_.cend())
                it->value = Text(*value);
    }
    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override
    {
        const auto found = values_.constFind(Find(app, section, key));
        if (found == values_.cend())
            return defaultValue;
        return Text(*found).value_or(defaultValue);
    }
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override
    {
        const QString path = Find(app, section, key);
        values_.insert(path, Q(value));
        Write([&](std::string_view text) -> std::optional<std::string> {
            // A value the file holds already, as it is now, is not written again: its spelling
            // stays the user's. One another program changed since the start is written.
            if (HeldInFile(text, path, value))
                return std::string(text);
            return SettingsTextWithValue(text, path, Q(value));
        });
    }
    void DeleteSetting(const std::string& app, const std::string& section, const std::string& key) override
    {
        const QString path = Find(app, section, key);
        if (!values_.contains(path))
            return;
        values_.remove(path);
        Write([&](std::string_view text) { return std::optional(SettingsTextWithout(text, path)); });
    }

private:
    // A value as the program takes it: a hand-edited value with a comma reads back as a list,
    // and it is still one text; a value of no text gives the default.
    static std::optional<std::string> Text(const QVariant& v)
    {
        if (v.typeId() == QMetaType::QStringList)
            return S(v.toStringList().join(", "));
        if (!v.canConvert<QString>())
            return std::nullopt;
        return S(v.toString());
    }
    // Whether the file's text holds `value` under the path: each of its entries spells it as
    // the store writes it or as the plain text, or the entries are as they were at the start,
    // when the store read `value` from them.
    bool HeldInFile(std::string_view text, const QString& path, const std::string& value) const
    {
        const std::string stored = SettingsValueText(Q(value));
        std::string spelled;
        bool each = true;
        for (const SettingsTextEntry& e : SettingsText::Read(text).entries) {
            if (e.path != path)
                continue;
            spelled += e.value + '\n';
            each = each && (e.value == stored || (e.plainValue && e.value == value));
        }
        if (spelled.empty())
            return false;
        const auto start = started_.constFind(path);
        return each || (start != started_.cend() && start->spelled == spelled && start->value == value);
    }
    static QString Name(const std::string& name)
    {
        // Names may hold blanks and slashes; the store takes both slashes as group separators.
        QString n = Q(name);
        n.replace('/', '|');
        n.replace('\\', '|');
        return n;
    }
    static QString Path(const std::string& app, const std::string& section, const std::string& key)
    {
        return Name(app) + "/" + Name(section) + "/" + Name(key);
    }
    // Names match without regard to case, as in the platform's per-user store: an entry saved
    // as "SortbyWin" is the one read as "SortByWin".
    QString Find(const std::string& app, const std::string& section, const std::string& key) const
    {
        const QString exact = Path(app, section, key);
        if (values_.contains(exact))
            return exact;
        for (auto it = values_.cbegin(); it != values_.cend(); ++it)
            if (it.key().compare(exact, Qt::CaseInsensitive) == 0)
                return it.key();
        return exact;
    }
    // Reads the file as it is now (another program may have changed it since the start), makes
    // the edit and writes the file whole through the one safe writer, all under the file's
    // lock: an edit is made to the text the write replaces, so a setting another instance
    // saved meanwhile stays. The lock is let go before a failure is shown.
    template <class Edit>
    void Write(Edit edit)
    {
        std::string problem;
        {
            std::error_code ec;
            std::filesystem::create_directories(file_.parent_path(), ec);
            SettingsFileLock lock(file_);
            problem = lock.Problem();
            std::string text;
            if (problem.empty() && !IsMissingFile(file_) && ReadWholeFile(file_, text, problem, FileKind::Settings)) {
                if (const std::string damage = ProfileTextDamage(text); !damage.empty())
                    problem = file_.string() + " is damaged: " + damage + ".";
            }
            std::optional<std::string> edited;
            if (problem.empty()) {
                edited = edit(text);
                if (!edited)
                    problem = WriteFailure(file_, "the entry would not read back as written: an open quote or a line-end backslash before it runs on into it");
            }
            if (problem.empty() && *edited != text) {
                AtomicFileWrite write(file_);
                if (!write.Write(*edited) || !write.Commit())
                    problem = write.Describe();
            }
        }
        if (problem.empty()) {
            ForgetFileProblem(file_);
            return;
        }
        ReportFileProblem(file_, problem + " A setting that could not be saved is kept only until the program ends.");
    }

    std::filesystem::path file_;
    QMap<QString, QVariant> values_;
    // Each key's entries in the file at the start, as written, and the value the store read.
    struct Started {
        std::string spelled;
        std::optional<std::string> value;
    };
    QMap<QString, Started> started_;
};

// Documents and addresses open with the desktop's handler, whatever the file's mode. A
// program or a script is never started by a click alone: the user first confirms, shown the
// file and where it came from.
class QtLauncher : public ShellLauncher {
public:
    long Open(const std::string& file, const std::string& workingFolder, long) override
    {
        failure_.clear();
        QString f = Q(file);
        for (const char* scheme : {"http:", "https:", "mailto:", "ftp:"}) {
            if (f.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
                return QDesktopServices::openUrl(QUrl(f)) ? 42 : 31;
        }
        if (f.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
            f = QUrl(f).toLocalFile();
        QFileInfo info(f);
        if (!info.exists() && !workingFolder.empty())
            info = QFileInfo(QDir(Q(workingFolder)), f);
        if (!info.exists())
            return 2; // file not found
        const QString path = info.absoluteFilePath();
        if (!IsProgram(info))
            return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? 42 : 31;
        std::string origin = LaunchOrigin::Current();
        if (origin.empty())
            origin = "the folder " + S(info.absolutePath());
        const int32_t answer =
            MsgBox("The file " + S(path) + " is a program or a script.\r\nIt came from " + origin +
                       ".\r\n\r\nStart it only if you trust where it came from. Do you want to start it?",
                   vbYesNo | vbExclamation | vbDefaultButton2, "Start a program");
        if (answer != vbYes)
            return 42; // the user's refusal is no failure to report
        if (info.isExecutable() && StartsAsProgram(info)) {
            QProcess process;
            process.setProgram(path);
            process.setWorkingDirectory(Q(workingFolder));
            if (process.startDetached())
                return 42;
            failure_ = "It could not be started: " + S(process.errorString()) + ".";
            return 11; // the shell's number for a program that does not run
        }
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? 42 : 31;
    }

    std::string FailureCause() const override { return failure_; }

private:
    std::string failure_;

    // A compiled program or a script by its first bytes: what the system itself would run.
    static bool StartsAsProgram(const QFileInfo& info)
    {
        QFile file(info.absoluteFilePath());
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray head = file.read(4);
        return head.startsWith("\x7f" "ELF") || head.startsWith("#!");
    }

    // A file the desktop would run rather than show, told by what it is whatever its name: a
    // compiled program or a script by its first bytes, a desktop entry, or a Windows program,
    // script or installer a compatibility layer would start. The execute bit alone makes no
    // program: a FAT, exFAT or NTFS folder (a USB stick) marks every file executable.
    static bool IsProgram(const QFileInfo& info)
    {
        if (!info.isFile())
            return false;
        if (StartsAsProgram(info))
            return true;
        QFile file(info.absoluteFilePath());
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray head = file.read(4096);
            if (head.startsWith("MZ"))
                return true;
            // A desktop entry may open with comments before its group heading.
            for (const QByteArray& line : head.split('\n')) {
                const QByteArray l = line.trimmed();
                if (l.isEmpty() || l.startsWith('#'))
                    continue;
                if (l == "[Desktop Entry]")
                    return true;
                break;
            }
        }
        // Scripts and Windows programs a handler may run even without the execute bit.
        static const QStringList runBySuffix = {
            "sh",  "bash", "zsh", "csh", "ksh", "fish", "py",  "pyw", "pl",  "rb",  "php", "tcl", "lua", "js",
            "jar", "desktop", "exe", "com", "bat", "cmd", "msi", "scr", "pif", "ps1", "vbs", "wsf", "lnk",
            "deb", "rpm", "appimage"};
        return runBySuffix.contains(info.suffix(), Qt::CaseInsensitive);
    }
};

} // namespace

std::unique_ptr<ShellLauncher> MakeDesktopLauncher() { return std::make_unique<QtLauncher>(); }

Q_LOGGING_CATEGORY(StepLog, "vexal.steps", QtWarningMsg)

QString SettingsFile(const QString& settingsFolder)
{
    if (!settingsFolder.isEmpty())
        return QDir(settingsFolder).filePath("Vexal.conf");
    // Where QSettings keeps an INI store of the user's scope.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)).filePath("Vexal/Vexal.ini");
}

std::string SettingsStoreShortfall(const QString& file, std::string_view text)
{
    QSettings settings(file, QSettings::IniFormat);
    return StoreReadProblem(settings, S(file), text);
}

void InstallQtSettings(const QString& settingsFolder)
{
    // QSettings reads the whole file with no limit, waits on a pipe, and takes a file it could
    // not read whole (a failing read, a cut or garbled text) as the settings there are, which
    // its next write then makes so. The file is read and looked at first: one that fails is
    // left as it is, named, and the settings of this run stay in memory.
    const std::filesystem::path file = S(SettingsFile(settingsFolder));
    std::string problem, text;
    std::unique_ptr<QtSettingsStore> store;
    {
        // Both reads see one file: no writer that locks it replaces it between them. A lock
        // held too long is no fault of the file: it is read as it stands.
        const SettingsFileLock lock(file);
        const bool missing = IsMissingFile(file);
        if (!missing && ReadWholeFile(file, text, problem, FileKind::Settings)) {
            if (const std::string damage = ProfileTextDamage(text); !damage.empty())
                problem = file.string() + " is damaged: " + damage + ".";
        }
        // The store reads the file again: what it is about to read is looked at as the
        // program's own read was (the file may have been replaced since), and it must take
        // what that read.
        if (problem.empty() && !missing)
            CheckFileToRead(file, FileKind::Settings, problem);
        if (problem.empty()) {
            QSettings settings(Q(file.string()), QSettings::IniFormat);
            problem = StoreReadProblem(settings, file, text);
            if (problem.empty())
                store = std::make_unique<QtSettingsStore>(file, settings, text);
        }
    }
    if (!problem.empty()) {
        InstallSettings(std::make_unique<MemorySettings>());
        ReportFileProblem(file, problem + " The program starts with its default settings and keeps changes to "
                                          "them only until it ends.");
        return;
    }
    InstallSettings(std::move(store));
}

void InstallQtPlatform(const QString& settingsFolder)
{
    InstallMessages(std::make_unique<QtMessages>());
    // Before any file is read: a file whose save was cut short is put back first.
    PutBackUnfinishedWrites();
    InstallQtSettings(settingsFolder);
    InstallLauncher(std::make_unique<QtLauncher>());
    SetDoEventsHook([] { QCoreApplication::processEvents(); });
    // Steps left out or reported go to a debug category that is off unless asked for.
    SetStepLogSink([](const std::string& text) { qCDebug(StepLog).noquote() << QString::fromStdString(text); });
}

} // namespace vexal
