#include "framework/xml/xmlelement.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "core/containers/dpa.h"
#include "core/files/ramfile.h"
#include "framework/xml/xmldocument.h"
#include "platform/ombrel/box.h"
#include "platform/ombrel/point.h"
#include "platform/ombrel/stringlist.h"

namespace {

QString escaped(QString text, bool attribute)
{
    text.replace('&', "&amp;").replace('<', "&lt;");
    return attribute ? text.replace('"', "&quot;") : text;
}

// A node as text with the attributes of each element in name order (Qt writes them in an order of
// its own), so that a stored form compares as a tree.
QString canonical(const QDomNode& node)
{
    if (node.isCDATASection())
        return "<![CDATA[" + node.nodeValue() + "]]>";
    if (node.isText())
        return escaped(node.nodeValue(), false);
    const QDomElement element = node.toElement();
    QStringList attributes;
    for (int i = 0; i < element.attributes().count(); ++i)
        attributes.append(element.attributes().item(i).nodeName());
    attributes.sort();
    QString text = "<" + element.tagName();
    for (const QString& name : attributes)
        text += " " + name + "=\"" + escaped(element.attribute(name), true) + "\"";
    if (!element.hasChildNodes())
        return text + "/>";
    text += ">";
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling())
        text += canonical(child);
    return text + "</" + element.tagName() + ">";
}

std::string roottext(XML::DOCUMENT& document)
{
    return canonical(document.documentElement()).toStdString();
}

// Saves the document and loads it back, as a file does between runs.
XML::ELEMENT reloaded(XML::DOCUMENT& document, XML::DOCUMENT& into)
{
    RAMFILE file;
    document.save(file);
    file.rewind();
    EXPECT_EQ(into.load(file, nullptr), 1);
    return XML::ELEMENT(into.documentElement());
}

} // namespace

TEST(XmlElement, StoresEachKindOfValueInItsTextForm)
{
    struct CASE {
        const char* what;
        std::function<void(XML::ELEMENT&)> set;
        const char* text;
    };
    PROPLIST props(0, 1);
    props.add("b", "2");
    props.add("A", "1 & <2>");
    STRINGLIST strings;
    strings.add("one");
    strings.add("");
    const CASE cases[] = {
        { "string", [](XML::ELEMENT& e) { e.setattribute("name", "Verstärker \"A\""); },
            "<R name=\"Verstärker &quot;A&quot;\"/>" },
        { "integer", [](XML::ELEMENT& e) { e.setinteger("n", -3); }, "<R n=\"-3\"/>" },
        { "dword", [](XML::ELEMENT& e) { e.setdword("d", 0xFFFFFFFFul); }, "<R d=\"ffffffff\"/>" },
        { "small dword", [](XML::ELEMENT& e) { e.setdword("d", 0xABul); }, "<R d=\"000000ab\"/>" },
        { "double", [](XML::ELEMENT& e) { e.setdouble("v", 2.5e-9, 'g', 6); }, "<R v=\"2.5e-09\"/>" },
        { "fixed double", [](XML::ELEMENT& e) { e.setdouble("v", 3.14159, 'f', 2); }, "<R v=\"3.14\"/>" },
        { "float", [](XML::ELEMENT& e) { e.setfloat("v", 0.5f, 'f', 3); }, "<R v=\"0.500\"/>" },
        { "dimension", [](XML::ELEMENT& e) { e.setdimension("w", 100000); }, "<R w=\"1mm\"/>" },
        { "point", [](XML::ELEMENT& e) { e.setpoint("P", POINT(-5, 7)); }, "<R><P x=\"-5\" y=\"7\"/></R>" },
        { "box", [](XML::ELEMENT& e) { e.setbox("B", BOX(1, 2, 3, 4)); },
            "<R><B x1=\"1\" x2=\"3\" y1=\"2\" y2=\"4\"/></R>" },
        { "property", [](XML::ELEMENT& e) { e.setproperty("T", "a < b"); }, "<R><T>a &lt; b</T></R>" },
        { "empty property", [](XML::ELEMENT& e) { e.setproperty("T", QString("")); }, "<R><T/></R>" },
        { "blank property", [](XML::ELEMENT& e) { e.setproperty("T", "  "); },
            "<R><T><![CDATA[  ]]></T></R>" },
        { "binary", [](XML::ELEMENT& e) { e.setbinary("D", QByteArray("\x00\x1f\xAB", 3)); },
            "<R><D>001fab</D></R>" },
        { "string list", [&](XML::ELEMENT& e) { e.setstringlist("L", strings); },
            "<R><L><STRING>one</STRING><STRING/></L></R>" },
        { "empty string list", [](XML::ELEMENT& e) { e.setstringlist("L", QStringList()); }, "<R><L/></R>" },
        { "property list", [&](XML::ELEMENT& e) { e.setproplist("M", props); },
            "<R><M><ITEM name=\"A\">1 &amp; &lt;2></ITEM><ITEM name=\"b\">2</ITEM></M></R>" },
    };
    for (const CASE& c : cases) {
        XML::DOCUMENT document("R");
        XML::ELEMENT root(document.documentElement());
        c.set(root);
        EXPECT_EQ(roottext(document), c.text) << c.what;
        c.set(root);
        EXPECT_EQ(roottext(document), c.text) << c.what << ", set twice";
    }
}

