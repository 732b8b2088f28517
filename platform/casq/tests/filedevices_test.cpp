#include <gtest/gtest.h>

#include <QByteArray>
#include <QClipboard>
#include <QDomDocument>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPicture>
#include <QRegularExpression>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "platform/casq/devices.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

constexpr long UPI = 2540000;
constexpr int MM = 100000;
const BOX PAGE(0, 0, 200 * MM, 140 * MM);

using DRAWING = std::function<void(VGDVC&)>;

// A thin line of 100 mm from (10, 10) mm to (110, 10) mm.
void onehundredmillimetres(VGDVC& device)
{
    device.drawline(POINT(10 * MM, 10 * MM), POINT(110 * MM, 10 * MM), GSTYLE());
}

int produce(VGDVC& device, const std::string& file, const DRAWING& draw, int pages = 1)
{
    device.openoutput(file.c_str());
    device.begin();
    device.setmapping(1, 1, 1, 0, 0);
    device.setwindow(PAGE);
    for (int page = 0; page < pages; ++page) {
        if (page) {
            device.endpage();
        }
        draw(device);
    }
    device.end();
    return device.closeoutput();
}

std::string contents(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::unique_ptr<VGDVC> make(const std::string& kind, const std::string& file, int option = DEVICEOPTION_TEXT)
{
    const char* name = file.c_str();
    if (kind == "pdf") {
        return std::make_unique<PDFDVC>(name, 0, RGB(255, 255, 255), UPI, option);
    }
    if (kind == "svg") {
        return std::make_unique<SVGDVC>(name, 0, RGB(255, 255, 255), UPI, option);
    }
    if (kind == "eps") {
        return std::make_unique<PSDVC>("", "test", 1, UPI, option);
    }
    if (kind == "ps") {
        return std::make_unique<PSDVC>("", "test", 0, UPI, option);
    }
    if (kind == "dxf") {
        return std::make_unique<DXDVC>("", UPI, 0);
    }
    if (kind == "plt") {
        return std::make_unique<PPDVC>(PLOTTER_HPGL, 25400, nullptr, 0, UPI);
    }
    if (kind == "emf") {
        return std::make_unique<MFDVC>(name, nullptr, 1, RGB(255, 255, 255), UPI);
    }
    return std::make_unique<BMDVC>(name, 0, 0, RGB(255, 255, 255), UPI, 254);
}

// The numbers after a pattern's first match, as doubles.
std::vector<double> numbersafter(const std::string& text, const char* pattern)
{
    QRegularExpression expression(pattern);
    QRegularExpressionMatch match = expression.match(QString::fromStdString(text));
    std::vector<double> values;
    for (int i = 1; i <= match.lastCapturedIndex(); ++i) {
        values.push_back(match.captured(i).toDouble());
    }
    return values;
}

// The points of the first EMR_POLYLINE record.
std::vector<double> emfpolyline(const std::string& file)
{
    size_t at = 0;
    while (at + 8 <= file.size()) {
        uint32_t type, size;
        std::memcpy(&type, &file[at], 4);
        std::memcpy(&size, &file[at + 4], 4);
        if (type == 4) {
            int32_t p[4];
            std::memcpy(p, &file[at + 28], sizeof p);
            return { double(p[0]), double(p[1]), double(p[2]), double(p[3]) };
        }
        if (size < 8) {
            break;
        }
        at += size;
    }
    return {};
}

} // namespace

