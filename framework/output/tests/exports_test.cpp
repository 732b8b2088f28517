#include <gtest/gtest.h>

#include <QImage>
#include <QXmlStreamReader>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/output/tests/outputtest.h"
#include "platform/casq/devices.h"
#include "platform/casq/outputfile.h"
#include "platform/drelm/tests/drelmtest.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;
using outputtest::DEMOPRINT;

namespace {

std::string contents(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A print mix-in ready to write the kind's file into the folder, as the form leaves it on OK.
struct Exporter : drelmtest::Started {
    DEMOPRINT print;
    fs::path folder = vkt::test::makeTempSubfolder("exports");

    Exporter()
    {
        print.showdoc = 0;
        print.bkcolour = RGB(255, 255, 255);
        print.op_initocs(print.ocs);
        print.ocs.tofile = 1;
    }
    fs::path target(const char* name)
    {
        fs::path file = folder / name;
        copyoutputname(print.ocs.filename, file.c_str());
        return file;
    }
    // Keeps the file where people and readers look at exports.
    static void keep(const fs::path& file, const char* artifact)
    {
        fs::create_directories(VKT_ARTIFACTS_DIR);
        fs::copy_file(file, fs::path(VKT_ARTIFACTS_DIR) / artifact, fs::copy_options::overwrite_existing);
    }
};

bool wellformedxml(const std::string& text)
{
    QXmlStreamReader reader(QByteArray::fromStdString(text));
    while (!reader.atEnd())
        reader.readNext();
    return !reader.hasError();
}

} // namespace

struct Exports : Exporter, testing::Test { };

TEST_F(Exports, DemoDrawingInEveryKind)
{
    struct KIND {
        const char* file;
        int (*run)(APPLNPRINT&);
        const char* start; // the file's magic
        const char* inside; // proof that something was drawn
    };
    const KIND kinds[] = {
        { "editor-export.bmp", [](APPLNPRINT& p) { return p.op_bitmap(); }, "BM", "" },
        { "editor-export.png", [](APPLNPRINT& p) { return p.op_bitmap(); }, "\x89PNG", "" },
        { "editor-export.pdf", [](APPLNPRINT& p) { return p.op_pdf(0); }, "%PDF-", "%%EOF" },
        { "editor-export.svg", [](APPLNPRINT& p) { return p.op_svg(DEVICEOPTION_TEXT); }, "<?xml", "<svg" },
        { "editor-export.eps", [](APPLNPRINT& p) { return p.op_eps("", "demo.dsn", DEVICEOPTION_TEXT); },
            "%!PS-Adobe-3.0 EPSF-3.0", "%%EOF" },
        { "editor-export.dxf", [](APPLNPRINT& p) { return p.op_dxf(""); }, "0\nSECTION", "LINE" },
        { "editor-export.plt", [](APPLNPRINT& p) { return p.op_vector(); }, "IN;", "PD" },
    };
    print.rsln = 2;
    for (const KIND& kind : kinds) {
        SCOPED_TRACE(kind.file);
        fs::path file = target(kind.file);
        int draws = print.draws;
        EXPECT_EQ(kind.run(print), FDI_OK);
        EXPECT_EQ(print.draws, draws + 1);
        std::string data = contents(file);
        EXPECT_EQ(data.rfind(kind.start, 0), 0u) << data.substr(0, 40);
        EXPECT_NE(data.find(kind.inside), std::string::npos);
        if (fs::path(kind.file).extension() == ".svg") {
            EXPECT_TRUE(wellformedxml(data));
        }
        if (fs::path(kind.file).extension() != ".bmp")
            keep(file, kind.file);
    }
    QImage image((folder / "editor-export.png").c_str());
    ASSERT_FALSE(image.isNull());
    BOX extent = print.drawing.extent();
    EXPECT_NEAR(image.width(), (extent.x2 - extent.x1) * 300.0 / 2540000, 2) << "300 dots to the inch at 1:1";
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::white));
}

TEST_F(Exports, BitmapBackgroundFollowsTheColourRule)
{
    struct CASE {
        int colours; // depth choice: 0 black and white
        int invert;
        QColor corner;
    };
    const CASE cases[] = {
        { 0, 0, Qt::white }, // a monochrome bitmap is white whatever was chosen
        { 0, 1, Qt::black },
        { 3, 0, QColor(200, 0, 0) },
        { 3, 1, QColor(55, 255, 255) },
    };
    print.bkcolour = RGB(200, 0, 0);
    for (const CASE& c : cases) {
        print.ocs.colour_bpp = c.colours;
        print.ocs.invert = c.invert;
        fs::path file = target("background.png");
        ASSERT_EQ(print.op_bitmap(), FDI_OK);
        QImage image(file.c_str());
        EXPECT_EQ(image.pixelColor(0, 0), c.corner) << c.colours << " " << c.invert;
    }
}

TEST_F(Exports, FailedExportLeavesNoFileAndSaysWhy)
{
    drelmtest::RecordedBoxes boxes;
    std::ofstream(folder / "plainfile") << "not a folder";
    for (const char* name : { "missing/x.pdf", "plainfile/x.dxf" }) {
        fs::path file = target(name);
        int code = fs::path(name).extension() == ".pdf" ? print.op_pdf(0) : print.op_dxf("");
        EXPECT_NE(code, FDI_OK) << name;
        EXPECT_FALSE(fs::exists(file)) << name;
    }
    ASSERT_EQ(drelmtest::boxes().size(), 2u) << "each fault shown once";
    EXPECT_NE(drelmtest::boxes()[0].text.find("x.pdf"), std::string::npos) << drelmtest::boxes()[0].text;
}

TEST_F(Exports, SvgWithoutFormNeverReplacesAFile)
{
    drelmtest::RecordedBoxes boxes;
    fs::path doc = folder / "amp.dsn";
    std::ofstream(folder / "amp.SVG") << "keep";
    char result[PATHBUFFER];
    EXPECT_EQ(print.op_svg2_setup(nullptr, doc.c_str(), nullptr, 0, result), FDI_OK);
    EXPECT_EQ(fs::path(result), folder / "amp(1).SVG");
    EXPECT_TRUE(fs::exists(folder / "amp(1).SVG"));
    EXPECT_EQ(contents(folder / "amp.SVG"), "keep");
    EXPECT_EQ(print.op_svg2_setup(nullptr, doc.c_str(), nullptr, 0, nullptr), FDI_OK);
    ASSERT_EQ(drelmtest::boxes().size(), 1u);
    EXPECT_NE(drelmtest::boxes()[0].text.find("SVG created:\n\n"), std::string::npos);
    EXPECT_NE(drelmtest::boxes()[0].text.find("amp(2).SVG"), std::string::npos);
}

TEST_F(Exports, PictureDataKeepsItsSettingsBetweenCalls)
{
    QVariantMap map;
    map.insert("Name", "Amplifier");
    map.insert("ocs", print.storeOcs(print.ocs));
    map.insert("bkcolour", qulonglong(RGB(1, 2, 3)));
    QVariant settings = map;
    QByteArray first = print.op_data_setup(settings, nullptr, 0);
    EXPECT_FALSE(first.isEmpty());
    EXPECT_EQ(settings.toMap().value("bkcolour").toULongLong(), RGB(1, 2, 3));
    EXPECT_EQ(print.op_data_setup(settings, nullptr, 0).size(), first.size()) << "drawn again without a form";
    EXPECT_TRUE(settings.toMap().contains("ocs"));
}
