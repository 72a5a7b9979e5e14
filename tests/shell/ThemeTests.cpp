// Colour themes: the stored theme, the theme menu, and what UpDateBackground paints.
#include "ShellTestSupport.h"

#include "AppState.h"
#include "Grid.h"
#include "Host.h"
#include "Main.h"
#include "PopupMenu.h"
#include "SeasonData.h"
#include "SettingsStore.h"
#include "Splash.h"
#include "Theme.h"
#include "Windows.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace vexal::test {
namespace {

using ThemeTest = ShellTest;

void WriteGif(const std::filesystem::path& path)
{
    std::filesystem::create_directories(path.parent_path());
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString(path.string()), "PNG"));
}

TEST_F(ThemeTest, ApplyThemeTakesTheStoredOrGivenTheme)
{
    ApplyTheme("");
    EXPECT_EQ(App().ThemeName, "vexal") << "no setting: the product's theme";
    EXPECT_EQ(App().ThemeForeColor, 0x800000);
    EXPECT_EQ(App().ThemeBackColor, 0xFFFFC0);
    EXPECT_EQ(App().ThemePicture, (program.Path() / "images" / "vexal.gif").string());

    ApplyTheme("BUF");
    EXPECT_EQ(App().ThemeName, "buf");
    EXPECT_EQ(App().ThemeForeColor, 0xC00000);
    EXPECT_EQ(App().ThemeBackColor, 0x0000FF);
    EXPECT_EQ(App().ThemePicture, (program.Path() / "images" / "buf.gif").string());

    ApplyTheme("cle");
    EXPECT_EQ(App().ThemeForeColor, 0x800000);
    EXPECT_EQ(App().ThemeBackColor, 0xFFFFC0);
    EXPECT_EQ(App().ThemePicture, (program.Path() / "images" / "cle.gif").string());

    SaveSetting("Settings", "Theme", "");
    ApplyTheme("");
    EXPECT_EQ(App().ThemeName, "");
    EXPECT_EQ(App().ThemePicture, "");

    SaveSetting("Settings", "Theme", "DEF");
    ApplyTheme("");
    EXPECT_EQ(App().ThemePicture, "");
}

TEST_F(ThemeTest, ThemeColourTableCoversTheLogoBases)
{
    EXPECT_EQ(ThemeColorsFor("den").fore, 0x0080FF);
    EXPECT_EQ(ThemeColorsFor("den").back, 0xC00000);
    EXPECT_EQ(ThemeColorsFor("sea").back, 0xE0FFE0);
    EXPECT_EQ(ThemeColorsFor("was").fore, 0x000080);
    EXPECT_EQ(ThemeColorsFor("jak").back, 0xC0C000);
    EXPECT_EQ(ThemeColorsFor("BUF").fore, 0x800000) << "the table is matched exactly, in lower case";
}

TEST_F(ThemeTest, TheActiveViewGetsTheGradientAndTheGridTheThemePicture)
{
    WriteSeasons(2024, 2024);
    WriteGif(program.Path() / "images" / "buf.gif");
    SaveSetting("Settings", "Theme", "BUF");
    Start();
    EXPECT_EQ(App().ThemeName, "buf");
    auto* grid = FindWindow("FORM1")->findChild<Grid*>("grdTeam");
    ASSERT_NE(grid, nullptr);
    EXPECT_FALSE(grid->BackgroundPicture().isNull());
    EXPECT_EQ(FindWindow("FORM1")->palette().window().style(), Qt::TexturePattern) << "a gradient";
    EXPECT_EQ(FindWindow("frmFormula")->palette().window().style(), Qt::TexturePattern);

    main()->SwitchView("frmTest");
    auto* rich = FindWindow("frmTest")->findChild<QTextEdit*>("vbaRE");
    ASSERT_NE(rich, nullptr);
    EXPECT_EQ(rich->viewport()->palette().base().style(), Qt::TexturePattern);
}

TEST_F(ThemeTest, AnInstalledPictureIsFoundWhateverTheCaseOfItsName)
{
    WriteSeasons(2024, 2024);
    WriteGif(program.Path() / "Images" / "BUF.GIF");
    SaveSetting("Settings", "Theme", "BUF");
    Start();
    EXPECT_EQ(App().ThemePicture, (program.Path() / "Images" / "BUF.GIF").string());
    auto* grid = FindWindow("FORM1")->findChild<Grid*>("grdTeam");
    ASSERT_NE(grid, nullptr);
    EXPECT_FALSE(grid->BackgroundPicture().isNull());
}

TEST_F(ThemeTest, AMissingThemePictureLeavesTheGridAsItWas)
{
    WriteSeasons(2024, 2024);
    SaveSetting("Settings", "Theme", "BUF");
    Start();
    auto* grid = FindWindow("FORM1")->findChild<Grid*>("grdTeam");
    EXPECT_TRUE(grid->BackgroundPicture().isNull());
}

