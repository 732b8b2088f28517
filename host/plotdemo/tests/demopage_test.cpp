#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdlib>
#include <filesystem>

#include "host/plotdemo/demopage.h"
#include "platform/casq/devices.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

// The page at 100 dots to the inch, through the bitmap device.
QImage rendered(bool text)
{
    BMDVC device(nullptr, 0, 0, RGB(255, 255, 255), plotdemo::UNITSPERINCH, 100);
    device.begin();
    device.setmapping(1, 1, 1, 0, 0);
    device.setwindow(plotdemo::pagearea());
    plotdemo::drawpage(device, text);
    device.end();
    HBITMAP bitmap = device.getbitmap();
    SIZE size = device.getextent();
    QImage image(size.cx, size.cy, QImage::Format_RGB32);
    BITMAPINFO info {};
    info.bmiHeader = { sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, 0, 0, 0, 0, 0, 0 };
    HDC dc = CreateCompatibleDC(nullptr);
    GetDIBits(dc, bitmap, 0, UINT(size.cy), image.bits(), &info, DIB_RGB_COLORS);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return image;
}

struct DIFFERENCE {
    double mean = 0; // per channel, 0..255
    double apart = 0; // share of pixels off by more than a quarter of the range in any channel
};

// Both images reduced to a quarter of their size (so that the smoothing of edges, which varies
// with the toolkit's version, averages out) and compared pixel by pixel.
DIFFERENCE compare(const QImage& a, const QImage& b)
{
    QSize quarter = a.size() / 4;
    QImage x = a.scaled(quarter, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                   .convertToFormat(QImage::Format_RGB32);
    QImage y = b.scaled(quarter, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                   .convertToFormat(QImage::Format_RGB32);
    DIFFERENCE d;
    double total = 0;
    long apart = 0;
    for (int row = 0; row < quarter.height(); ++row) {
        for (int col = 0; col < quarter.width(); ++col) {
            QRgb p = x.pixel(col, row);
            QRgb q = y.pixel(col, row);
            int dr = std::abs(qRed(p) - qRed(q));
            int dg = std::abs(qGreen(p) - qGreen(q));
            int db = std::abs(qBlue(p) - qBlue(q));
            total += dr + dg + db;
            apart += std::max({ dr, dg, db }) > 64;
        }
    }
    double pixels = double(quarter.width()) * quarter.height();
    d.mean = total / pixels / 3;
    d.apart = apart / pixels;
    return d;
}

} // namespace

// The stored image is the page without its text, so that the machine's fonts do not matter;
// regenerate it with VKT_WRITE_REFERENCE=1 after a deliberate change and look at it.
TEST(PlotDemo, BitmapMatchesTheStoredPage)
{
    QImage page = rendered(false);
    const char* reference = VKT_TEST_SOURCE_DIR "/plotdemo_without_text_100dpi.png";
    if (std::getenv("VKT_WRITE_REFERENCE")) {
        page.save(reference, "PNG");
    }
    QImage stored(reference, "PNG");
    ASSERT_FALSE(stored.isNull());
    ASSERT_EQ(page.size(), stored.size());
    DIFFERENCE d = compare(page, stored);
    EXPECT_LT(d.mean, 1.0);
    EXPECT_LT(d.apart, 0.002);

    DIFFERENCE text = compare(rendered(true), page);
    EXPECT_GT(text.mean, 0.5) << "the text shows";
    EXPECT_LT(text.apart, 0.05) << "and only the text differs";
}

TEST(PlotDemo, SvgRenderedBackMatchesTheBitmap)
{
    fs::path file = vkt::test::makeTempSubfolder("svg") / "plotdemo.svg";
    ASSERT_EQ(plotdemo::writekind("svg", file.string()), FDI_OK);
    QImage page = rendered(true);
    QSvgRenderer svg(QString::fromStdString(file.string()));
    ASSERT_TRUE(svg.isValid());
    QImage back(page.size(), QImage::Format_RGB32);
    back.fill(Qt::white);
    QPainter painter(&back);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, QRectF(QPointF(0, 0), QSizeF(page.size())));
    painter.end();
    DIFFERENCE d = compare(page, back);
    EXPECT_LT(d.mean, 3.0);
    EXPECT_LT(d.apart, 0.01);
}

TEST(PlotDemo, WritesEveryKind)
{
    fs::path folder = vkt::test::makeTempSubfolder("kinds");
    for (const plotdemo::KIND& kind : plotdemo::kinds()) {
        fs::path file = folder / ("plotdemo." + kind.extension);
        EXPECT_EQ(plotdemo::writekind(kind.extension, file.string()), FDI_OK) << kind.extension;
        EXPECT_GT(fs::file_size(file), 1000u) << kind.extension;
    }
    EXPECT_EQ(plotdemo::writekind("doc", (folder / "x.doc").string()), FDI_UNSUPPORTED);
}
