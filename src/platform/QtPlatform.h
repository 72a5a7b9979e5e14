#pragma once
// Installs the Qt services behind the GUI-free interfaces: message boxes as dialogs,
// the settings store on QSettings, documents opened with their associated program,
// and DoEvents as processEvents.
#include <QString>

#include <memory>
#include <string>

namespace vexal {

class ShellLauncher;

// The launcher the program installs: the desktop's handler for documents and addresses, and a
// confirmation before any program or script starts.
std::unique_ptr<ShellLauncher> MakeDesktopLauncher();
// settingsFolder empty: QSettings' usual per-user place; else an INI file in that folder.
void InstallQtPlatform(const QString& settingsFolder = QString());
// The settings store alone, as InstallQtPlatform installs it: a settings file that is no
// readable plain file of a settings file's size is named in a message and left as it is.
void InstallQtSettings(const QString& settingsFolder = QString());
// The file that store keeps.
QString SettingsFile(const QString& settingsFolder = QString());

inline QString Q(const std::string& s) { return QString::fromStdString(s); }
inline std::string S(const QString& s) { return s.toStdString(); }

} // namespace vexal
