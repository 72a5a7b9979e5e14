#include "QtPlatform.h"

#include "FileChecks.h"
#include "Host.h"
#include "IniFile.h"
#include "MsgBox.h"
#include "RecordFile.h"
#include "SettingsStore.h"
#include "Steps.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QUrl>

#include <cctype>
#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>
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

// An entry of a settings file's text in the form the settings store gives it: its key path
// ("Vexal/Settings/WebSite" for the key Settings\WebSite of the section [Vexal]) and its value.
struct TextEntry {
    std::size_t line = 0;
    std::string key;      // as the file writes it
    QString path;
    QString value;
    bool plainValue = false; // a value the store gives back as the file writes it
};

std::string_view TrimmedBlanks(std::string_view s)
{
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A section name or one part of a key in letters, digits, blanks, "_", "-", "." and the
// store's own %XX escapes of printable characters, decoded; false for anything else, whose
// reading by the store this check does not presume to know.
bool PlainName(std::string_view text, QString& name)
{
    name.clear();
    if (text.empty())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (std::isalnum(static_cast<unsigned char>(c)) || c == ' ' || c == '_' || c == '-' || c == '.') {
            name += QLatin1Char(c);
            continue;
        }
        if (c != '%' || i + 2 >= text.size() || HexDigit(text[i + 1]) < 0 || HexDigit(text[i + 2]) < 0)
            return false;
        const int code = HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]);
        if (code < 0x20 || code > 0x7E || code == '/' || code == '\\')
            return false;
        name += QLatin1Char(static_cast<char>(code));
        i += 2;
    }
    return true;
}

// The entries of a settings file's text whose keys the store's reading is sure for; entries
// of other forms are passed over (they are no proof of a short read either way).
std::vector<TextEntry> PlainEntries(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<TextEntry> entries;
    QString section;
    bool sectionKnown = true; // entries before any section are the store's top level
    std::size_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::string_view t = TrimmedBlanks(line);
        if (t.empty() || t.front() == ';')
            continue;
        if (t.front() == '[') {
            const auto close = t.find(']');
            QString name;
            // The store takes a section called General for its top level: passed over too.
            sectionKnown = close != std::string_view::npos && PlainName(TrimmedBlanks(t.substr(1, close - 1)), name) &&
                           name.compare(QLatin1String("general"), Qt::CaseInsensitive) != 0;
            section = name;
            continue;
        }
        const auto eq = t.find('=');
        if (eq == std::string_view::npos)
            continue;
        const std::string_view value = TrimmedBlanks(t.substr(eq + 1));
        // The store runs a value on over the next lines after a backslash at its end or an
        // open quote: from there on, which line is an entry is its own reading.
        bool quoted = false;
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (value[i] == '\\')
                ++i;
            else if (value[i] == '"')
                quoted = !quoted;
            else if (value[i] == ';' && !quoted)
                break;
        }
        if (quoted || (!value.empty() && value.back() == '\\'))
            break;
        const std::string_view key = TrimmedBlanks(t.substr(0, eq));
        QString path = section;
        bool plain = sectionKnown && !key.empty();
        for (std::size_t from = 0; plain && from <= key.size();) {
            std::size_t to = key.find('\\', from);
            if (to == std::string_view::npos)
                to = key.size();
            QString part;
            plain = PlainName(key.substr(from, to - from), part);
            path += (path.isEmpty() ? QString() : QStringLiteral("/")) + part;
            from = to + 1;
        }
        if (!plain)
            continue;
        TextEntry entry{number, std::string(key), path, QString::fromLatin1(value.data(), static_cast<qsizetype>(value.size())),
                        value.empty() || value.front() != '@'};
        for (const char c : value) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 0x20 || u > 0x7E || c == '"' || c == '\\' || c == ',' || c == ';')
                entry.plainValue = false;
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

// What the store holds of the text the program read of its file, in words for a message;
// empty when it holds every entry of it. A read that failed part-way leaves the store's
// status as it was, with only what came before the failure: its entries tell.
std::string StoreShortfall(const QSettings& settings, const std::filesystem::path& file, std::string_view text)
{
    const std::vector<TextEntry> entries = PlainEntries(text);
    std::map<QString, int> times;
    for (const TextEntry& e : entries)
        ++times[e.path];
    for (const TextEntry& e : entries) {
        // A key written twice holds its last value; which one is no proof of anything.
        const bool whole = settings.contains(e.path) &&
                           (!e.plainValue || times[e.path] > 1 || settings.value(e.path).toString() == e.value);
        if (!whole)
            return file.string() + " could not be read: the settings store did not read its entry \"" + e.key +
                   "\" (line " + std::to_string(e.line) + ") as the file holds it.";
    }
    return {};
}

