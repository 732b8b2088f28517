#include "framework/context/stringtranslator.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/win/menu.h"
#include "testsupport/temp_folder.h"

namespace {

// Translates "Open" in the context "File" and every text of the context "Menu" to upper case.
class FIXEDTRANSLATOR : public QTranslator {
public:
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (QString(context) == "File" && QString(source) == "Open")
            return "Ouvrir";
        if (QString(context) == "Menu")
            return QString::fromUtf8(source).toUpper();
        return {};
    }
};

struct Translators : testing::Test {
    FIXEDTRANSLATOR fixed;
    void SetUp() override { QCoreApplication::installTranslator(&fixed); }
    void TearDown() override { QCoreApplication::removeTranslator(&fixed); }

    static std::string taken(char* text)
    {
        std::string copy = text ? text : "(null)";
        free(text);
        return copy;
    }
    static std::string filetext(const std::string& path)
    {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(Translators, ATranslatedTextIsAnsweredAndNeverRecorded)
{
    STRINGTRANSLATOR translator;
    std::string path = (vkt::test::tempFolder() / "strings.txt").string();
    translator.update(path.c_str(), "1.2.3.4");
    EXPECT_EQ(taken(translator.translate("Open", "File")), "Ouvrir");
    EXPECT_EQ(translator.translate(nullptr, "File"), nullptr);
    EXPECT_FALSE(translator.hascollected());

    EXPECT_EQ(translator.translate("Close", "File", "a note"), nullptr);
    ASSERT_EQ(translator.records().size(), 1u);
    const auto& [key, record] = *translator.records().begin();
    EXPECT_EQ(key.first, "File");
    EXPECT_EQ(key.second, "Close");
    EXPECT_EQ(record.comment, "a note");
    EXPECT_EQ(record.version, "1.2.3.4");
    EXPECT_FALSE(record.date.empty());
}

TEST_F(Translators, NothingIsRecordedUntilCollectingIsOn)
{
    STRINGTRANSLATOR translator;
    EXPECT_EQ(translator.translate("Close", "File"), nullptr);
    EXPECT_FALSE(translator.hascollected());
    EXPECT_FALSE(translator.write()) << "no strings file named";
}

TEST_F(Translators, TheStringsFileHoldsEscapedMacrosAndKeepsEarlierRecordsOnReload)
{
    std::string path = (vkt::test::tempFolder() / "strings.txt").string();
    {
        std::ofstream earlier(path);
        earlier << "//Strings For translation\n"
                << "QT_TRANSLATE_NOOP3(\"Dialog\", \"Old text\", \"\") //Updated on: 2020-01-02T03:04:05, "
                   "Version: 7.0.0.1\n"
                << "  QT_TRANSLATE_NOOP3(\"Dialog\", \"Kept\", \"c\") //Updated on: 2021-05-05T00:00:00, "
                   "Version: <unknown>  \n"
                << "QT_TRANSLATE_NOOP3(\"Dialog\", \"Short version\", \"\") //Updated on: "
                   "2020-01-02T03:04:05, Version: 1.2.3\n"
                << "not an entry\n";
    }
    STRINGTRANSLATOR translator;
    translator.update(path.c_str(), "8.12.0.5");
    EXPECT_EQ(translator.translate("Say \"hi\"\tC:\\dir\r\nend", "Quotes \"q\"", "tab\there"), nullptr);
    EXPECT_EQ(translator.translate("Old text", "Dialog"), nullptr) << "met again: recorded anew";
    ASSERT_TRUE(translator.write());

    std::string text = filetext(path);
    EXPECT_EQ(text.rfind("//Strings For translation\n", 0), 0u);
    EXPECT_NE(text.find("QT_TRANSLATE_NOOP3(\"Dialog\", \"Kept\", \"c\") //Updated on: 2021-05-05T00:00:00, "
                        "Version: <unknown>\n"),
        std::string::npos);
    EXPECT_NE(text.find("QT_TRANSLATE_NOOP3(\"Quotes \\\"q\\\"\", \"Say \\\"hi\\\"\\tC:\\\\dir\\r\\nend\", "
                        "\"tab\\there\") //Updated on: "),
        std::string::npos);
    EXPECT_EQ(text.find("Short version"), std::string::npos) << "a version of three numbers is no entry";
    EXPECT_EQ(text.find("7.0.0.1"), std::string::npos);
    EXPECT_NE(text.find("\"Old text\", \"\") //Updated on: "), std::string::npos);

    STRINGTRANSLATOR reread;
    reread.update(path.c_str(), "9.0.0.0");
    EXPECT_EQ(reread.records(), translator.records()) << "reloading keeps every record as written";
}

TEST_F(Translators, AFileThatCannotBeWrittenIsReportedAndLeavesNothing)
{
    std::string folder = vkt::test::makeTempSubfolder("locked").string();
    std::string path = folder + "/missing/strings.txt";
    STRINGTRANSLATOR translator;
    translator.update(path.c_str(), "1.0.0.0");
    translator.translate("Close", "File");
    EXPECT_FALSE(translator.write());
}

TEST_F(Translators, MenusAreTranslatedInPlaceWithTheirSubmenus)
{
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 10, "&Save");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    STRINGTRANSLATOR translator;
    translator.translatemenu(bar, "Menu");
    char text[64] = {};
    GetMenuStringA(bar, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&FILE");
    GetMenuStringA(file, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&SAVE");
    EXPECT_EQ(GetMenuItemCount(file), 2);
    DestroyMenu(bar);
}

TEST_F(Translators, TheDegreeSignIsInTheLocalEncoding)
{
    STRINGTRANSLATOR translator;
    EXPECT_STREQ(translator.degreesign(), "\xC2\xB0");
}

} // namespace