TEST(FileDevices, PageAndMillimetreKeepTheirSizeInEveryFormat)
{
    fs::path folder = vkt::test::makeTempSubfolder("sizes");
    struct CASE {
        const char* kind;
        std::function<std::vector<double>(const std::string&)> page; // width, height
        std::function<std::vector<double>(const std::string&)> line; // x1, y1, x2, y2
        double units; // of 100 mm
    };
    const CASE cases[] = {
        { "eps", [](auto& t) { return numbersafter(t, R"(%%HiResBoundingBox: 0 0 ([\d.]+) ([\d.]+))"); },
            [](auto& t) { return numbersafter(t, R"(n ([\d.]+) ([\d.]+) m ([\d.]+) ([\d.]+) l)"); },
            283.465 },
        { "dxf", [](auto& t) { return numbersafter(t, R"(\$EXTMAX\n10\n([\d.]+)\n20\n([\d.]+))"); },
            [](auto& t) {
                return numbersafter(
                    t, R"(LINE\n8\n\w+\n10\n([\d.]+)\n20\n([\d.]+)\n30\n0\n11\n([\d.]+)\n21\n([\d.]+))");
            },
            100 },
        { "svg", [](auto& t) { return numbersafter(t, R"(<svg width="([\d.]+)mm" height="([\d.]+)mm")"); },
            [](auto& t) {
                return numbersafter(t, R"(<polyline[^>]*points="([\d.]+),([\d.]+) ([\d.]+),([\d.]+))");
            },
            10000 },
        { "plt",
            [](auto&) {
                return std::vector<double> { 200, 140 };
            },
            [](auto& t) { return numbersafter(t, R"(PU(\d+),(\d+);PD(\d+),(\d+))"); }, 4000 },
        { "emf",
            [](auto& t) {
                int32_t frame[4];
                std::memcpy(frame, &t[24], sizeof frame);
                return std::vector<double> { frame[2] / 100.0, frame[3] / 100.0 };
            },
            emfpolyline, 10000 },
        { "pdf",
            [](auto& t) {
                auto box = numbersafter(t, R"(/MediaBox \[0 0 ([\d.]+) ([\d.]+)\])");
                return std::vector<double> { box.at(0) * 25.4 / 72, box.at(1) * 25.4 / 72 };
            },
            nullptr, 0 },
    };
    for (const CASE& c : cases) {
        fs::path file = folder / (std::string("line.") + c.kind);
        auto device = make(c.kind, file.string());
        ASSERT_EQ(produce(*device, file.string(), onehundredmillimetres), FDI_OK) << c.kind;
        std::string text = contents(file);
        std::vector<double> page = c.page(text);
        ASSERT_EQ(page.size(), 2u) << c.kind;
        double scale = c.kind == std::string("eps") ? 25.4 / 72 : 1;
        // The toolkit makes PDF pages of whole points: up to a point (0.35 mm) larger.
        double tolerance = c.kind == std::string("pdf") ? 0.36 : 0.01;
        EXPECT_NEAR(page[0] * scale, 200, tolerance) << c.kind;
        EXPECT_NEAR(page[1] * scale, 140, tolerance) << c.kind;
        if (!c.line) {
            continue;
        }
        std::vector<double> line = c.line(text);
        ASSERT_EQ(line.size(), 4u) << c.kind;
        EXPECT_NEAR(line[2] - line[0], c.units, c.units * 1e-4) << c.kind;
        EXPECT_NEAR(line[3], line[1], 1e-9) << c.kind;
    }

    BMDVC bitmap(nullptr, 0, 0, RGB(255, 255, 255), UPI, 254);
    produce(bitmap, "", onehundredmillimetres);
    EXPECT_EQ(bitmap.getextent().cx, 2000) << "200 mm at 254 dots to the inch";
}

TEST(FileDevices, TextStaysTextWhereTheFormatHasIt)
{
    fs::path folder = vkt::test::makeTempSubfolder("text");
    auto label = [](VGDVC& device) {
        device.drawtext(POINT(20 * MM, 20 * MM),
            "Ohm (R1) 10\xC2\xB5"
            "F",
            0, 0, TSTYLE("Arial", 5 * MM, 4 * MM, 0, 0));
    };
    struct CASE {
        const char* kind;
        int option;
        const char* present;
    };
    const CASE cases[] = {
        { "eps", DEVICEOPTION_TEXT, "(Ohm \\(R1\\) 10\\265F) /Helvetica-L1" },
        { "dxf", 0,
            "\n1\nOhm (R1) 10\xB5"
            "F\n" },
        { "svg", DEVICEOPTION_TEXT,
            "Ohm (R1) 10\xC2\xB5"
            "F</text>" },
        { "pdf", DEVICEOPTION_TEXT, "/FontFile2" },
    };
    for (const CASE& c : cases) {
        fs::path file = folder / (std::string("text.") + c.kind);
        auto device = make(c.kind, file.string(), c.option);
        ASSERT_EQ(produce(*device, file.string(), label), FDI_OK) << c.kind;
        EXPECT_NE(contents(file).find(c.present), std::string::npos) << c.kind;
    }
    fs::path outlined = folder / "outlines.svg";
    auto device = make("svg", outlined.string(), 0);
    produce(*device, outlined.string(), label);
    EXPECT_EQ(contents(outlined).find("<text"), std::string::npos) << "without the option: glyph outlines";
}