TEST_F(ThemeTest, NoThemePaintsThePlainColourAndWhiteLabels)
{
    WriteSeasons(2024, 2024);
    SaveSetting("Settings", "Theme", "");
    Start();
    QWidget* view = FindWindow("FORM1");
    auto* label = new QLabel("Division", view);
    UpDateBackground("");
    EXPECT_EQ(App().ThemeName, "");
    EXPECT_EQ(view->palette().color(QPalette::Window), QColor(0, 0, 0x80)) << "ThemeForeColor 0x800000";
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(view->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(FindWindow("frmFormula")->palette().color(QPalette::Window), QColor(0, 0, 0x80));
}

TEST_F(ThemeTest, WithoutAnyWindowOnlyTheFormulaEditorIsPainted)
{
    ApplyTheme("");
    UpDateBackground("");
    QWidget* editor = FindWindow("frmFormula");
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(editor->palette().window().style(), Qt::TexturePattern);
}

TEST_F(ThemeTest, TheThemeMenuSetsDefaultNoneOrATeam)
{
    WriteSeasons(2024, 2024);
    Start();
    std::vector<std::string> shown;
    int choice = 3;
    PopupMenu::SetChooser([&](const std::vector<PopupMenu::Item>& items) {
        shown.clear();
        for (const auto& item : items)
            shown.push_back(item.caption);
        return choice;
    });
    QAction* colors = Button("cToolbar2", 8);

    colors->trigger();
    EXPECT_EQ(GetSetting("Settings", "Theme"), "Vexal");
    EXPECT_EQ(App().ThemeName, "vexal");
    EXPECT_EQ(App().ThemeForeColor, 0x800000);
    EXPECT_EQ(App().ThemeBackColor, 0xC0C000);
    ASSERT_GE(shown.size(), 4u);
    EXPECT_EQ(shown[0], "AFC");
    EXPECT_EQ(shown[3], "None");
    EXPECT_EQ(shown[4], "AFC East") << "a 2024 week: the eight divisions";
    EXPECT_EQ(shown.size(), 4u + 8u + 32u);

    choice = 4;
    colors->trigger();
    EXPECT_EQ(GetSetting("Settings", "Theme", "unset"), "");
    EXPECT_EQ(App().ThemeName, "");
    EXPECT_EQ(App().ThemeBackColor, 0xFFFFC0);

    // Item 6 is the first team under "AFC East" (Buffalo, shown by city).
    choice = 6;
    colors->trigger();
    EXPECT_EQ(shown[5], "Buffalo");
    EXPECT_EQ(GetSetting("Settings", "Theme"), "BUF");
    EXPECT_EQ(App().ThemeName, "buf");
    EXPECT_EQ(App().ThemeForeColor, 0xC00000);
    EXPECT_EQ(App().ThemeBackColor, 0x0000FF);

    // A division header or a conference changes nothing.
    for (int nothing : {1, 2, 5, 0}) {
        choice = nothing;
        colors->trigger();
        EXPECT_EQ(GetSetting("Settings", "Theme"), "BUF") << nothing;
    }
}

TEST_F(ThemeTest, APre2002WeekShowsTheSixDivisions)
{
    WriteSeasons(2001, 2001);
    Start();
    std::vector<std::string> shown;
    PopupMenu::SetChooser([&](const std::vector<PopupMenu::Item>& items) {
        for (const auto& item : items)
            shown.push_back(item.caption);
        return 0;
    });
    Button("cToolbar2", 8)->trigger();
    ASSERT_EQ(shown.size(), 4u + 6u + 31u);
    EXPECT_EQ(shown[4], "AFC East");
    EXPECT_NE(std::find(shown.begin(), shown.end(), "NFC Central"), shown.end());
    EXPECT_EQ(std::find(shown.begin(), shown.end(), "AFC North"), shown.end());
}

TEST_F(ThemeTest, ATeamThemeIsChosenWithNoSeasonLoaded)
{
    StartVexal();
    ASSERT_TRUE(WaitFor([] { return MainWindow() && FindWindow("FORM1"); }));
    // Nothing was loaded: the splash waits for its second timer.
    if (auto* splash = qobject_cast<Splash*>(FindWindow("opening")))
        splash->Timer2_Timer();
    Pump();
    ASSERT_EQ(Season().SeasonYear, 0);
    std::string chosen;
    PopupMenu::SetChooser([&](const std::vector<PopupMenu::Item>& items) {
        chosen = items.at(5).caption;   // the first team under "AFC East"
        return 6;
    });
    Button("cToolbar2", 8)->trigger();
    EXPECT_EQ(chosen, "Buffalo");
    EXPECT_EQ(GetSetting("Settings", "Theme"), "BUF");
    EXPECT_EQ(App().ThemeBackColor, 0x0000FF);
}

} // namespace
} // namespace vexal::test
