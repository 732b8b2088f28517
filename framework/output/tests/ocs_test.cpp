#include <gtest/gtest.h>

#include <QBitArray>
#include <QMap>
#include <QVariant>
#include <cstring>
#include <fstream>
#include <string>

#include "framework/output/tests/outputtest.h"
#include "testsupport/temp_folder.h"

using outputtest::DEMOPRINT;

namespace {

OCS filledsettings()
{
    OCS settings {};
    settings.dm = 3;
    settings.scale = 4;
    settings.onlyshrink = 1;
    settings.rot = 1;
    settings.mir = 1;
    settings.colour_set = -1;
    settings.colour_bpp = 2;
    settings.invert = 1;
    settings.taggedonly = 1;
    settings.scope = OCS_SCOPE_ALLSHEETS;
    settings.scope_emask = 0xF;
    for (int i = 0; i < OCS_LAYERS; i += 3)
        settings.layers[i] = 1;
    settings.lset = 0xFEDCBA98;
    settings.edge = 0x80000001;
    std::strcpy(settings.filename, "/tmp/Schaltplan \xc3\xbc.pdf");
    settings.xcomp = 1.25f;
    settings.ycomp = 0.5f;
    settings.tofile = 1;
    settings.qjplotter = 1;
    settings.separate = 1;
    settings.preview = 1;
    settings.ocx = 1234.5;
    settings.ocy = -7.25;
    settings.area = BOX(1, 2, 3, 4);
    settings.dxfoption = 9;
    return settings;
}

} // namespace

TEST(OutputSettings, MapRoundTripKeepsEveryStoredField)
{
    DEMOPRINT print;
    OCS settings = filledsettings();
    QVariant stored = print.storeOcs(settings);
    QMap<QString, QVariant> map = stored.toMap();
    EXPECT_EQ(map.size(), 23);
    EXPECT_EQ(map.value("lset").typeId(), QMetaType::ULongLong);
    EXPECT_EQ(map.value("layers").toBitArray().size(), 32);

    OCS back {};
    back.dxfoption = 5;
    print.extractOcs(stored, back);
    OCS expected = settings;
    expected.area = BOX();
    expected.dxfoption = 5;
    EXPECT_EQ(std::memcmp(&back.dm, &expected.dm, offsetof(OCS, dxfoption) - offsetof(OCS, dm)), 0);
    EXPECT_STREQ(back.filename, settings.filename);
    EXPECT_EQ(back.lset, 0xFEDCBA98u);
    EXPECT_EQ(back.ocx, 1234.5);
    EXPECT_EQ(back.ocy, -7.25);
    EXPECT_EQ(back.dxfoption, 5) << "not part of the map";
    EXPECT_TRUE(back.area.isvoid()) << "not part of the map";
}

TEST(OutputSettings, MissingKeysClearTheirFieldsButLayersStay)
{
    DEMOPRINT print;
    OCS settings = filledsettings();
    QMap<QString, QVariant> map;
    map.insert("rot", 1);
    print.extractOcs(map, settings);
    EXPECT_EQ(settings.scale, 0);
    EXPECT_EQ(settings.rot, 1);
    EXPECT_STREQ(settings.filename, "");
    EXPECT_EQ(settings.lset, 0u);
    EXPECT_EQ(settings.xcomp, 0.0f);
    EXPECT_EQ(settings.ocx, 0.0);
    for (int i = 0; i < OCS_LAYERS; ++i)
        EXPECT_EQ(settings.layers[i], i % 3 == 0 ? 1 : 0) << "layer " << i;

    QBitArray eight(8, true);
    map.insert("layers", eight);
    print.extractOcs(map, settings);
    for (int i = 0; i < OCS_LAYERS; ++i)
        EXPECT_EQ(settings.layers[i], i < 8 || i % 3 == 0 ? 1 : 0) << "layer " << i;
}

TEST(OutputSettings, LongFileNamesAreCutAtACharacterIn516Bytes)
{
    DEMOPRINT print;
    OCS settings {};
    std::string name = "x" + std::string(600, 'a');
    QMap<QString, QVariant> map;
    map.insert("filename", QString::fromStdString(name));
    print.extractOcs(map, settings);
    EXPECT_EQ(std::strlen(settings.filename), 516u);

    std::string accented;
    while (accented.size() < 600)
        accented += "\xc3\xa9";
    map.insert("filename", QString::fromUtf8(accented));
    print.extractOcs(map, settings);
    EXPECT_EQ(std::strlen(settings.filename), 516u) << "258 whole characters";
    EXPECT_EQ(print.storeOcs(settings).toMap().value("filename").toString().size(), 258);
}

TEST(OutputNames, ProposalsFollowTheDocumentUntilTheUserChoosesAName)
{
    DEMOPRINT print;
    char* name = print.ocs.filename;
    print.setoutputfilename(name, "/d/amp.dsn", "PDF");
    EXPECT_STREQ(name, "/d/amp.PDF");
    print.setoutputfilename(name, "/d/filter.dsn", "PDF");
    EXPECT_STREQ(name, "/d/filter.PDF") << "an untouched proposal follows the document";

    std::strcpy(name, "/out/mine.pdf");
    print.setoutputfilename(name, "/d/filter.dsn", "PDF");
    EXPECT_STREQ(name, "/out/mine.pdf");
    print.setoutputfilename(name, "/d/other.dsn", "pdf");
    EXPECT_STREQ(name, "/out/mine.pdf") << "kept for the same kind, also for another document";
    print.setoutputfilename(name, "/d/other.dsn", "SVG");
    EXPECT_STREQ(name, "/d/other.SVG") << "another kind proposes the document's name";
    print.setoutputfilename(name, "/d/v1.2/plain", "DXF");
    EXPECT_STREQ(name, "/d/v1.2/plain.DXF") << "a dot in a folder is no extension";
}

TEST(OutputNames, UniqueNamesCountPastExistingFiles)
{
    auto folder = vkt::test::makeTempSubfolder("unique");
    DEMOPRINT print;
    char out[PATHBUFFER];
    std::string doc = (folder / "a.dsn").string();
    print.uniqueoutputname(out, doc.c_str(), "SVG");
    EXPECT_EQ(std::string(out), (folder / "a.SVG").string());
    std::ofstream(folder / "a.SVG") << "x";
    std::ofstream(folder / "a(1).SVG") << "x";
    print.uniqueoutputname(out, doc.c_str(), "SVG");
    EXPECT_EQ(std::string(out), (folder / "a(2).SVG").string());
}