TEST(FileDevices, RefusedFolderLeavesNoFileAndKeepsTheOldOne)
{
    fs::path folder = vkt::test::makeTempSubfolder("refused");
    for (const char* kind : { "pdf", "svg", "eps", "dxf", "plt", "emf", "bmp" }) {
        std::string missing = (folder / "gone" / (std::string("x.") + kind)).string();
        auto device = make(kind, missing);
        EXPECT_EQ(produce(*device, missing, onehundredmillimetres), FDI_CANNOTCREATE) << kind;
    }
    EXPECT_FALSE(fs::exists(folder / "gone"));

    fs::path old = folder / "kept.pdf";
    std::ofstream(old) << "old";
    PDFDVC device(old.string().c_str(), 0, RGB(255, 255, 255), UPI, DEVICEOPTION_TEXT);
    device.openoutput(nullptr);
    device.begin();
    device.setmapping(1, 1, 1, 0, 0);
    device.setwindow(PAGE);
    onehundredmillimetres(device);
    device.abort();
    device.end();
    EXPECT_EQ(device.closeoutput(), FDI_ABORTED);
    EXPECT_EQ(contents(old), "old");
}

TEST(FileDevices, PagesGoWhereTheFormatKeepsThem)
{
    fs::path folder = vkt::test::makeTempSubfolder("pages");
    auto path = [&](const char* name) { return (folder / name).string(); };
    {
        auto device = make("eps", path("sheet.eps"));
        ASSERT_EQ(produce(*device, path("sheet.eps"), onehundredmillimetres, 2), FDI_OK);
    }
    EXPECT_TRUE(fs::exists(folder / "sheet.eps"));
    EXPECT_NE(contents(folder / "sheet-2.eps").find("%%BoundingBox: 0 0 567 397"), std::string::npos);
    {
        auto device = make("ps", path("all.ps"));
        ASSERT_EQ(produce(*device, path("all.ps"), onehundredmillimetres, 3), FDI_OK);
    }
    std::string document = contents(folder / "all.ps");
    EXPECT_NE(document.find("%%Page: 3 3"), std::string::npos);
    EXPECT_NE(document.find("%%Pages: 3\n%%EOF"), std::string::npos);
    {
        auto device = make("pdf", path("all.pdf"));
        ASSERT_EQ(produce(*device, path("all.pdf"), onehundredmillimetres, 2), FDI_OK);
    }
    EXPECT_NE(contents(folder / "all.pdf").find("/Count 2"), std::string::npos);
    {
        auto device = make("plt", path("all.plt"));
        ASSERT_EQ(produce(*device, path("all.plt"), onehundredmillimetres, 2), FDI_OK);
    }
    EXPECT_NE(contents(folder / "all.plt").find("PG;"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder / "all-2.plt"));
}

TEST(FileDevices, PlotterDialectsPlaceTheSameLine)
{
    fs::path folder = vkt::test::makeTempSubfolder("plotters");
    struct CASE {
        int language;
        const char* start;
        const char* line; // the 100 mm line
        const char* end;
    };
    const CASE cases[] = {
        { PLOTTER_HPGL, "IN;\n", "PU400,400;PD4400,400;", "PU;SP0;\n" },
        { PLOTTER_HPGLCENTRED, "IN;\n", "PU-3600,-2400;PD400,-2400;", "PU;SP0;\n" },
        { PLOTTER_HI80, ";: EC5 H A\n", "U 79,79 D 866,79", "@\n" },
        { PLOTTER_DMPL, ";: EC1 H A\n", "U 394,394 D 4331,394", "@\n" },
    };
    for (const CASE& c : cases) {
        std::string file = (folder / ("plot" + std::to_string(c.language))).string();
        PPDVC device(c.language, 25400, nullptr, 0, UPI);
        ASSERT_EQ(produce(device, file, onehundredmillimetres), FDI_OK) << c.language;
        std::string plot = contents(file);
        EXPECT_EQ(plot.rfind(c.start, 0), 0u) << c.language << "\n" << plot;
        EXPECT_NE(plot.find(c.line), std::string::npos) << c.language << "\n" << plot;
        EXPECT_EQ(plot.substr(plot.size() - std::strlen(c.end)), c.end) << c.language;
    }
}

