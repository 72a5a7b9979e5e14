#pragma once
// The Predictions and Single Game windows under test: a temporary program folder of
// generated seasons (the newest partly unplayed), the seasons loaded, a main window with its
// view area, the formula editor, and the windows of this folder registered.
#include "ViewTestSupport.h"
#include "PdfText.h"
#include "AppState.h"
#include "FormulaWindows.h"
#include "Grid.h"
#include "Host.h"
#include "MsgBox.h"
#include "Notice.h"
#include "PredictWindow.h"
#include "PredictionWindows.h"
#include "PrintDialog.h"
#include "SampleSeasons.h"
#include "SeasonData.h"
#include "SeasonLoader.h"
#include "SettingsStore.h"
#include "StandIns.h"
#include "TempFolder.h"
#include "VbConvert.h"
#include "WeekRange.h"
#include "Windows.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMainWindow>
#include <QMdiArea>
#include <QPrinter>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

namespace vexal::test {

// The formula the program folder's default.fla holds: every game gets a pick.
inline constexpr const char* DefaultFormulaLine = "3,0,99,1,50,50,4,50,50,0,4,0,0,0,0,0,0,0,99,99\r\n";


class PredictionsTest : public ::testing::Test {
protected:
    static constexpr int UnplayedFromWeek = 12;

    void SetUp() override
    {
        ASSERT_TRUE(PrepareSampleProgram(folder, 11));
        notices = InstallRecordingNotices();
        folder.Write("default.fla", DefaultFormulaLine);
        SetTodayProvider([] { return vb::DateSerial(2024, 12, 1); });
        ASSERT_TRUE(SelectSeason(2024));

        RegisterBareMainWindow();
        RegisterStandInWindows();
        RegisterFormulaWindows();
        RegisterPredictionWindows();
    }

    void TearDown() override
    {
        UnloadWindow("Singleg");
        UnloadWindow("PREDICT");
        UnloadWindow("frmFormula");
        UnloadWindow("Main");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        InstallPrintDialogRunner({});
        ResetCurrentPrinter();
        InstallNoticeFactory({});
        SetTodayProvider({});
        ResetSeasonLoader();
        ResetSeason();
        ResetApp();
        SetProgramFolder({});
    }

    // Chooses a week in the week selector, as the user does.
    void ChooseWeek(int week, int year)
    {
        ASSERT_TRUE(ChooseWeekText(WeekText(week, year)));
    }

    // The Predictions view opened from the toolbar: loaded, shown and activated.
    PredictWindow& OpenPredictions()
    {
        auto* w = qobject_cast<PredictWindow*>(ShowWindow("PREDICT"));
        EXPECT_NE(w, nullptr);
        QCoreApplication::processEvents();
        return *w;
    }

    static QAction* Action(QWidget* w, const char* name) { return w->findChild<QAction*>(QString::fromLatin1(name)); }
    template <class T>
    static T* Control(QWidget* w, const char* name)
    {
        auto* c = w->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static std::string Cell(const Grid& g, int row, int col) { return g.CellFormattedText(row, col).toStdString(); }

    // Number of games of a week slot in the loaded arrays.
    static int GamesOfWeek(int weekSlot)
    {
        int n = 0;
        while (n < 16 && (Season().Game(weekSlot, n, gfAwayTeam) > 0 || Season().Game(weekSlot, n, gfHomeTeam) > 0))
            ++n;
        return n;
    }
    static int CurrentSlot() { return static_cast<int>(App().CurrentFormula[fsCurrentWeek]) - 1; }

    // The print dialog answers as a user who prints to a PDF file.
    void PrintTo(const std::filesystem::path& pdf, bool confirm = true)
    {
        InstallPrintDialogRunner([pdf, confirm](QPrinter& printer, int&, int&) {
            if (!confirm)
                return false;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf.string()));
            return true;
        });
    }

    ScriptedMessages& messages = InstallScriptedMessages();
    TempFolder folder;
    std::shared_ptr<std::vector<ShownNotice>> notices;
};

} // namespace vexal::test
