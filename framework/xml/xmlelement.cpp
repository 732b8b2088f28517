#include "framework/xml/xmlelement.h"

#include <cstdlib>
#include <cstring>

#include "core/containers/dpa.h"
#include "core/text/dims.h"
#include "core/text/format.h"
#include "platform/ombrel/box.h"
#include "platform/ombrel/point.h"
#include "platform/ombrel/stringlist.h"

namespace {

const QString stringTag = QStringLiteral("STRING");
const QString itemTag = QStringLiteral("ITEM");
const QString nameAttribute = QStringLiteral("name");

QString fromlocal(const char* value)
{
    return QString::fromLocal8Bit(value ? value : "");
}

// The value of the first child node, as getproperty and the lists read it.
QString firstchildtext(const QDomNode& node)
{
    return node.firstChild().nodeValue();
}

// The name and value of the property list's item at index (the item is "name\0value\0").
const char* itemname(const PROPLIST& list, int index)
{
    return static_cast<const char*>(list.items[index]);
}

const char* itemvalue(const PROPLIST& list, int index)
{
    const char* name = itemname(list, index);
    return name + std::strlen(name) + 1;
}

} // namespace

namespace XML {

ELEMENT::ELEMENT()
    : attrcache(0, 1)
    , propcache(0, 1)
{
}

ELEMENT::ELEMENT(const QDomElement& element)
    : QDomElement(element)
    , attrcache(0, 1)
    , propcache(0, 1)
{
}

ELEMENT::ELEMENT(const ELEMENT& other) = default;

ELEMENT::~ELEMENT() = default;

ELEMENT& ELEMENT::operator=(const ELEMENT& other)
{
    QDomElement::operator=(other);
    attrcache = other.attrcache;
    propcache = other.propcache;
    return *this;
}

ELEMENT& ELEMENT::operator=(const QDomElement& element)
{
    QDomElement::operator=(element);
    attrcache.zap();
    propcache.zap();
    return *this;
}

QDomElement ELEMENT::appendchild(const char* tag)
{
    QDomElement child = ownerDocument().createElement(QString::fromLatin1(tag));
    appendChild(child);
    return child;
}

QDomElement ELEMENT::getchild(const char* tag, int create)
{
    QDomElement child = firstChildElement(QString::fromLatin1(tag));
    if (child.isNull() && create)
        child = appendchild(tag);
    return child;
}

void ELEMENT::removechild(const char* tag)
{
    QDomElement child = firstChildElement(QString::fromLatin1(tag));
    if (!child.isNull())
        removeChild(child);
}

QDomElement ELEMENT::importchild(const QDomElement& source)
{
    if (source.isNull())
        return {};
    QDomElement copy = ownerDocument().importNode(source, true).toElement();
    appendChild(copy);
    return copy;
}

QDomElement ELEMENT::importchild(const QDomElement& parent, const char* tag)
{
    return importchild(parent.firstChildElement(QString::fromLatin1(tag)));
}

const char* ELEMENT::getattribute(const char* name, const char* def)
{
    const QString key = QString::fromLatin1(name);
    if (!hasAttribute(key))
        return def;
    attrcache.add(name, attribute(key).toLocal8Bit().constData());
    return attrcache[name];
}

void ELEMENT::setattribute(const char* name, const char* value)
{
    if (value)
        setAttribute(QString::fromLatin1(name), fromlocal(value));
    else
        removeAttribute(QString::fromLatin1(name));
}

void ELEMENT::getattributes(PROPLIST& list)
{
    const QDomNamedNodeMap attributes = this->attributes();
    for (int i = 0; i < attributes.count(); ++i) {
        const QDomAttr attribute = attributes.item(i).toAttr();
        list.add(attribute.name().toLatin1().constData(), attribute.value().toLocal8Bit().constData());
    }
}

void ELEMENT::setattributes(PROPLIST& list, int merge)
{
    if (!merge) {
        const QDomNamedNodeMap attributes = this->attributes();
        QStringList names;
        for (int i = 0; i < attributes.count(); ++i)
            names.append(attributes.item(i).nodeName());
        for (const QString& attribute : names)
            removeAttribute(attribute);
    }
    for (int i = 0; i < list.count; ++i)
        setattribute(itemname(list, i), itemvalue(list, i));
}

int ELEMENT::getinteger(const char* name, int def)
{
    const QString key = QString::fromLatin1(name);
    return hasAttribute(key) ? attribute(key).toInt() : def;
}

unsigned long ELEMENT::getdword(const char* name, unsigned long def)
{
    const QString key = QString::fromLatin1(name);
    return hasAttribute(key) ? attribute(key).toUInt(nullptr, 16) : def;
}

double ELEMENT::getdouble(const char* name, double def)
{
    const QString key = QString::fromLatin1(name);
    return hasAttribute(key) ? attribute(key).toDouble() : def;
}

float ELEMENT::getfloat(const char* name, float def)
{
    const QString key = QString::fromLatin1(name);
    return hasAttribute(key) ? attribute(key).toFloat() : def;
}

int ELEMENT::getdimension(const char* name, int def)
{
    const QString key = QString::fromLatin1(name);
    return hasAttribute(key) ? getdefdim(attribute(key).toLocal8Bit().constData(), def, 1, 1) : def;
}

void ELEMENT::setnumber(const char* name, const QString& number)
{
    setAttribute(QString::fromLatin1(name), number);
}

void ELEMENT::setinteger(const char* name, int value)
{
    setnumber(name, QString::number(value));
}

void ELEMENT::setdword(const char* name, unsigned long value)
{
    setnumber(name, QStringLiteral("%1").arg(static_cast<uint32_t>(value), 8, 16, QLatin1Char('0')));
}

void ELEMENT::setdouble(const char* name, double value, char format, int precision)
{
    setnumber(name, QString::number(value, format, precision));
}

void ELEMENT::setfloat(const char* name, float value, char format, int precision)
{
    setnumber(name, QString::number(value, format, precision));
}

void ELEMENT::setdimension(const char* name, int value)
{
    setnumber(name, QString::fromLatin1(fmtdim(value, nullptr)));
}

int ELEMENT::getpoint(const char* name, POINT& point)
{
    const QDomElement child = firstChildElement(QString::fromLatin1(name));
    if (child.isNull())
        return 0;
    point = POINT(child.attribute(QStringLiteral("x")).toInt(), child.attribute(QStringLiteral("y")).toInt());
    return 1;
}

int ELEMENT::getbox(const char* name, BOX& box)
{
    const QDomElement child = firstChildElement(QString::fromLatin1(name));
    if (child.isNull())
        return 0;
    box = BOX(child.attribute(QStringLiteral("x1")).toInt(), child.attribute(QStringLiteral("y1")).toInt(),
        child.attribute(QStringLiteral("x2")).toInt(), child.attribute(QStringLiteral("y2")).toInt());
    box.normalize();
    return 1;
}

// The child name, made anew after the first old one is removed.
QDomElement ELEMENT::replacechild(const char* name)
{
    removechild(name);
    return appendchild(name);
}

void ELEMENT::setpoint(const char* name, const POINT& point)
{
    QDomElement child = replacechild(name);
    child.setAttribute(QStringLiteral("x"), point.x);
    child.setAttribute(QStringLiteral("y"), point.y);
}

void ELEMENT::setbox(const char* name, const BOX& box)
{
    QDomElement child = replacechild(name);
    child.setAttribute(QStringLiteral("x1"), box.x1);
    child.setAttribute(QStringLiteral("y1"), box.y1);
    child.setAttribute(QStringLiteral("x2"), box.x2);
    child.setAttribute(QStringLiteral("y2"), box.y2);
}

// An empty text adds no node; blanks alone go in as character data, which parsing keeps.
void ELEMENT::appendtext(QDomElement& element, const QString& value)
{
    if (value.isEmpty())
        return;
    QDomDocument document = ownerDocument();
    if (value.trimmed().isEmpty())
        element.appendChild(document.createCDATASection(value));
    else
        element.appendChild(document.createTextNode(value));
}

int ELEMENT::getproperty(const char* name, QString& value)
{
    const QDomElement child = firstChildElement(QString::fromLatin1(name));
    if (child.isNull() || child.firstChild().isNull())
        return 0;
    value = firstchildtext(child);
    return 1;
}

const char* ELEMENT::getproperty(const char* name)
{
    QString value;
    if (!getproperty(name, value)) {
        propcache.add(name, nullptr);
        return nullptr;
    }
    const QByteArray bytes = value.toLocal8Bit();
    const char* cached = propcache[name];
    if (!cached || std::strcmp(cached, bytes.constData()) != 0)
        propcache.add(name, bytes.constData());
    return propcache[name];
}

void ELEMENT::setproperty(const char* name, const QString& value)
{
    propcache.add(name, nullptr);
    removechild(name);
    if (value.isNull())
        return;
    QDomElement child = appendchild(name);
    appendtext(child, value);
}

void ELEMENT::setproperty(const char* name, const char* value)
{
    setproperty(name, value ? fromlocal(value) : QString());
    if (value)
        propcache.add(name, value);
}

int ELEMENT::getbinary(const char* name, QByteArray& bytes)
{
    QString hex;
    if (!getproperty(name, hex)) {
        bytes.clear();
        return 0;
    }
    bytes = QByteArray::fromHex(hex.toLatin1());
    return 1;
}

void ELEMENT::setbinary(const char* name, const QByteArray& bytes)
{
    setproperty(name, QString::fromLatin1(bytes.toHex()));
}

int ELEMENT::getstringlist(const char* name, QStringList& list)
{
    const QDomElement child = firstChildElement(QString::fromLatin1(name));
    if (child.isNull())
        return 0;
    for (QDomNode item = child.firstChild(); !item.isNull(); item = item.nextSibling())
        list.append(firstchildtext(item));
    return 1;
}

int ELEMENT::getstringlist(const char* name, DPA& list)
{
    QStringList texts;
    if (!getstringlist(name, texts))
        return 0;
    for (const QString& item : texts) {
        // The list destroys its items with operator delete.
        const QByteArray text = item.toLocal8Bit();
        auto* copy = static_cast<char*>(::operator new(static_cast<size_t>(text.size()) + 1));
        std::memcpy(copy, text.constData(), static_cast<size_t>(text.size()) + 1);
        list.add(copy);
    }
    return 1;
}

int ELEMENT::getstringlist(const char* name, STRINGLIST& list)
{
    QStringList texts;
    if (!getstringlist(name, texts))
        return 0;
    for (const QString& item : texts)
        list.add(item.toLocal8Bit().constData());
    return 1;
}

void ELEMENT::setstringlist(const char* name, const QStringList& list)
{
    QDomElement child = replacechild(name);
    QDomDocument document = ownerDocument();
    for (const QString& item : list) {
        QDomElement string = document.createElement(stringTag);
        appendtext(string, item);
        child.appendChild(string);
    }
}

void ELEMENT::setstringlist(const char* name, const DPA& list)
{
    QStringList texts;
    for (int i = 0; i < list.count; ++i)
        texts.append(fromlocal(static_cast<const char*>(list.items[i])));
    setstringlist(name, texts);
}

int ELEMENT::getproplist(const char* name, QMap<QString, QString>& map)
{
    const QDomElement child = firstChildElement(QString::fromLatin1(name));
    if (child.isNull())
        return 0;
    for (QDomElement item = child.firstChildElement(itemTag); !item.isNull();
         item = item.nextSiblingElement(itemTag))
        if (item.hasAttribute(nameAttribute))
            map.insert(item.attribute(nameAttribute), firstchildtext(item));
    return 1;
}

int ELEMENT::getproplist(const char* name, PROPLIST& list)
{
    QMap<QString, QString> map;
    if (!getproplist(name, map))
        return 0;
    for (auto entry = map.cbegin(); entry != map.cend(); ++entry)
        list.add(entry.key().toLocal8Bit().constData(), entry.value().toLocal8Bit().constData());
    return 1;
}

void ELEMENT::setproplist(const char* name, const QMap<QString, QString>& map)
{
    QDomElement child = replacechild(name);
    QDomDocument document = ownerDocument();
    for (auto entry = map.cbegin(); entry != map.cend(); ++entry) {
        QDomElement item = document.createElement(itemTag);
        item.setAttribute(nameAttribute, entry.key());
        appendtext(item, entry.value());
        child.appendChild(item);
    }
}

void ELEMENT::setproplist(const char* name, const PROPLIST& list)
{
    QMap<QString, QString> map;
    for (int i = 0; i < list.count; ++i)
        map.insert(fromlocal(itemname(list, i)), fromlocal(itemvalue(list, i)));
    setproplist(name, map);
}

} // namespace XML