TEST(FileDevices, DxfKeepsALayerForEachColour)
{
    fs::path file = vkt::test::makeTempSubfolder("layers") / "layers.dxf";
    DXDVC device("", UPI, 0);
    ASSERT_EQ(produce(device, file.string(),
                  [](VGDVC& d) {
                      d.drawline(POINT(0, 0), POINT(MM, 0), GSTYLE(0, RGB(255, 0, 0), NOCOLOUR));
                      d.drawcircle(POINT(0, 0), MM, GSTYLE(0, RGB(255, 0, 0), NOCOLOUR));
                      d.drawarc(POINT(0, 0), MM, 0, 900, GSTYLE(0, RGB(0, 0, 128), NOCOLOUR));
                      d.drawbox(BOX(0, 0, MM, MM), GSTYLE(MM / 2, RGB(0, 0, 128), RGB(10, 20, 30)));
                  }),
        FDI_OK);
    std::string dxf = contents(file);
    for (const char* expected : { "\n2\nCOLOUR_FF0000\n70\n0\n62\n1\n", "\n2\nCOLOUR_000080\n",
             "\n2\nCOLOUR_0A141E\n", "\nLINE\n8\nCOLOUR_FF0000\n", "\nCIRCLE\n8\nCOLOUR_FF0000\n",
             "\nARC\n8\nCOLOUR_000080\n", "\nPOLYLINE\n8\nCOLOUR_000080\n", "\nSOLID\n8\nCOLOUR_0A141E\n",
             "\n40\n0.5\n41\n0.5\n", "\nEOF\n" }) {
        EXPECT_NE(dxf.find(expected), std::string::npos) << expected;
    }
}

TEST(FileDevices, BitmapDepthsAndTheirFiles)
{
    fs::path folder = vkt::test::makeTempSubfolder("bitmaps");
    auto drawing = [](VGDVC& d) {
        d.fillbox(BOX(0, 0, 100 * MM, 140 * MM), RGB(255, 255, 0));
        d.fillbox(BOX(100 * MM, 0, 200 * MM, 140 * MM), RGB(0, 0, 160));
    };
    struct CASE {
        int depth;
        COLORREF background;
        int bits; // in the file
        QRgb left;
        QRgb right;
    };
    const CASE cases[] = {
        { 0, RGB(255, 255, 255), 24, qRgb(255, 255, 0), qRgb(0, 0, 160) },
        { 8, RGB(255, 255, 255), 8, qRgb(255, 255, 0), qRgb(0, 0, 153) },
        { 4, RGB(255, 255, 255), 4, qRgb(255, 255, 0), qRgb(0, 0, 128) },
        { 1, RGB(255, 255, 255), 1, qRgb(0, 0, 0), qRgb(0, 0, 0) },
        { 1, RGB(0, 0, 0), 1, qRgb(255, 255, 255), qRgb(255, 255, 255) },
    };
    for (const CASE& c : cases) {
        fs::path file = folder / ("depth" + std::to_string(c.depth) + ".bmp");
        BMDVC device(file.string().c_str(), 0, c.depth, c.background, UPI, 50);
        ASSERT_EQ(produce(device, file.string(), drawing), FDI_OK);
        std::string bmp = contents(file);
        EXPECT_EQ(bmp.substr(0, 2), "BM");
        uint16_t bits;
        int32_t perm, width;
        std::memcpy(&bits, &bmp[28], 2);
        std::memcpy(&width, &bmp[18], 4);
        std::memcpy(&perm, &bmp[38], 4);
        EXPECT_EQ(bits, c.bits) << c.depth;
        EXPECT_EQ(width, 394) << "200 mm at 50 dots to the inch";
        EXPECT_EQ(perm, 1969) << "50 dots to the inch";
        QImage image;
        ASSERT_TRUE(image.loadFromData(QByteArray::fromStdString(bmp), "BMP")) << c.depth;
        EXPECT_EQ(image.pixel(50, 30) & 0xFFFFFF, c.left & 0xFFFFFF) << c.depth;
        EXPECT_EQ(image.pixel(300, 30) & 0xFFFFFF, c.right & 0xFFFFFF) << c.depth;
    }

    fs::path png = folder / "page.png";
    BMDVC pngdevice(png.string().c_str(), 1, 0, RGB(255, 255, 255), UPI, 50);
    ASSERT_EQ(produce(pngdevice, png.string(), drawing), FDI_OK);
    QImage image(QString::fromStdString(png.string()), "PNG");
    EXPECT_EQ(image.width(), 394);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), image.size()) << "also put on the clipboard";
    HBITMAP bitmap = pngdevice.getbitmap();
    ASSERT_NE(bitmap, nullptr);
    BITMAP description {};
    GetObjectA(bitmap, sizeof description, &description);
    EXPECT_EQ(description.bmWidth, 394);
    DeleteObject(bitmap);
}

