#pragma once
// A formula editor under test: a temporary program folder, a main window with the
// Predictions stand-in as its active view (whose hidden refresh button counts the refreshes),
// and helpers that drive the editor's controls as the user would.
#include "FormulaEditor.h"
#include "FormulaWindows.h"

#include "AppState.h"
#include "BareMainWindow.h"
#include "Host.h"
#include "MsgBox.h"
#include "SeasonData.h"
#include "StandIns.h"
#include "TempFolder.h"
#include "Windows.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vexal::test {

class FormulaEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetApp();
        ResetSeason();
        SetProgramFolder(folder.Path());
        for (int week = 1; week <= 8; ++week)
            Season().WeekItems.push_back("Wk " + std::to_string(week) + " of 2023");
        Season().WeekListIndex = 4;
        RegisterBareMainWindow();
        RegisterStandInWindows();
        RegisterFormulaWindows();
        view = ShowWindow("PREDICT");
    }

    void TearDown() override
    {
        UnloadWindow("frmFormula");
        UnloadWindow("PREDICT");
        UnloadWindow("Main");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetProgramFolder({});
    }

    // The editor, loaded as reading one of its controls loads it.
    FormulaEditor& Editor()
    {
        auto* editor = FormulaEditor::Get();
        EXPECT_NE(editor, nullptr);
        return *editor;
    }

    template <class W>
    W* Control(const char* name)
    {
        auto* w = Editor().findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QCheckBox* Check(const char* name) { return Control<QCheckBox>(name); }
    QComboBox* Combo(const char* name) { return Control<QComboBox>(name); }
    QLineEdit* Box(int index) { return Control<QLineEdit>(("txtFla_" + std::to_string(index)).c_str()); }

    int Refreshes() const { return view ? view->property(RefreshCountProperty).toInt() : -1; }
    void ResetRefreshes() { view->setProperty(RefreshCountProperty, 0); }

    // A click of the user's mouse.
    static void Click(QCheckBox* box) { box->click(); }
    // The user's choice of an entry of a list.
    static void Choose(QComboBox* box, const std::string& text)
    {
        // Between two actions of the user the event loop runs.
        QCoreApplication::processEvents();
        const int index = box->findText(QString::fromStdString(text), Qt::MatchExactly);
        ASSERT_GE(index, 0) << text;
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    static void Type(QWidget* w, const QString& text)
    {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(w, &press);
        }
    }
    static void Leave(QWidget* w)
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(w, &out);
    }
    // A box typed into and left, as the user fills one value.
    static void Enter(QLineEdit* box, const QString& text)
    {
        box->clear();
        Type(box, text);
        Leave(box);
    }

    ScriptedMessages& Scripted() { return dynamic_cast<ScriptedMessages&>(Messages()); }

    TempFolder folder;
    QWidget* view = nullptr;
};

} // namespace vexal::test
