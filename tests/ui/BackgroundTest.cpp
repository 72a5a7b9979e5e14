// Gradient backgrounds: band colours, band layout per style, the band count from the colour
// depth, and attaching to and detaching from windows.
#include "Screen.h"
#include "ReadableText.h"
#include "cBackGround.h"

#include <QApplication>

#include <gtest/gtest.h>

using namespace vexal;

namespace {

const QColor Cyan(0, 192, 192); // the splash's first colour, 0xC0C000
const QColor Black(0, 0, 0);

class BackgroundTest : public ::testing::Test {
protected:
    void SetDepth(int bits)
    {
        ScreenMetrics m;
        m.bitsPerPixel = bits;
        Screen::SetMetrics(m);
    }
    void TearDown() override { Screen::ResetMetrics(); }
};

TEST_F(BackgroundTest, BandColoursStepFromTheSecondColourToTheFirst)
{
    const auto bands = cBackGround::BandColors(Cyan, Black, 256);
    ASSERT_EQ(bands.size(), 256u);
    // One step from black: 192 / 256 = 0.75, rounded to 1.
    EXPECT_EQ(bands.front(), QColor(0, 1, 1));
    EXPECT_EQ(bands[1], QColor(0, 2, 2)); // 1.5 rounds to the even 2
    EXPECT_EQ(bands.back(), Cyan);
    // Falling as well as rising channels.
    const auto down = cBackGround::BandColors(Black, QColor(255, 0, 100), 64);
    EXPECT_EQ(down.back(), Black);
    EXPECT_EQ(down.front(), QColor(251, 0, 98)); // 255 - 3.984375, 100 - 1.5625
}

TEST_F(BackgroundTest, VerticalStyleOnePixelBandsAt256)
{
    const QImage image = cBackGround::RenderGradient(40, 256, Cyan, Black, cBackGround::Vertical, 256);
    EXPECT_EQ(QColor(image.pixel(0, 0)), Cyan) << "the top row is the first colour";
    EXPECT_EQ(QColor(image.pixel(39, 255)), QColor(0, 1, 1)) << "the bottom row is one step from black";
    for (int y = 0; y < 256; ++y)
        ASSERT_EQ(QColor(image.pixel(20, y)), cBackGround::BandColors(Cyan, Black, 256)[255 - y]) << y;
}

TEST_F(BackgroundTest, HorizontalAndCornerStyles)
{
    const QColor red(255, 0, 0), blue(0, 0, 255);
    const QImage across = cBackGround::RenderGradient(128, 10, red, blue, 1, 64);
    EXPECT_EQ(QColor(across.pixel(0, 5)), red);
    EXPECT_EQ(QColor(across.pixel(127, 5)), cBackGround::BandColors(red, blue, 64).front());
    EXPECT_EQ(QColor(across.pixel(1, 0)), red) << "bands are two pixels wide";
    EXPECT_EQ(QColor(across.pixel(2, 0)), cBackGround::BandColors(red, blue, 64)[62]);

    const QImage corner = cBackGround::RenderGradient(64, 64, red, blue, cBackGround::Corner, 64);
    const auto bands = cBackGround::BandColors(red, blue, 64);
    EXPECT_EQ(QColor(corner.pixel(0, 0)), red);
    EXPECT_EQ(QColor(corner.pixel(63, 63)), bands[0]);
    EXPECT_EQ(QColor(corner.pixel(0, 63)), bands[0]) << "the bottom strip";
    EXPECT_EQ(QColor(corner.pixel(63, 0)), bands[0]) << "the right strip";
    EXPECT_EQ(QColor(corner.pixel(10, 20)), bands[63 - 20]) << "nested L shapes";
}

TEST_F(BackgroundTest, EightBitScreenGivesSixtyFourBands)
{
    SetDepth(8);
    QWidget window;
    window.resize(100, 128);
    cBackGround background;
    background.GradientForm(&window, 0xC0C000, 0, 2, true);
    EXPECT_EQ(background.Bands(), 64);
    const QImage shot = window.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(50, 0)), Cyan);
    // 64 bands of 2 pixels: the two bottom rows share band 0.
    EXPECT_EQ(QColor(shot.pixel(50, 127)), QColor(0, 3, 3));
    EXPECT_EQ(QColor(shot.pixel(50, 126)), QColor(0, 3, 3));

    SetDepth(16);
    cBackGround deep;
    deep.GradientForm(&window, 0xC0C000, 0, 2, true);
    EXPECT_EQ(deep.Bands(), 256);
    // The count is kept from the first painting.
    SetDepth(8);
    deep.GradientForm(&window, 0xC0C000, 0, 2, true);
    EXPECT_EQ(deep.Bands(), 256);
}

