#include "framework/xml/xmldocument.h"

#include <gtest/gtest.h>

#include <QXmlStreamReader>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "core/files/ramfile.h"
#include "framework/documents/applnarchive.h"
#include "framework/xml/xmlelement.h"

namespace {

std::string saved(XML::DOCUMENT& document)
{
    RAMFILE file;
    EXPECT_EQ(document.save(file), 1);
    return std::string(reinterpret_cast<char*>(file.buffer), static_cast<size_t>(file.length));
}

int loadtext(XML::DOCUMENT& document, const std::string& text, std::ostream* errors)
{
    RAMFILE file(const_cast<char*>(text.data()), static_cast<int>(text.size()));
    return document.load(file, errors);
}

std::string nested(int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    return text;
}

} // namespace

TEST(XmlDocument, ANewDocumentIsTheDeclarationAndAnEmptyRoot)
{
    XML::DOCUMENT document("WORKSPACE");
    const std::string text = saved(document);
    QXmlStreamReader reader(QByteArray::fromStdString(text));
    ASSERT_EQ(reader.readNext(), QXmlStreamReader::StartDocument);
    EXPECT_EQ(reader.documentVersion(), QStringLiteral("1.0"));
    EXPECT_EQ(reader.documentEncoding(), QStringLiteral("UTF-8"));
    EXPECT_TRUE(reader.isStandaloneDocument());
    ASSERT_EQ(reader.readNext(), QXmlStreamReader::StartElement);
    EXPECT_EQ(reader.name(), QStringLiteral("WORKSPACE"));
    EXPECT_EQ(reader.readNext(), QXmlStreamReader::EndElement);
}

TEST(XmlDocument, SavesIndentedByOneSpaceAndLoadsBack)
{
    XML::DOCUMENT document("ROOT");
    XML::ELEMENT root(document.documentElement());
    XML::ELEMENT frame(root.appendchild("FRAME"));
    frame.setinteger("activewindow", 2);
    frame.appendchild("WINDOW");
    const std::string text = saved(document);
    EXPECT_NE(text.find("\n <FRAME activewindow=\"2\">\n  <WINDOW/>\n </FRAME>\n"), std::string::npos)
        << text;

    XML::DOCUMENT back("OTHER");
    ASSERT_EQ(loadtext(back, text, nullptr), 1);
    EXPECT_EQ(back.documentElement().tagName(), QStringLiteral("ROOT"));
    EXPECT_EQ(saved(back), text);
}

TEST(XmlDocument, ADocumentReadFromAnotherEncodingIsStoredAsUtf8)
{
    XML::DOCUMENT document("ROOT");
    ASSERT_EQ(loadtext(document, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><ROOT a=\"Verst\xe4rker\"/>",
                  nullptr),
        1);
    const std::string text = saved(document);
    EXPECT_EQ(text.rfind("<?xml version='1.0' encoding='UTF-8'?>", 0), 0u) << text;
    EXPECT_NE(text.find("Verst\xc3\xa4rker"), std::string::npos) << text;
    XML::DOCUMENT back("ROOT");
    ASSERT_EQ(loadtext(back, text, nullptr), 1);
    EXPECT_STREQ(XML::ELEMENT(back.documentElement()).getattribute("a", ""), "Verst\xc3\xa4rker");
}

TEST(XmlDocument, MalformedTextIsReportedOnTwoLinesAndLeavesAnEmptyRoot)
{
    struct CASE {
        const char* what;
        std::string text;
        const char* message;
    };
    const CASE cases[] = {
        { "mismatched tags", "<ROOT>\n  <A></B>\n</ROOT>",
            "Error: Opening and ending tag mismatch.\nLine 2, column " },
        { "nothing", "", "Error: " },
        { "two roots", "<A/><B/>", "Error: Extra content at end of document.\nLine 1, column " },
        { "nested too deep", nested(XML::DOCUMENT::MAXDEPTH + 1),
            "Error: Elements are nested deeper than 256 levels.\nLine 1, column " },
        { "an attribute that never ends", "<ROOT a=\"" + std::string(1 << 19, 'x'), "Error: " },
    };
    for (const CASE& c : cases) {
        XML::DOCUMENT document("PROJECT");
        XML::ELEMENT(document.documentElement()).appendchild("KEPT");
        std::ostringstream errors;
        EXPECT_EQ(loadtext(document, c.text, &errors), 0) << c.what;
        const std::string reported = errors.str();
        EXPECT_EQ(reported.rfind(c.message, 0), 0u) << c.what << ": " << reported;
        EXPECT_EQ(reported.back(), '\n') << c.what;
        EXPECT_EQ(std::count(reported.begin(), reported.end(), '\n'), 2) << c.what;
        EXPECT_EQ(document.documentElement().tagName(), QStringLiteral("PROJECT")) << c.what;
        EXPECT_FALSE(document.documentElement().hasChildNodes()) << c.what;
    }
    XML::DOCUMENT document("ROOT");
    EXPECT_EQ(loadtext(document, nested(XML::DOCUMENT::MAXDEPTH), nullptr), 1);
}

