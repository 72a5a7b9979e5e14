#include "AppMenu.h"

#include "Host.h"
#include "MsgBox.h"
#include "SettingsStore.h"
#include "SharedProcs.h"
#include "VbConvert.h"
#include "Windows.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include <optional>
#include <system_error>

namespace vexal {

void ShowSplashAsAbout(); // Splash.cpp
void SetToolbarCaptionsShown(bool shown); // Main.cpp

std::string WebSiteAddress() { return GetSetting(pref::WebSite); }
std::string SupportMailAddress() { return GetSetting(pref::SupportMail); }
std::string OnlineHelpAddress() { return GetSetting(pref::HelpOnline); }

namespace {

std::optional<std::filesystem::path>& InstalledHelpFolder()
{
    static std::optional<std::filesystem::path> folder;
    return folder;
}

// A page of a folder by its name, in any case when the exact name is missing.
std::filesystem::path PageIn(const std::filesystem::path& folder, const std::string& topic)
{
    std::error_code ec;
    const std::filesystem::path exact = folder / topic;
    if (std::filesystem::is_regular_file(exact, ec))
        return exact;
    for (const auto& entry : FolderEntries(folder))
        if (vb::SameText(entry.path().filename().string(), topic) && entry.is_regular_file(ec))
            return entry.path();
    return {};
}

} // namespace

void SetInstalledHelpFolder(const std::filesystem::path& folder)
{
    if (folder.empty())
        InstalledHelpFolder().reset();
    else
        InstalledHelpFolder() = folder;
}

void ShowHelpTopic(const std::string& topic)
{
    std::filesystem::path page = ProgramFile("help/" + topic);
    std::error_code ec;
    if (!FileExists(page) || !std::filesystem::is_regular_file(page, ec)) {
        const std::filesystem::path installed =
            InstalledHelpFolder() ? *InstalledHelpFolder()
                                  : std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) / "help";
        page = PageIn(installed, topic);
    }
    if (!page.empty()) {
        ShellOpen(page.string(), 1);
        return;
    }
    MsgBox("The help topic " + topic + " is not installed.", vbInformation);
}

void mnuAbout_Click() { ShowSplashAsAbout(); }

void mnuEmail_Click() { ShellOpen(SupportMailAddress(), 1); }

void mnuWeb_Click() { ShellOpen(WebSiteAddress(), 1); }

void mnuHelp_Click() { ShowHelpTopic("Vexal.htm"); }

void mnuHelpOnline_Click()
{
    ShellOpen(OnlineHelpAddress(), 1);
}

void mnuExit_Click() { UnloadAllForms(); }

void mnuToolBarText_Click(bool checked)
{
    SaveSetting(pref::ToolbarText, checked);
    SetToolbarCaptionsShown(!checked);
}

bool ToolbarTextOff() { return GetSetting(pref::ToolbarText); }

QAction* AddApplicationItem(QMenu* menu, const std::string& name)
{
    struct Item {
        const char* name;
        const char* caption;
        void (*handler)();
    };
    static const Item items[] = {
        {"mnuExit", "E&xit", mnuExit_Click},
        {"mnuHelpOnline", "Help &Online", mnuHelpOnline_Click},
        {"mnuHelp", "&Help", mnuHelp_Click},
        {"mnuEmail", "Email Vexal", mnuEmail_Click},
        {"mnuWeb", "Go to our WebPage", mnuWeb_Click},
        {"mnuAbout", "&About", mnuAbout_Click},
    };
    if (!menu)
        return nullptr;
    if (name == "mnuToolBarText") {
        QAction* action = menu->addAction("Toolbar Text Off");
        action->setObjectName("mnuToolBarText");
        action->setCheckable(true);
        action->setChecked(ToolbarTextOff());
        QObject::connect(action, &QAction::triggered, [](bool checked) { mnuToolBarText_Click(checked); });
        return action;
    }
    for (const auto& item : items) {
        if (name != item.name)
            continue;
        QAction* action = menu->addAction(QString::fromLatin1(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        QObject::connect(action, &QAction::triggered, [handler = item.handler] { handler(); });
        return action;
    }
    return nullptr;
}

} // namespace vexal