TEST_F(BackgroundTest, RepaintsOnResizeOnlyWhenAsked)
{
    QWidget window;
    window.resize(100, 100);
    window.show();
    cBackGround once;
    once.GradientForm(&window, 0xFF0000, 0x00FF00, 2, false);
    EXPECT_EQ(once.PaintCount(), 1);
    window.resize(150, 120);
    QApplication::processEvents();
    EXPECT_EQ(once.PaintCount(), 1);

    QWidget other;
    other.resize(100, 100);
    other.show();
    cBackGround follow;
    follow.GradientForm(&other, 0xFF0000, 0x00FF00, 2, true);
    other.resize(150, 120);
    QApplication::processEvents();
    EXPECT_GE(follow.PaintCount(), 2);
    EXPECT_EQ(other.palette().brush(QPalette::Window).textureImage().size(), QSize(150, 120));
}

TEST_F(BackgroundTest, SecondWindowDetachesTheFirst)
{
    QWidget first, second;
    first.resize(80, 80);
    second.resize(80, 80);
    first.show();
    second.show();
    cBackGround background;
    background.GradientForm(&first, 0xFF, 0, 2, true);
    background.GradientForm(&second, 0xFF, 0, 2, true);
    EXPECT_EQ(background.Window(), &second);
    const int painted = background.PaintCount();
    first.resize(90, 90);
    QApplication::processEvents();
    EXPECT_EQ(background.PaintCount(), painted) << "the first window no longer reaches it";
    second.resize(90, 90);
    QApplication::processEvents();
    EXPECT_GT(background.PaintCount(), painted);
}

TEST_F(BackgroundTest, MainFrameWindowIsLeftAlone)
{
    QWidget main;
    main.setObjectName("Main");
    cBackGround background;
    background.GradientForm(&main, 0xFF, 0, 2, true);
    EXPECT_FALSE(background.Attached());
    EXPECT_EQ(background.PaintCount(), 0);
    EXPECT_FALSE(main.autoFillBackground());
}

TEST_F(BackgroundTest, SystemColoursAreTranslated)
{
    QWidget window;
    window.resize(10, 64);
    cBackGround background;
    background.GradientForm(&window, SystemColorValue(ColorHighlight), SystemColorValue(ColorHighlight), 2, false);
    const QImage image = window.palette().brush(QPalette::Window).textureImage();
    EXPECT_EQ(QColor(image.pixel(5, 30)), QApplication::palette().color(QPalette::Highlight));
    // One that cannot be translated counts as white.
    background.GradientForm(&window, static_cast<int32_t>(0x800000FF), static_cast<int32_t>(0x800000FF), 2, false);
    EXPECT_EQ(QColor(window.palette().brush(QPalette::Window).textureImage().pixel(5, 30)), QColor(255, 255, 255));
}

} // namespace

// A picture fills its widget in tiles from the widget's corner: what stands behind a caption
// beyond the first tile (the bar's lower rows on a picture of 64 pixels) is the tile repeated
// there, light or dark as the tile is at that place, never "no picture" (black).
TEST(TiledPictureBehindACaption, IsTheTileRepeatedWhereTheCaptionStands)
{
    QImage tile(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            tile.setPixel(x, y, y < 32 ? qRgb(230, 235, 240) : qRgb(0, 0, 128));
    QWidget filler;
    filler.resize(400, 300);
    filler.setAutoFillBackground(true);
    QPalette palette = filler.palette();
    palette.setBrush(QPalette::Window, QBrush(tile));
    filler.setPalette(palette);
    struct Case {
        QPoint at;
        QRgb expected;
    };
    const Case cases[] = {
        {{4, 2}, qRgb(230, 235, 240)},      // the first tile's light half
        {{70, 64 + 4}, qRgb(230, 235, 240)}, // the light half of a tile further on
        {{200, 128 + 40}, qRgb(0, 0, 128)},  // the dark half of a tile further on
    };
    for (const Case& c : cases) {
        QWidget caption(&filler);
        caption.setGeometry(QRect(c.at, QSize(40, 20)));
        const std::vector<QColor> behind = BackgroundBehind(&caption);
        ASSERT_FALSE(behind.empty());
        for (const QColor& color : behind)
            EXPECT_EQ(color.rgb(), c.expected) << c.at.x() << "," << c.at.y();
    }
}