TEST(FileDevices, ThumbnailFitsItsSquare)
{
    // The clip's thumbnail: 256 by 256 pixels, the area's centre in the middle.
    BMDVC device(nullptr, 0, 0, RGB(255, 255, 255), UPI, 96);
    device.begin();
    device.setarea(RECT { 0, 0, 256, 256 }, tagPOINT { 128, 128 });
    device.setmapping(1, 1, 1, 0, 1);
    device.setwindow(BOX(-50 * MM, -20 * MM, 50 * MM, 20 * MM));
    device.fillbox(BOX(-50 * MM, -20 * MM, 50 * MM, 20 * MM), RGB(255, 0, 0));
    device.end();
    HBITMAP bitmap = device.getbitmap();
    QImage image(256, 256, QImage::Format_RGB32);
    BITMAPINFO info {};
    info.bmiHeader = { sizeof(BITMAPINFOHEADER), 256, -256, 1, 32, 0, 0, 0, 0, 0, 0 };
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_EQ(GetDIBits(dc, bitmap, 0, 256, image.bits(), &info, DIB_RGB_COLORS), 256);
    DeleteDC(dc);
    DeleteObject(bitmap);
    EXPECT_EQ(image.pixel(1, 128) & 0xFFFFFF, 0xFF0000u) << "the width fills the square";
    EXPECT_EQ(image.pixel(128, 128 - 48) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(image.pixel(128, 20) & 0xFFFFFF, 0xFFFFFFu) << "the height keeps its proportion";
}

TEST(FileDevices, PicturesCarryThePageAndTheClipboardGetsTheMetafile)
{
    QPicture picture;
    PCDVC device(RGB(255, 255, 255), UPI, DEVICEOPTION_TEXT, &picture);
    produce(device, "", onehundredmillimetres, 2);
    QPicture loaded;
    QByteArray data = device.getdata();
    loaded.setData(data.constData(), uint(data.size()));
    ASSERT_FALSE(loaded.isNull());
    EXPECT_NEAR(loaded.boundingRect().width(), 200 / 25.4 * 96, 1) << "the page at 96 to the inch";
    EXPECT_NEAR(loaded.boundingRect().height(), 2 * 140 / 25.4 * 96, 2) << "page 2 below page 1";

    MFDVC clip(nullptr, nullptr, 1, RGB(255, 255, 255), UPI);
    produce(clip, "", onehundredmillimetres);
    const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(offered, nullptr);
    EXPECT_TRUE(offered->hasFormat("image/svg+xml"));
    QDomDocument svg;
    EXPECT_TRUE(svg.setContent(offered->data("image/svg+xml")));
    EXPECT_TRUE(offered->hasImage());
}
