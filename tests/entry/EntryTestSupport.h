#pragma once
// The data-entry windows under test, driven as a user drives them: generated seasons in a
// temporary program folder, loaded, the windows opened inside a main window.
#include "AppState.h"
#include "BareMainWindow.h"
#include "EntryWindows.h"
#include "GameRecord.h"
#include "Grid.h"
#include "Host.h"
#include "LineFiles.h"
#include "LineRecord.h"
#include "LinesWindow.h"
#include "OtherFactorsWindow.h"
#include "MsgBox.h"
#include "Notice.h"
#include "SampleSeasons.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "SettingsStore.h"
#include "StandIns.h"
#include "Teams.h"
#include "TempFolder.h"
#include "VbConvert.h"
#include "WaitFor.h"
#include "WeekRange.h"
#include "Windows.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace vexal::test {

// Messages recorded as the program's own message box shows them: it takes the focus from the
// window while it is open, and the window has it back when it closes.
class FocusTakingMessages : public ScriptedMessages {
public:
    int32_t MsgBox(const std::string& text, int32_t buttons, const std::string& title) override
    {
        const int32_t answer = ScriptedMessages::MsgBox(text, buttons, title);
        QWidget* owner = QApplication::activeWindow();
        QDialog box(owner);
        box.setModal(true);
        box.show();
        box.activateWindow();
        EXPECT_TRUE(WaitFor([&] { return box.isActiveWindow(); }));
        box.hide();
        if (owner && backBeforeReturn) {
            owner->activateWindow();
            EXPECT_TRUE(WaitFor([&] { return owner->isActiveWindow(); }));
        } else if (owner) {
            QMetaObject::invokeMethod(owner, [owner] { owner->activateWindow(); }, Qt::QueuedConnection);
        }
        return answer;
    }
    // Whether the window has the focus back before the message returns, or only after.
    bool backBeforeReturn = true;
};

class EntryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetApp();
        ResetSeason();
        ResetSeasonLoader();
        SetProgramFolder(folder.Path());
        App().UserFolder = folder / "user";
        std::filesystem::create_directories(App().UserFolder);
        notices = InstallRecordingNotices();
        samplegen::SampleOptions options;
        options.Seed = 5;
        options.FromYear = 2023;
        options.ToYear = 2024;
        std::string error;
        ASSERT_TRUE(samplegen::WriteSampleSeasons(folder.Path(), options, &error)) << error;
        ASSERT_TRUE(SelectSeason(2024));
        RegisterBareMainWindow();
        RegisterStandInWindows();
        RegisterEntryWindows();
    }

    void TearDown() override
    {
        UnloadWindow("lines");
        UnloadWindow("INJURIES");
        UnloadWindow("FORM2");
        UnloadWindow("Main");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        InstallNoticeFactory({});
        ResetSeasonLoader();
        ResetSeason();
        ResetApp();
        SetProgramFolder({});
    }

    void ChooseWeek(int week, int year)
    {
        const auto& items = Season().WeekItems;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == WeekText(week, year)) {
                ASSERT_TRUE(SelectWeek(static_cast<int>(i)));
                return;
            }
        FAIL() << "no week " << WeekText(week, year);
    }

    template <class W>
    W& OpenView(const char* name)
    {
        auto* w = qobject_cast<W*>(ShowWindow(name));
        EXPECT_NE(w, nullptr);
        QCoreApplication::processEvents();
        return *w;
    }

    // The season file's games of a week, in file order.
    std::vector<GameRecord> WeekGames(int year, int week)
    {
        std::vector<GameRecord> games;
        for (const GameRecord& g : ReadSeasonFile(folder / (std::to_string(year) + ".nfl")))
            if (g.Week == week)
                games.push_back(g);
        return games;
    }
    int FirstRecordOf(int year, int week)
    {
        const auto all = ReadSeasonFile(folder / (std::to_string(year) + ".nfl"));
        for (std::size_t i = 0; i < all.size(); ++i)
            if (all[i].Week == week)
                return static_cast<int>(i) + 1;
        return 0;
    }

    static void Key(QWidget* w, int key, const QString& text = QString())
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(w, &press);
    }
    static void Type(QWidget* w, const QString& text)
    {
        for (QChar c : text)
            Key(w, c.unicode() >= 'a' ? Qt::Key_A + (c.unicode() - 'a') : c.unicode(), QString(c));
    }
    template <class T>
    static T* Control(QWidget* w, const char* name)
    {
        auto* c = w->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static int Slot() { return static_cast<int>(App().CurrentFormula[fsCurrentWeek]) - 1; }

    ScriptedMessages& messages = InstallScriptedMessages();
    TempFolder folder;
    std::shared_ptr<std::vector<ShownNotice>> notices;
};

} // namespace vexal::test
