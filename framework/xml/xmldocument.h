#pragma once

// An XML document as the framework stores it: the workspace file, the project's description in
// the project file, and the settings that modules and windows write. A thin layer over Qt's DOM
// that reads and writes whole files or archive entries as UTF-8. Documents nested deeper than
// MAXDEPTH elements are refused as malformed, since the DOM walks its trees recursively, and texts
// longer than MAXSIZE bytes are refused before they are parsed, since the DOM takes some 70 bytes
// of memory for each byte read: no document the framework keeps comes near the bound.

#include <QDomDocument>

#include <iosfwd>

class APPLNARCHIVE;
class QString;
class VFILE;

namespace XML {

class DOCUMENT : public QDomDocument {
public:
    static constexpr int MAXDEPTH = 256;
    static constexpr qsizetype MAXSIZE = qsizetype { 1 } << 20;

    // A document holding only the empty root element roottag, under the XML declaration
    // "<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>".
    explicit DOCUMENT(const char* roottag);
    DOCUMENT(const QDomDocument& other);
    DOCUMENT& operator=(const QDomDocument& other);

    // Back to an empty root element of the current root's tag.
    void zap();
    // Reads the whole file and parses it: 1, or 0 for text that does not parse, which leaves an
    // empty root of the old tag and writes "Error: <message>" and "Line <l>, column <c>." as two
    // lines to errors when it is not null. A text longer than MAXSIZE is not parsed: 0 with the
    // one line "Error: <message>".
    int load(VFILE& file, std::ostream* errors);
    // Loads the archive's entry; a missing entry leaves an empty root and gives 0.
    int load(APPLNARCHIVE& archive, const char* dir, const char* name);
    // Writes the document as UTF-8 indented by one space per level: 1, or 0 when the file did
    // not take every byte (its error flag, 0x80, is then set).
    int save(VFILE& file);
    // Replaces the archive's entry by the document: 1, or 0 when it could not be written whole.
    int save(APPLNARCHIVE& archive, const char* dir, const char* name);
    // A deep copy of the root element of the fragment (a document of its own), owned by this
    // document and not yet inserted; a null element when the fragment does not parse.
    QDomElement import(const QString& fragment);

private:
    void reset(const QString& tag);

    QString roottag;
};

// Parses text into document (its old contents go either way) with the depth bound of DOCUMENT;
// false with the parser's message and the place of the fault.
bool parsedocument(QDomDocument& document, const QByteArray& text, QString* message, int* line, int* column);

} // namespace XML