TEST(XmlElement, ReadsBackWhatItStoredAfterAFileRoundTrip)
{
    XML::DOCUMENT document("R");
    XML::ELEMENT root(document.documentElement());
    root.setattribute("name", "Verstärker");
    root.setinteger("n", -3);
    root.setdword("d", 0xFFFFFFFFul);
    root.setdouble("v", 0.1, 'g', 17);
    root.setfloat("f", 1.25f, 'g', 6);
    root.setdimension("w", 2540);
    root.setpoint("P", POINT(-5, 7));
    root.setbox("B", BOX(30, 40, 10, 20));
    root.setproperty("T", "  ");
    root.setbinary("D", QByteArray("\x00\xff", 2));
    root.setstringlist("L", QStringList { "one", " two ", "  " });
    root.setproplist("M", QMap<QString, QString> { { "k", "v" }, { "blank", " " } });

    XML::DOCUMENT copy("X");
    XML::ELEMENT back = reloaded(document, copy);
    EXPECT_STREQ(back.getattribute("name", nullptr), "Verstärker");
    EXPECT_EQ(back.getinteger("n", 0), -3);
    EXPECT_EQ(back.getdword("d", 0), 0xFFFFFFFFul);
    EXPECT_EQ(back.getdouble("v", 0), 0.1);
    EXPECT_EQ(back.getfloat("f", 0), 1.25f);
    EXPECT_EQ(back.getdimension("w", 0), 2540);
    POINT point;
    EXPECT_EQ(back.getpoint("P", point), 1);
    EXPECT_EQ(point, POINT(-5, 7));
    BOX box;
    EXPECT_EQ(back.getbox("B", box), 1);
    EXPECT_EQ(box, BOX(10, 20, 30, 40)) << "a box read back is normalised";
    EXPECT_STREQ(back.getproperty("T"), "  ");
    QByteArray bytes;
    EXPECT_EQ(back.getbinary("D", bytes), 1);
    EXPECT_EQ(bytes, QByteArray("\x00\xff", 2));
    QStringList list { "kept" };
    EXPECT_EQ(back.getstringlist("L", list), 1);
    EXPECT_EQ(list, (QStringList { "kept", "one", " two ", "  " }));
    QMap<QString, QString> map { { "k", "old" }, { "other", "x" } };
    EXPECT_EQ(back.getproplist("M", map), 1);
    EXPECT_EQ(map, (QMap<QString, QString> { { "k", "v" }, { "blank", " " }, { "other", "x" } }));
}

TEST(XmlElement, AbsentValuesGiveTheDefaultOrLeaveTheValue)
{
    XML::DOCUMENT document("R");
    XML::ELEMENT root(document.documentElement());
    EXPECT_STREQ(root.getattribute("a", "def"), "def");
    EXPECT_EQ(root.getinteger("a", 7), 7);
    EXPECT_EQ(root.getdword("a", 0x1234ul), 0x1234ul);
    EXPECT_EQ(root.getdouble("a", 1.5), 1.5);
    EXPECT_EQ(root.getfloat("a", 2.5f), 2.5f);
    EXPECT_EQ(root.getdimension("a", 99), 99);
    POINT point(1, 2);
    EXPECT_EQ(root.getpoint("P", point), 0);
    EXPECT_EQ(point, POINT(1, 2));
    BOX box(1, 2, 3, 4);
    EXPECT_EQ(root.getbox("B", box), 0);
    EXPECT_EQ(box, BOX(1, 2, 3, 4));
    EXPECT_EQ(root.getproperty("T"), nullptr);
    QByteArray bytes("x");
    EXPECT_EQ(root.getbinary("D", bytes), 0);
    EXPECT_TRUE(bytes.isEmpty());
    QStringList list;
    EXPECT_EQ(root.getstringlist("L", list), 0);
    QMap<QString, QString> map;
    EXPECT_EQ(root.getproplist("M", map), 0);

    // Text that does not parse as the number asked for gives 0.
    root.setattribute("a", "twelve");
    EXPECT_EQ(root.getinteger("a", 7), 0);
    EXPECT_EQ(root.getdword("a", 7), 0ul);
    EXPECT_EQ(root.getdouble("a", 7), 0.0);
    root.setattribute("a", "100000000");
    EXPECT_EQ(root.getdword("a", 7), 0ul) << "more than 32 bits";
    // A missing coordinate reads 0.
    root.appendchild("Q");
    EXPECT_EQ(root.getpoint("Q", point), 1);
    EXPECT_EQ(point, POINT(0, 0));
}

