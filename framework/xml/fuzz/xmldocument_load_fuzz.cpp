// Loads arbitrary bytes as an XML document and reads its root through the element's typed
// getters; a document that loaded must save and load back to the same text.
#include <cstddef>
#include <cstdint>
#include <sstream>

#include "core/containers/proplist.h"
#include "core/files/ramfile.h"
#include "framework/xml/xmldocument.h"
#include "framework/xml/xmlelement.h"
#include "platform/ombrel/box.h"
#include "platform/ombrel/point.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    RAMFILE input(const_cast<uint8_t*>(data), static_cast<int>(size));
    XML::DOCUMENT document("ROOT");
    std::ostringstream errors;
    if (!document.load(input, &errors))
        return 0;

    XML::ELEMENT root(document.documentElement());
    for (QDomElement child = root.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        const QByteArray tag = child.tagName().toLatin1();
        POINT point;
        BOX box;
        QStringList list;
        QMap<QString, QString> map;
        QByteArray bytes;
        root.getpoint(tag.constData(), point);
        root.getbox(tag.constData(), box);
        root.getproperty(tag.constData());
        root.getbinary(tag.constData(), bytes);
        root.getstringlist(tag.constData(), list);
        root.getproplist(tag.constData(), map);
    }
    PROPLIST attributes(0, 1);
    root.getattributes(attributes);

    RAMFILE saved;
    if (!document.save(saved))
        __builtin_trap();
    saved.rewind();
    XML::DOCUMENT back("ROOT");
    RAMFILE again;
    if (!back.load(saved, nullptr) || !back.save(again) || again.length != saved.length
        || memcmp(again.buffer, saved.buffer, static_cast<size_t>(saved.length)) != 0)
        __builtin_trap();
    return 0;
}
