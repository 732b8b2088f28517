// Loads arbitrary bytes as an XML document and reads its root through the element's typed
// getters; a document that loaded must save and load back to the same text, blanks aside. Qt's
// writer does not round-trip processing instructions other than the declaration (it adds line
// breaks next to them inside text, and writes targets its parser refuses), which the system never
// writes: documents holding one are only read. Seeds: fuzz/corpus
// (a workspace, deep nesting, a huge attribute, one that never ends, nested entities, blanks).
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "core/containers/proplist.h"
#include "core/files/ramfile.h"
#include "framework/xml/xmldocument.h"
#include "framework/xml/xmlelement.h"
#include "platform/ombrel/box.h"
#include "platform/ombrel/point.h"

namespace {

std::string withoutblanks(const RAMFILE& file)
{
    std::string text;
    for (int i = 0; i < file.length; ++i)
        if (!std::isspace(file.buffer[i]))
            text += static_cast<char>(file.buffer[i]);
    return text;
}

// Whether a processing instruction other than the declaration stands below node.
bool holdsinstruction(const QDomNode& node)
{
    for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling())
        if ((child.isProcessingInstruction() && child.nodeName() != QStringLiteral("xml"))
            || holdsinstruction(child))
            return true;
    return false;
}

} // namespace

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
    if (holdsinstruction(document))
        return 0;
    saved.rewind();
    XML::DOCUMENT back("ROOT");
    RAMFILE again;
    if (!back.load(saved, nullptr) || !back.save(again) || withoutblanks(again) != withoutblanks(saved))
        __builtin_trap();
    return 0;
}