TEST(XmlDocument, HugeAttributesLoadWholeUpToTheBoundAndALongerTextIsNotParsed)
{
    const std::string frame = "<ROOT big=\"\"/>";
    const std::string value(XML::DOCUMENT::MAXSIZE - frame.size(), 'v');
    XML::DOCUMENT document("ROOT");
    ASSERT_EQ(loadtext(document, "<ROOT big=\"" + value + "\"/>", nullptr), 1);
    XML::ELEMENT root(document.documentElement());
    EXPECT_EQ(std::string(root.getattribute("big", "")), value);

    XML::DOCUMENT longer("PROJECT");
    XML::ELEMENT(longer.documentElement()).appendchild("KEPT");
    std::ostringstream errors;
    EXPECT_EQ(loadtext(longer, "<ROOT big=\"" + value + "v\"/>", &errors), 0);
    EXPECT_EQ(errors.str(), "Error: The document is longer than " + std::to_string(XML::DOCUMENT::MAXSIZE) + " bytes.\n");
    EXPECT_EQ(longer.documentElement().tagName(), QStringLiteral("PROJECT"));
    EXPECT_FALSE(longer.documentElement().hasChildNodes());
}

TEST(XmlDocument, ArchiveEntriesAreReadAndReplacedWhole)
{
    APPLNARCHIVE archive;
    XML::DOCUMENT document("ROOT");
    EXPECT_EQ(document.load(archive, "PROJECT.XML", nullptr), 0);
    EXPECT_EQ(document.documentElement().tagName(), QStringLiteral("ROOT"));

    XML::ELEMENT(document.documentElement()).setproperty("TEXT", std::string(1000, 't').c_str());
    EXPECT_EQ(document.save(archive, "PROJECT.XML", nullptr), 1);
    document.zap();
    EXPECT_EQ(document.save(archive, "PROJECT.XML", nullptr), 1) << "a shorter text replaces a longer one";

    XML::DOCUMENT back("OTHER");
    EXPECT_EQ(back.load(archive, "PROJECT.XML", nullptr), 1);
    EXPECT_EQ(back.documentElement().tagName(), QStringLiteral("ROOT"));
    EXPECT_FALSE(back.documentElement().hasChildNodes());
}

TEST(XmlDocument, SavingIntoAFileThatIsFullSetsItsErrorFlag)
{
    XML::DOCUMENT document("ROOT");
    char block[16];
    RAMFILE small(block, sizeof block);
    EXPECT_EQ(document.save(small), 0);
    EXPECT_TRUE(small.testflags(0x80));
}

TEST(XmlDocument, ImportsAFragmentAsALooseElement)
{
    XML::DOCUMENT document("ROOT");
    const QDomElement element = document.import(QStringLiteral("<WINDOW type=\"3\"><VIEW/></WINDOW>"));
    ASSERT_FALSE(element.isNull());
    EXPECT_EQ(element.attribute(QStringLiteral("type")), QStringLiteral("3"));
    EXPECT_FALSE(element.firstChildElement(QStringLiteral("VIEW")).isNull());
    EXPECT_TRUE(element.parentNode().isNull());
    EXPECT_EQ(element.ownerDocument(), document);
    EXPECT_TRUE(document.import(QStringLiteral("<WINDOW>")).isNull());
    EXPECT_TRUE(document.import(QString::fromStdString(nested(XML::DOCUMENT::MAXDEPTH + 1))).isNull());
}

// The seeds of the fuzz target: sound documents load, damaged ones are refused with a message, and
// entities that expand without bound stop at the parser's limit.
TEST(XmlDocument, TheFuzzSeedsLoadOrAreRefused)
{
    struct CASE {
        const char* file;
        int loads;
    };
    const CASE cases[] = {
        { "workspace.xml", 1 },
        { "blanks.xml", 1 },
        { "hugeattribute.xml", 1 },
        { "deepnesting.xml", 0 },
        { "unterminated.xml", 0 },
        { "entities.xml", 0 },
    };
    for (const CASE& c : cases) {
        std::ifstream in(std::string(VKT_TEST_SOURCE_DIR) + "/../fuzz/corpus/" + c.file, std::ios::binary);
        const std::string text { std::istreambuf_iterator<char>(in), {} };
        ASSERT_FALSE(text.empty()) << c.file;
        XML::DOCUMENT document("ROOT");
        std::ostringstream errors;
        EXPECT_EQ(loadtext(document, text, &errors), c.loads) << c.file << ": " << errors.str();
        EXPECT_EQ(errors.str().empty(), c.loads == 1) << c.file;
    }
}
