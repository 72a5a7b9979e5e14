// Draws the two background pictures the program tiles behind its toolbars and the buttons
// of its views: bground.bmp for screens of more than 256 colours and bground1.bmp, in 256
// colours, for the others.
//   make_backgrounds <folder>
// The picture is a light weave, so dark captions stay readable on every part of it, and it
// repeats without a seam in both directions however large the area it fills.
#include <QColor>
#include <QImage>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr int Tile = 64;    // a whole number of stripes and threads fits in each direction
constexpr int Stripe = 16;  // the period of the diagonal stripes
constexpr int Thread = 32;  // the period of the fine lines across them

// 0 at the edge of a stripe, 1 in its middle: a triangle wave over one period.
double Wave(int at, int period)
{
    const int half = period / 2;
    const int phase = ((at % period) + period) % period;
    return phase < half ? double(phase) / half : double(period - phase) / half;
}

QColor Shade(int x, int y)
{
    // Two shades of a pale steel blue, blended along the stripes; a thread every so often
    // is a little lighter.
    const QColor light(0xEE, 0xF2, 0xF6);
    const QColor dark(0xD8, 0xE0, 0xE8);
    double t = Wave(x + y, Stripe);
    if (y % Thread == 0 || x % Thread == 0)
        t = std::min(1.0, t + 0.35);
    auto mix = [t](int a, int b) { return static_cast<int>(b + (a - b) * t + 0.5); };
    return QColor(mix(light.red(), dark.red()), mix(light.green(), dark.green()), mix(light.blue(), dark.blue()));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_backgrounds <folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);

    QImage picture(Tile, Tile, QImage::Format_RGB888);
    for (int y = 0; y < Tile; ++y)
        for (int x = 0; x < Tile; ++x)
            picture.setPixelColor(x, y, Shade(x, y));
    // The few shades of the picture fit a 256-colour table without dithering.
    const QImage indexed = picture.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);

    const QString full = QString::fromStdString((folder / "bground.bmp").string());
    const QString few = QString::fromStdString((folder / "bground1.bmp").string());
    if (!picture.save(full, "BMP") || !indexed.save(few, "BMP")) {
        std::fprintf(stderr, "make_backgrounds: cannot write into %s\n", folder.string().c_str());
        return 1;
    }
    return 0;
}
