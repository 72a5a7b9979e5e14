#pragma once
// Installs the Qt services behind the GUI-free interfaces: message boxes as dialogs,
// the settings store (read by QSettings, changes written into the file's own text),
// documents opened with their associated program, and DoEvents as processEvents.
#include <QString>

#include <memory>
#include <string>
#include <string_view>

namespace vexal {

class ShellLauncher;

// The launcher the program installs: the desktop's handler for documents and addresses, and a
// confirmation before any program or script starts.
std::unique_ptr<ShellLauncher> MakeDesktopLauncher();
// settingsFolder empty: QSettings' usual per-user place; else an INI file in that folder.
void InstallQtPlatform(const QString& settingsFolder = QString());
// The settings store alone, as InstallQtPlatform installs it: a settings file that is no
// readable plain file of a settings file's size is named in a message and left as it is. A
// change saved later changes only its own entry of the file; one that cannot be written is
// named once and kept in memory for the rest of the run.
void InstallQtSettings(const QString& settingsFolder = QString());
// The file that store keeps.
QString SettingsFile(const QString& settingsFolder = QString());
// What a settings store on `file` did not take of `text`, the program's own read of that file,
// in words for a message naming the file; empty when it holds every entry of it. The store
// reads the file again by its own means, and a read of it that fails part-way leaves no error.
std::string SettingsStoreShortfall(const QString& file, std::string_view text);

inline QString Q(const std::string& s) { return QString::fromStdString(s); }
inline std::string S(const QString& s) { return s.toStdString(); }

} // namespace vexal
