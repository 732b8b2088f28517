#pragma once

// An element of an XML document with one fixed text form for every kind of value the system
// stores: attributes for numbers and strings, child elements for points, boxes, properties,
// binary data and lists. Names are ASCII; strings are UTF-8 at this interface.
//
// Text forms: an integer in decimal; a dword as exactly eight lower-case hexadecimal digits; a
// double or float as Qt writes it for the format and precision given; a dimension as the core's
// length text (fmtdim, read back with getdefdim), so it keeps the precision it is shown with; a
// point as a child with "x" and "y", a box as a child with "x1", "y1", "x2", "y2"; a property as
// a child holding one text node; binary data as a property of two lower-case hexadecimal digits
// per byte; a string list as a child holding one "STRING" element per item; a property list as a
// child holding one "ITEM" per entry, with the key in "name" and the value as text, in key order.
// Each setter of a child form first removes the first child of that name, so a value is stored
// once. A text of blanks alone is kept as character data, which a parser does not drop.
//
// Strings returned as const char* are cached in the element object: each stays valid while the
// object lives and until the same name is fetched or set again. Getters never fail: an absent
// value gives the caller's default, leaves the value untouched, or gives 0.

#include <QDomElement>
#include <QMap>
#include <QStringList>

#include "core/containers/proplist.h"

class DPA;
class STRINGLIST;
struct BOX;
struct POINT;

namespace XML {

class ELEMENT : public QDomElement {
public:
    ELEMENT();
    ELEMENT(const QDomElement& element);
    ELEMENT(const ELEMENT& other);
    ~ELEMENT();
    ELEMENT& operator=(const ELEMENT& other);
    // Clears both caches.
    ELEMENT& operator=(const QDomElement& element);

    // A new child element tag, appended.
    QDomElement appendchild(const char* tag);
    // The first child element tag; when there is none, a new one appended with create, else null.
    QDomElement getchild(const char* tag, int create);
    void removechild(const char* tag);
    // Appends a deep copy of source (of any document) and returns it; nothing for a null source.
    QDomElement importchild(const QDomElement& source);
    // importchild of the first child element tag of parent.
    QDomElement importchild(const QDomElement& parent, const char* tag);

    const char* getattribute(const char* name, const char* def);
    // A null value removes the attribute.
    void setattribute(const char* name, const char* value);
    // Adds every attribute to list, which is not cleared first.
    void getattributes(PROPLIST& list);
    // Without merge, removes every attribute first; then one attribute per entry of list.
    void setattributes(PROPLIST& list, int merge);

    // The default when the attribute is absent, else its text parsed (0 when it does not parse;
    // a dimension as getdefdim reads it).
    int getinteger(const char* name, int def);
    unsigned long getdword(const char* name, unsigned long def);
    double getdouble(const char* name, double def);
    float getfloat(const char* name, float def);
    int getdimension(const char* name, int def);
    void setinteger(const char* name, int value);
    void setdword(const char* name, unsigned long value);
    void setdouble(const char* name, double value, char format, int precision);
    void setfloat(const char* name, float value, char format, int precision);
    void setdimension(const char* name, int value);

    // 1 with the value read (a missing coordinate reads 0; a box normalised), or 0 with it
    // untouched when the child is absent.
    int getpoint(const char* name, POINT& point);
    int getbox(const char* name, BOX& box);
    void setpoint(const char* name, const POINT& point);
    void setbox(const char* name, const BOX& box);

    // 1 when the child exists and holds a node, whose value goes to value; else 0.
    int getproperty(const char* name, QString& value);
    // The property's text, cached; null when absent.
    const char* getproperty(const char* name);
    // Replaces the child; a null string only removes it, an empty one leaves an empty element.
    void setproperty(const char* name, const QString& value);
    // Replaces the child and caches the text; null removes both.
    void setproperty(const char* name, const char* value);
    // The bytes of the hexadecimal property: 1, or 0 with bytes cleared when it is absent.
    int getbinary(const char* name, QByteArray& bytes);
    void setbinary(const char* name, const QByteArray& bytes);

    // 0 when the child is absent; else appends the text of every item to list (not cleared
    // first) and gives 1. The DPA form appends heap copies (freed by DPA's destroy); a STRINGLIST
    // keeps copies of its own.
    int getstringlist(const char* name, QStringList& list);
    int getstringlist(const char* name, DPA& list);
    int getstringlist(const char* name, STRINGLIST& list);
    // Replaces the child, also by an empty one for an empty list; the DPA holds texts.
    void setstringlist(const char* name, const QStringList& list);
    void setstringlist(const char* name, const DPA& list);
    // 0 when the child is absent; else sets an entry for every "ITEM" with a "name" (overwriting
    // keys present, keeping the others) and gives 1.
    int getproplist(const char* name, QMap<QString, QString>& map);
    int getproplist(const char* name, PROPLIST& list);
    void setproplist(const char* name, const QMap<QString, QString>& map);
    void setproplist(const char* name, const PROPLIST& list);

private:
    void setnumber(const char* name, const QString& text);
    QDomElement replacechild(const char* name);
    void appendtext(QDomElement& element, const QString& text);

    PROPLIST attrcache;
    PROPLIST propcache;
};

} // namespace XML
