// Busy cursor, keystroke sender and the numeric text-box filter.
#include "CMouse.h"
#include "SendKey.h"
#include "cTextBox.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace vexal;

namespace {

Qt::CursorShape Shown()
{
    const QCursor* c = QGuiApplication::overrideCursor();
    return c ? c->shape() : Qt::BitmapCursor; // "no override" for these tests
}

class CMouseTest : public ::testing::Test {
protected:
    void TearDown() override { SetMousePointer(vbDefault); }
};

void LongWork(int32_t& during, Qt::CursorShape& shape)
{
    CMouse mouse;
    mouse.SetPointer(vbHourglass);
    during = MousePointer();
    shape = Shown();
}

TEST_F(CMouseTest, HourglassDuringTheProcedureAndTheEarlierPointerAfter)
{
    int32_t during = 0;
    Qt::CursorShape shape = Qt::ArrowCursor;
    LongWork(during, shape);
    EXPECT_EQ(during, vbHourglass);
    EXPECT_EQ(shape, Qt::WaitCursor);
    EXPECT_EQ(MousePointer(), vbDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(CMouseTest, RestoresThePointerFromBeforeTheFirstCall)
{
    SetMousePointer(vbIbeam);
    {
        CMouse mouse;
        mouse.SetPointer(vbArrowHourglass);
        mouse.SetPointer(vbHourglass);
        EXPECT_EQ(Shown(), Qt::WaitCursor);
        {
            CMouse inner(vbHourglass);
        }
        EXPECT_EQ(MousePointer(), vbHourglass) << "the inner one restores what it found";
    }
    EXPECT_EQ(MousePointer(), vbIbeam);
    EXPECT_EQ(Shown(), Qt::IBeamCursor);
}

TEST_F(CMouseTest, UnusedLeavesThePointerAlone)
{
    SetMousePointer(vbCrosshair);
    {
        CMouse mouse;
    }
    EXPECT_EQ(MousePointer(), vbCrosshair);
    EXPECT_EQ(Shown(), Qt::CrossCursor);
}

TEST(SendKey, InputRecords)
{
    const auto down = KeyboardInputRecord(9, true);
    const std::array<uint8_t, 28> expectDown{1, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(down, expectDown);
    const auto up = KeyboardInputRecord(9, false);
    EXPECT_EQ(up[8], 2);
    EXPECT_EQ(up[4], 9);
    const auto wide = KeyboardInputRecord(0x1234, true);
    EXPECT_EQ(wide[4], 0x34);
    EXPECT_EQ(wide[5], 0x12);
}

TEST(SendKey, EnterIsAnsweredByATabThatMovesTheFocus)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* first = new QLineEdit(&window);
    auto* second = new QLineEdit(&window);
    layout->addWidget(first);
    layout->addWidget(second);
    AnswerEnterWithTab(first);
    window.show();
    window.activateWindow();
    QApplication::processEvents();
    first->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(first->hasFocus());

    int returnsSeen = 0;
    QObject::connect(first, &QLineEdit::returnPressed, [&] { ++returnsSeen; });
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(first, &enter);
    EXPECT_TRUE(first->hasFocus()) << "the Tab is posted, not sent";
    QApplication::processEvents();
    EXPECT_TRUE(second->hasFocus());
    EXPECT_EQ(returnsSeen, 0) << "the Enter itself is swallowed";
    EXPECT_EQ(first->text(), "");

    // A key sent with nothing focused goes nowhere.
    window.hide();
    QApplication::processEvents();
    SendKey(9, true);
    QApplication::processEvents();
}

TEST(cTextBox, FilterString)
{
    EXPECT_EQ(cTextBox::FilterString("a1b2-3", "-0123456789"), "12-3");
    EXPECT_EQ(cTextBox::FilterString("AbC", "abc"), "b") << "case-sensitive";
    EXPECT_EQ(cTextBox::FilterString("", "abc"), "");
}

TEST(cTextBox, FilterNumber)
{
    EXPECT_EQ(cTextBox::FilterNumber("12.500", true), "12.5");
    EXPECT_EQ(cTextBox::FilterNumber("12.000", true), "12");
    EXPECT_EQ(cTextBox::FilterNumber("100.0", true), "100");
    EXPECT_EQ(cTextBox::FilterNumber("1,200", true), "1200");
    EXPECT_EQ(cTextBox::FilterNumber("12.500", false), "12.500");
    EXPECT_EQ(cTextBox::FilterNumber("$-1,234.50", true), "-1234.5");
    EXPECT_EQ(cTextBox::FilterNumber("0.0", true), "0");
    EXPECT_EQ(cTextBox::FilterNumber(".", true), "");
}

class TextBoxTest : public ::testing::Test {
protected:
    void Type(QChar c)
    {
        QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&box, &key);
    }
    void Focus(QEvent::Type type)
    {
        QFocusEvent e(type, Qt::TabFocusReason);
        QApplication::sendEvent(&box, &e);
    }
    QLineEdit box;
    cTextBox filter;
};

TEST_F(TextBoxTest, KeysAndFocus)
{
    filter.SetTextBox(&box);
    box.setText("1,234.50");
    Focus(QEvent::FocusIn);
    EXPECT_EQ(box.text(), "1234.5");
    EXPECT_EQ(box.selectedText(), "1234.5");

    box.clear();
    for (QChar c : QString("7a-.+ 5"))
        Type(c);
    EXPECT_EQ(box.text(), "75") << "only digits without decimals allowed";
    filter.DecimalAllowed = true;
    Type('.');
    Type('2');
    EXPECT_EQ(box.text(), "75.2");
    QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, "\b");
    QApplication::sendEvent(&box, &backspace);
    EXPECT_EQ(box.text(), "75.");

    box.setText("1234.5");
    filter.DisplayFormat = "#,##0.00";
    Focus(QEvent::FocusOut);
    EXPECT_EQ(box.text(), "1,234.50");
}

TEST_F(TextBoxTest, ValidationAgainstTheRange)
{
    filter.SetTextBox(&box);
    int errors = 0;
    QObject::connect(&filter, &cTextBox::ValidateError, [&](bool&) { ++errors; });
    filter.Minimum = 10;
    box.setText("5");
    filter.Validate();
    EXPECT_EQ(errors, 1);
    filter.Maximum = 20;
    box.setText("50");
    filter.Validate();
    EXPECT_EQ(errors, 2) << "once, above the maximum";
    box.setText("10");
    filter.Validate();
    box.setText("20");
    filter.Validate();
    EXPECT_EQ(errors, 2) << "the bounds are inside the range";
    box.setText("");
    filter.Validate();
    EXPECT_EQ(errors, 3) << "no number cannot be shown in range";

    // A cancel keeps the text unformatted (and the focus in the box).
    QObject::connect(&filter, &cTextBox::ValidateError, [](bool& cancel) { cancel = true; });
    filter.DisplayFormat = "0.00";
    box.setText("99");
    Focus(QEvent::FocusOut);
    EXPECT_EQ(box.text(), "99");
    filter.Minimum.reset();
    filter.Maximum.reset();
    Focus(QEvent::FocusOut);
    EXPECT_EQ(box.text(), "99.00");
}

} // namespace