class QtSettingsStore : public SettingsStore {
public:
    explicit QtSettingsStore(const QString& file) : settings_(std::make_unique<QSettings>(file, QSettings::IniFormat)) {}
    // Why the store did not take the file as the program read it (text), in words for a
    // message; empty when it did. The store reads the file again, by its own means, and
    // keeps no error status for a read that failed after the open.
    std::string ReadProblem(const std::filesystem::path& file, std::string_view text) const
    {
        settings_->allKeys();
        if (settings_->status() != QSettings::NoError)
            return file.string() + " could not be read as settings.";
        // The failing disk of a test fails the store's read as it fails every other.
        if (BytesBeforeReadError(file) < text.size())
            return ReadFailure(file, EIO);
        return StoreShortfall(*settings_, file, text);
    }
    std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                           const std::string& defaultValue) override
    {
        QVariant v = settings_->value(Find(app, section, key));
        if (!v.isValid())
            return defaultValue;
        // A hand-edited value with a comma reads back as a list; it is still one text.
        if (v.typeId() == QMetaType::QStringList)
            return S(v.toStringList().join(", "));
        if (!v.canConvert<QString>())
            return defaultValue;
        return S(v.toString());
    }
    void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override
    {
        settings_->setValue(Find(app, section, key), Q(value));
        settings_->sync();
    }
    void DeleteSetting(const std::string& app, const std::string& section, const std::string& key) override
    {
        settings_->remove(Find(app, section, key));
        settings_->sync();
    }

private:
    static QString Name(const std::string& name)
    {
        // Names may hold blanks and slashes; QSettings takes both slashes as group separators.
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
    QString Find(const std::string& app, const std::string& section, const std::string& key)
    {
        const QString exact = Path(app, section, key);
        if (settings_->contains(exact))
            return exact;
        const QString wanted = exact.toLower();
        const QStringList all = settings_->allKeys();
        for (const QString& k : all) {
            if (k.toLower() == wanted)
                return k;
        }
        return exact;
    }
    std::unique_ptr<QSettings> settings_;
};

// Documents and addresses open with the desktop's handler. A program or a script is never
// started by a click alone: the user first confirms, shown the file and where it came from.
class QtLauncher : public ShellLauncher {
public:
    long Open(const std::string& file, const std::string& workingFolder, long) override
    {
        QString f = Q(file);
        for (const char* scheme : {"http:", "https:", "mailto:", "ftp:"}) {
            if (f.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
                return QDesktopServices::openUrl(QUrl(f)) ? 42 : 2;
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
        if (info.isExecutable())
            return QProcess::startDetached(path, {}, Q(workingFolder)) ? 42 : 31;
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? 42 : 31;
    }

private:
    // A file the desktop would run rather than show, told by what it is whatever its name:
    // anything marked executable, a compiled program or a script by its first bytes, a desktop
    // entry, or a Windows program, script or installer a compatibility layer would start.
    static bool IsProgram(const QFileInfo& info)
    {
        if (!info.isFile())
            return false;
        if (info.isExecutable())
            return true;
        QFile file(info.absoluteFilePath());
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray head = file.read(4096);
            if (head.startsWith("\x7f" "ELF") || head.startsWith("#!") || head.startsWith("MZ"))
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
    const QSettings settings(file, QSettings::IniFormat);
    return StoreShortfall(settings, S(file), text);
}

void InstallQtSettings(const QString& settingsFolder)
{
    // QSettings reads the whole file with no limit, waits on a pipe, and takes a file it could
    // not read whole (a failing read, a cut or garbled text) as the settings there are, which
    // its next write then makes so. The file is read and looked at first: one that fails is
    // left as it is, named, and the settings of this run stay in memory.
    const std::filesystem::path file = S(SettingsFile(settingsFolder));
    std::string problem, text;
    const bool missing = IsMissingFile(file);
    if (!missing && ReadWholeFile(file, text, problem, FileKind::Settings)) {
        if (const std::string damage = ProfileTextDamage(text); !damage.empty())
            problem = file.string() + " is damaged: " + damage + ".";
    }
    // The store reads the file again: what it is about to read is looked at as the program's
    // own read was (the file may have been replaced since), and it must take what that read.
    if (problem.empty() && !missing)
        CheckFileToRead(file, FileKind::Settings, problem);
    auto store = problem.empty() ? std::make_unique<QtSettingsStore>(Q(file.string())) : nullptr;
    if (store)
        problem = store->ReadProblem(file, text);
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
    InstallQtSettings(settingsFolder);
    InstallLauncher(std::make_unique<QtLauncher>());
    SetDoEventsHook([] { QCoreApplication::processEvents(); });
    // Steps left out or reported go to a debug category that is off unless asked for.
    SetStepLogSink([](const std::string& text) { qCDebug(StepLog).noquote() << QString::fromStdString(text); });
}

} // namespace vexal
