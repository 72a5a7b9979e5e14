#pragma once
// The application menu the Standings window carries (About, Help, web links, Toolbar Text,
// Exit), the help topics and the product's addresses. Any window may call these; the
// Standings window adds the items to its own "&File" and "Help" menus.
#include <filesystem>
#include <string>

class QAction;
class QMenu;
class QWidget;

namespace vexal {

// The product's addresses: settings (section "Settings") with these defaults.
std::string WebSiteAddress();       // "WebSite"
std::string SupportMailAddress();   // "SupportMail", a "mailto:" address
std::string OnlineHelpAddress();    // "HelpOnline"

// Opens a help topic ("Vexal.htm", "Stats.htm") in the browser: the program folder's own
// help folder first, else the pages installed beside the program; or says that the topic is
// not installed.
void ShowHelpTopic(const std::string& topic);
// The folder of the pages installed with the program (default: "help" beside the executable);
// tests point it at the built pages, and an empty path puts the default back.
void SetInstalledHelpFolder(const std::filesystem::path& folder);

// Menu handlers.
void mnuAbout_Click();              // the splash window as About window
void mnuEmail_Click();
void mnuWeb_Click();
void mnuHelp_Click();
void mnuHelpOnline_Click();
void mnuExit_Click();               // UnloadAllForms
// "Toolbar Text Off": the new check state; saves it and hides or shows the toolbar captions.
void mnuToolBarText_Click(bool checked);

// Preference/"Toolbar Text": true = the toolbars show no captions.
bool ToolbarTextOff();

// Adds one of the application's items to a menu, named, captioned and wired as the
// Standings window carries it: "mnuToolBarText" ("Toolbar Text Off", checked from the
// setting), "mnuExit" ("E&xit"), "mnuHelpOnline" ("Help &Online"), "mnuHelp" ("&Help"),
// "mnuEmail" ("Email Vexal"), "mnuWeb" ("Go to our WebPage"), "mnuAbout" ("&About").
// nullptr for any other name.
QAction* AddApplicationItem(QMenu* menu, const std::string& name);

} // namespace vexal
