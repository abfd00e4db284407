// The installed SVG icon and the icon the window shows agree: the SVG written
// from the shape table, rendered by an independent SVG renderer, matches the
// code's painting of the same table pixel by pixel, up to antialiasing.
#include "res/AppIcon.h"
#include "res/AppIconSvg.h"

#include <QColor>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

namespace tvx::res {
namespace {

struct Difference {
    double mean = 0;  // per pixel, largest channel difference, 0..255
    int large = 0;    // pixels with a channel off by more than a quarter
};

Difference Compare(QImage a, QImage b)
{
    a = a.convertToFormat(QImage::Format_ARGB32);
    b = b.convertToFormat(QImage::Format_ARGB32);
    Difference d;
    long sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int off = std::max({std::abs(qRed(p) - qRed(q)),
                                      std::abs(qGreen(p) - qGreen(q)),
                                      std::abs(qBlue(p) - qBlue(q)),
                                      std::abs(qAlpha(p) - qAlpha(q))});
            sum += off;
            d.large += off > 64 ? 1 : 0;
        }
    }
    d.mean = double(sum) / (a.width() * a.height());
    return d;
}

TEST(AppIconTest, TheSvgRendersAsTheCodePaints)
{
    if (std::system("rsvg-convert --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "rsvg-convert (librsvg2-bin) is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string svg = dir.filePath("icon.svg").toStdString();
    std::ofstream(svg) << IconSvg(kAppIconShapes);
    // A missing keypad dot alone is about 85 large pixels at 128.
    for (const int size : {48, 128}) {
        const std::string png = dir.filePath(QStringLiteral("icon%1.png").arg(size)).toStdString();
        const std::string command = "rsvg-convert -w " + std::to_string(size) + " -h " + std::to_string(size) + " '" +
                                    svg + "' -o '" + png + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const QImage rendered(QString::fromStdString(png));
        ASSERT_EQ(rendered.size(), QSize(size, size));
        const Difference d = Compare(rendered, PaintApplicationIcon(size));
        EXPECT_LT(d.mean, 1.5) << size;
        EXPECT_LE(d.large, size * size / 1000) << size;
    }
}

}  // namespace
}  // namespace tvx::res
