// The notice pop-up (the recording double and the real window) and the screen metrics.
#include "NoticeWindow.h"
#include "Screen.h"
#include "WaitFor.h"

#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

using namespace vexal;

namespace {

class NoticeTest : public ::testing::Test {
protected:
    void TearDown() override { InstallNoticeFactory(nullptr); }
};

void RaiseMissingStats()
{
    auto notice = CreateNotice();
    notice->SetText("There appears to be missing stats for Wk 5 of 2023\r\nYou should re-import");
    notice->SetTitle("Missing Stats");
    notice->SetNumber(6);
    notice->SetOwner("Main");
    notice->Show();
}

TEST_F(NoticeTest, RecordedInTheOrderOfTheCalls)
{
    auto log = InstallRecordingNotices();
    RaiseMissingStats();
    ASSERT_EQ(log->size(), 1u);
    const ShownNotice& n = log->front();
    EXPECT_EQ(n.title, "Missing Stats");
    EXPECT_EQ(n.number, 6);
    EXPECT_EQ(n.owner, "Main");
    EXPECT_EQ(n.calls, (std::vector<std::string>{"Text", "Title", "Number", "Owner", "Show"}));
    // Without a factory nothing is shown and nothing fails.
    InstallNoticeFactory(nullptr);
    RaiseMissingStats();
    EXPECT_EQ(log->size(), 1u);
}

TEST_F(NoticeTest, WindowShowsAndClosesOnAClick)
{
    QWidget main;
    main.setObjectName("Main");
    main.resize(400, 300);
    main.show();
    QtNotice notice;
    notice.SetText("line one\r\nline two");
    notice.SetTitle("Missing Stats");
    notice.SetNumber(6);
    notice.SetOwner("Main");
    notice.Show();
    QPointer<NoticeWindow> window = notice.Shown();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->parentWidget(), &main);
    EXPECT_EQ(window->Title(), "Missing Stats");
    EXPECT_EQ(window->Text(), "line one\nline two");
    EXPECT_TRUE(window->CloseTimer()->isActive());
    EXPECT_EQ(window->CloseTimer()->interval(), 6000);
    EXPECT_FALSE(window->isModal());

    QMouseEvent click(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(window, &click);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST_F(NoticeTest, WindowClosesByItself)
{
    QtNotice notice;
    notice.SetTitle("Lines");
    notice.SetNumber(0); // no owner and no time given: a top-level notice for 6 seconds
    notice.Show();
    QPointer<NoticeWindow> window = notice.Shown();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->parentWidget(), nullptr);
    EXPECT_EQ(window->CloseTimer()->interval(), 6000);
    window->CloseTimer()->start(1);
    EXPECT_TRUE(test::WaitFor([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return window.isNull();
    }));
}

class ScreenTest : public ::testing::Test {
protected:
    void TearDown() override { Screen::ResetMetrics(); }
};

TEST_F(ScreenTest, TwipsAndPixels)
{
    ScreenMetrics m;
    m.twipsPerPixelX = 15;
    m.twipsPerPixelY = 15;
    m.widthPixels = 1024;
    m.heightPixels = 768;
    Screen::SetMetrics(m);
    EXPECT_EQ(Screen::TwipsToPixelsX(1500), 100);
    EXPECT_EQ(Screen::TwipsToPixelsY(22.5), 2) << "1.5 pixels round to the even 2";
    EXPECT_EQ(Screen::TwipsToPixelsY(37.5), 2) << "2.5 pixels round to the even 2";
    EXPECT_DOUBLE_EQ(Screen::PixelsToTwipsX(7), 105);
    EXPECT_DOUBLE_EQ(Screen::Width(), 15360);
    EXPECT_DOUBLE_EQ(Screen::Height(), 11520);
    // 768 pixels of 15 twips over 750: the Enter Lines row height of 15 pixels.
    EXPECT_EQ(static_cast<int>(Screen::Height() / 750 + 0.5), 15);

    m.twipsPerPixelX = 12; // 120 dpi
    Screen::SetMetrics(m);
    EXPECT_EQ(Screen::TwipsToPixelsX(1500), 125);
}

TEST_F(ScreenTest, ColorDepthIsTwoToThePlanesTimesBits)
{
    ScreenMetrics m;
    m.planes = 1;
    m.bitsPerPixel = 8;
    Screen::SetMetrics(m);
    EXPECT_DOUBLE_EQ(Screen::ColorDepth(), 256);
    m.bitsPerPixel = 32;
    Screen::SetMetrics(m);
    EXPECT_DOUBLE_EQ(Screen::ColorDepth(), 4294967296.0);
    m.planes = 2;
    m.bitsPerPixel = 4;
    Screen::SetMetrics(m);
    EXPECT_DOUBLE_EQ(Screen::ColorDepth(), 256);
    // The measured screen has some depth.
    Screen::ResetMetrics();
    EXPECT_GT(Screen::ColorDepth(), 1);
    EXPECT_GT(Screen::TwipsPerPixelX(), 0);
}

TEST_F(ScreenTest, ColourValues)
{
    EXPECT_EQ(TranslateColor(0xC0FFFF), QColor(255, 255, 192));
    EXPECT_EQ(TranslateColor(0x800000), QColor(0, 0, 128));
    EXPECT_EQ(ColorValue(QColor(255, 255, 192)), 0xC0FFFF);
    EXPECT_EQ(RGBColor(0, 192, 192), 0xC0C000);
    bool ok = false;
    EXPECT_EQ(TranslateColor(static_cast<int32_t>(0x8000000F), &ok), QApplication::palette().color(QPalette::Button));
    EXPECT_TRUE(ok);
    EXPECT_EQ(TranslateColor(static_cast<int32_t>(0x8000000D)), QApplication::palette().color(QPalette::Highlight));
    EXPECT_EQ(TranslateColor(static_cast<int32_t>(0x80000005)), QApplication::palette().color(QPalette::Base));
    TranslateColor(static_cast<int32_t>(0x80000063), &ok);
    EXPECT_FALSE(ok);
}

} // namespace
