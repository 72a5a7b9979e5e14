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

// An entry of a settings file's text as the settings store reads it: its key path
// ("Vexal/Settings/WebSite" for the key Settings\WebSite of the section [Vexal]), where its
// bytes lie (a quote or a backslash may run it over several lines) and its value as written.
struct TextEntry {
    std::size_t line = 0;  // the line it starts on
    std::size_t begin = 0; // its bytes in the text, without the line end after it
    std::size_t end = 0;
    std::size_t section = 0; // the section it is written under (its index in SettingsText::sections)
    std::string key;       // as the file writes it
    QString path;
    bool found = false;      // a path the store can be asked for (no empty part)
    std::string value;       // as the file writes it, without the blanks around it
    bool plainValue = false; // a value the store gives back as the file writes it
};

// A section heading of the text, or the top of the text before any heading: the key path its
// entries start with ("Vexal/", empty for the top level and [General]).
struct TextSection {
    std::size_t headingEnd = 0; // where the heading's line ends (0 for the top of the text)
    QString prefix;
};

// A settings file's text as the settings store reads it: its sections and its entries, in the
// order the file writes them.
struct SettingsText {
    std::vector<TextSection> sections;
    std::vector<TextEntry> entries;
};

bool IsLineBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view TrimmedSpace(std::string_view s)
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
    while (!s.empty() && space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && space(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view TrimmedBlanks(std::string_view s)
{
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// The next line of the text as the store reads it, from `pos` on: blanks and comment lines
// before it are passed over; a line end inside quotes or after a backslash does not end it;
// a ";" outside quotes ends it (what follows is a comment). False at the end of the text.
bool NextStoreLine(std::string_view text, std::size_t& pos, std::size_t& begin, std::size_t& end, std::size_t& equals)
{
    const std::size_t n = text.size();
    begin = pos;
    while (begin < n && IsLineBlank(text[begin]))
        ++begin;
    equals = std::string_view::npos;
    bool quoted = false;
    std::size_t i = begin;
    while (i < n) {
        const char c = text[i];
        if (c == '=') {
            if (!quoted && equals == std::string_view::npos)
                equals = i;
        } else if (c == '\n' || c == '\r') {
            if (!quoted)
                break;
        } else if (c == '\\') {
            if (i + 1 < n) {
                const char next = text[++i];
                if (i + 1 < n && ((next == '\n' && text[i + 1] == '\r') || (next == '\r' && text[i + 1] == '\n')))
                    ++i;
            }
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ';') {
            if (i == begin) {
                while (i < n && text[i] != '\n' && text[i] != '\r')
                    ++i;
                while (i < n && IsLineBlank(text[i]))
                    ++i;
                begin = i;
                continue;
            }
            if (!quoted)
                break;
        }
        ++i;
    }
    pos = i;
    end = i;
    return end > begin;
}

// A key or section name as the store reads it: UTF-8, "\" for "/", %XX and %UXXXX escapes.
QString StoreName(std::string_view text)
{
    const QString decoded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    QString name;
    for (qsizetype i = 0; i < decoded.size();) {
        const QChar c = decoded.at(i);
        if (c == u'\\') {
            name += u'/';
            ++i;
            continue;
        }
        if (c != u'%' || i == decoded.size() - 1) {
            name += c;
            ++i;
            continue;
        }
        const bool wide = decoded.at(i + 1) == u'U';
        const qsizetype first = i + (wide ? 2 : 1), digits = wide ? 4 : 2;
        bool ok = false;
        const int code = first + digits <= decoded.size() ? QStringView(decoded).sliced(first, digits).toInt(&ok, 16) : 0;
        if (!ok) {
            name += u'%';
            ++i;
            continue;
        }
        name += QChar(code);
        i = first + digits;
    }
    return name;
}

// The store files a key under a path with an empty part ("A\\B") where no look-up finds it.
bool FoundByPath(const QString& path)
{
    return !path.isEmpty() && !path.startsWith(u'/') && !path.endsWith(u'/') && !path.contains(QLatin1String("//"));
}

SettingsText ReadSettingsText(std::string_view text)
{
    SettingsText read;
    read.sections.push_back({});
    const std::size_t origin = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    std::size_t pos = origin, begin = 0, end = 0, equals = 0;
    std::size_t line = 1, counted = 0; // the line number of the byte at `counted`
    while (NextStoreLine(text, pos, begin, end, equals)) {
        for (; counted < begin; ++counted)
            if (text[counted] == '\n')
                ++line;
        const std::string_view whole = text.substr(begin, end - begin);
        if (whole.front() == '[') {
            const std::size_t close = whole.find(']');
            const std::string_view name =
                TrimmedSpace(whole.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            TextSection section{end, {}};
            const QLatin1String general("general");
            if (QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())).compare(general, Qt::CaseInsensitive) != 0) {
                if (name.size() == 8 && name.front() == '%' &&
                    QString::fromLatin1(name.data() + 1, 7).compare(general, Qt::CaseInsensitive) == 0)
                    section.prefix = QString::fromLatin1(name.data() + 1, 7);
                else
                    section.prefix = StoreName(name);
                section.prefix += u'/';
            }
            read.sections.push_back(section);
            continue;
        }
        if (equals == std::string_view::npos)
            continue;
        TextEntry entry;
        entry.line = line;
        entry.begin = begin;
        entry.end = end;
        entry.section = read.sections.size() - 1;
        const std::string_view key = TrimmedSpace(text.substr(begin, equals - begin));
        entry.key = std::string(key);
        entry.path = read.sections.back().prefix + StoreName(key);
        entry.found = FoundByPath(entry.path);
        entry.value = std::string(TrimmedBlanks(text.substr(equals + 1, end - equals - 1)));
        entry.plainValue = entry.value.empty() || entry.value.front() != '@';
        for (const char c : entry.value) {
            const auto u = static_cast<unsigned char>(c);
            if (u < 0x20 || u > 0x7E || c == '"' || c == '\\' || c == ',' || c == ';')
                entry.plainValue = false;
        }
        read.entries.push_back(std::move(entry));
    }
    return read;
}

// What the store holds of the text the program read of its file, in words for a message;
// empty when it holds every entry of it. A read that failed part-way leaves the store's
// status as it was, with only what came before the failure: its entries tell. A key written
// twice, under one spelling or two the store takes for one ("A\B" and "A/B", a section
// [Vexal\A] beside [Vexal], the top of the file and [General]), holds one of its values;
// which one is no proof of anything.
std::string StoreShortfall(const QSettings& settings, const std::filesystem::path& file, std::string_view text)
{
    const SettingsText read = ReadSettingsText(text);
    std::map<QString, int> times;
    for (const TextEntry& e : read.entries)
        ++times[e.path];
    for (const TextEntry& e : read.entries) {
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

class QtSettingsStore : public SettingsStore {
public:
    explicit QtSettingsStore(const QString& file) : settings_(std::make_unique<QSettings>(file, QSettings::IniFormat)) {}
    std::string ReadProblem(const std::filesystem::path& file, std::string_view text) const
    {
        return StoreReadProblem(*settings_, file, text);
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