TEST(XmlElement, AnEmptyPropertyIsAnElementWithoutText)
{
    XML::DOCUMENT document("R");
    XML::ELEMENT root(document.documentElement());
    root.setproperty("T", QString(""));
    QString value = "untouched";
    EXPECT_EQ(root.getproperty("T", value), 0);
    EXPECT_EQ(value, QStringLiteral("untouched"));
    EXPECT_FALSE(root.getchild("T", 0).isNull());
    root.setproperty("T", QString());
    EXPECT_TRUE(root.getchild("T", 0).isNull());

    root.setstringlist("L", QStringList());
    QStringList list;
    EXPECT_EQ(root.getstringlist("L", list), 1);
    EXPECT_TRUE(list.isEmpty());
}

TEST(XmlElement, CachedTextsFollowTheDocument)
{
    XML::DOCUMENT document("R");
    XML::ELEMENT root(document.documentElement());
    root.setproperty("T", "first");
    const char* first = root.getproperty("T");
    EXPECT_STREQ(first, "first");
    root.setproperty("T", QString("second"));
    EXPECT_STREQ(root.getproperty("T"), "second");
    XML::ELEMENT other(document.documentElement());
    other.setproperty("T", "third");
    EXPECT_STREQ(root.getproperty("T"), "third");
    root.setproperty("T", static_cast<const char*>(nullptr));
    EXPECT_EQ(root.getproperty("T"), nullptr);

    // Assigning another element forgets both caches; copying keeps them.
    root.setattribute("a", "x");
    const char* cached = root.getattribute("a", nullptr);
    XML::ELEMENT copy(root);
    EXPECT_STREQ(copy.getattribute("a", nullptr), "x");
    EXPECT_STREQ(cached, "x");
    root = document.createElement("S");
    EXPECT_STREQ(root.getattribute("a", "absent"), "absent");
}

TEST(XmlElement, AttributesAsAListReplaceOrMerge)
{
    XML::DOCUMENT document("R");
    XML::ELEMENT root(document.documentElement());
    root.setattribute("x", "1");
    root.setattribute("y", "2");
    root.setattribute("z", "3");
    PROPLIST list(0, 1);
    list.add("a", "4");
    root.setattributes(list, 1);
    PROPLIST all(0, 1);
    root.getattributes(all);
    EXPECT_EQ(all.count, 4);
    root.setattributes(list, 0);
    PROPLIST after(0, 1);
    after.add("kept", "k");
    root.getattributes(after);
    EXPECT_EQ(after.count, 2);
    EXPECT_STREQ(after["a"], "4");
    EXPECT_STREQ(after["kept"], "k");
    EXPECT_FALSE(root.hasAttribute("x"));
    root.setattribute("a", nullptr);
    EXPECT_FALSE(root.hasAttribute("a"));
}

TEST(XmlElement, ListsFillTheCoreContainersWithCopies)
{
    XML::DOCUMENT document("R");
    XML::ELEMENT root(document.documentElement());
    root.setstringlist("L", QStringList { "α", "b" });
    root.setproplist("M", QMap<QString, QString> { { "R10", "10k" }, { "R2", "2k" } });

    DPA texts;
    EXPECT_EQ(root.getstringlist("L", texts), 1);
    ASSERT_EQ(texts.count, 2);
    EXPECT_STREQ(static_cast<char*>(texts.items[0]), "α");
    texts.zap();
    STRINGLIST strings;
    strings.add("first");
    EXPECT_EQ(root.getstringlist("L", strings), 1);
    EXPECT_EQ(strings.count, 3);
    EXPECT_STREQ(strings[2], "b");
    PROPLIST props(0, 1);
    EXPECT_EQ(root.getproplist("M", props), 1);
    EXPECT_STREQ(props["R10"], "10k");
    EXPECT_STREQ(props["r2"], "2k");
}

TEST(XmlElement, ChildrenAreFoundMadeRemovedAndImported)
{
    XML::DOCUMENT document("R");
    XML::ELEMENT root(document.documentElement());
    EXPECT_TRUE(root.getchild("C", 0).isNull());
    QDomElement made = root.getchild("C", 1);
    EXPECT_EQ(root.getchild("C", 1), made);
    root.removechild("C");
    EXPECT_TRUE(root.getchild("C", 0).isNull());

    XML::DOCUMENT other("O");
    XML::ELEMENT source(XML::ELEMENT(other.documentElement()).appendchild("WINDOW"));
    source.setinteger("type", 3);
    QDomElement copy = root.importchild(other.documentElement(), "WINDOW");
    EXPECT_EQ(copy.ownerDocument(), document);
    EXPECT_EQ(copy.attribute("type"), QStringLiteral("3"));
    EXPECT_EQ(copy.parentNode(), root);
    EXPECT_TRUE(root.importchild(QDomElement()).isNull());
    EXPECT_TRUE(root.importchild(other.documentElement(), "MISSING").isNull());
    EXPECT_EQ(root.childNodes().count(), 1);
}
