#include "framework/xml/xmldocument.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

#include <ostream>

#include "core/files/vfile.h"
#include "framework/documents/applnarchive.h"

namespace {

constexpr int readChunk = 4096;
constexpr unsigned errorFlag = 0x80;
const char* const declaration = "<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>";

// The place of the first element nested deeper than the bound, or false when there is none
// before the text ends or stops parsing.
bool nestedtoodeep(const QByteArray& text, int* line, int* column)
{
    QXmlStreamReader reader(text);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > XML::DOCUMENT::MAXDEPTH) {
            *line = static_cast<int>(reader.lineNumber());
            *column = static_cast<int>(reader.columnNumber());
            return true;
        }
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    return false;
}

// Makes the declaration of a document read from another encoding name the UTF-8 it is written in.
void declareutf8(QDomDocument& document)
{
    QDomProcessingInstruction declaration = document.firstChild().toProcessingInstruction();
    if (declaration.isNull() || declaration.target() != QStringLiteral("xml"))
        return;
    static const QRegularExpression encoding(QStringLiteral(R"(encoding\s*=\s*(['"])[^'"]*\1)"));
    QString data = declaration.data();
    data.replace(encoding, QStringLiteral("encoding='UTF-8'"));
    if (data != declaration.data())
        declaration.setData(data);
}

} // namespace

namespace XML {

bool parsedocument(QDomDocument& document, const QByteArray& text, QString* message, int* line, int* column)
{
    int deepline = 0, deepcolumn = 0;
    if (nestedtoodeep(text, &deepline, &deepcolumn)) {
        document.clear();
        if (message)
            *message = QStringLiteral("Elements are nested deeper than %1 levels.").arg(DOCUMENT::MAXDEPTH);
        if (line)
            *line = deepline;
        if (column)
            *column = deepcolumn;
        return false;
    }
    return document.setContent(text, message, line, column);
}

DOCUMENT::DOCUMENT(const char* roottag)
{
    reset(QString::fromLatin1(roottag ? roottag : ""));
}

DOCUMENT::DOCUMENT(const QDomDocument& other)
    : QDomDocument(other)
    , roottag(other.documentElement().tagName())
{
}

DOCUMENT& DOCUMENT::operator=(const QDomDocument& other)
{
    QDomDocument::operator=(other);
    roottag = other.documentElement().tagName();
    return *this;
}

void DOCUMENT::reset(const QString& tag)
{
    roottag = tag;
    setContent(QString::fromLatin1(declaration) + QStringLiteral("<%1></%1>").arg(tag));
}

void DOCUMENT::zap()
{
    const QDomElement root = documentElement();
    reset(root.isNull() ? roottag : root.tagName());
}

int DOCUMENT::load(VFILE& file, std::ostream* errors)
{
    QByteArray text;
    char chunk[readChunk];
    int n;
    do {
        n = file.read(chunk, readChunk);
        if (n > 0)
            text.append(chunk, n);
    } while (n == readChunk && text.size() <= MAXSIZE);
    const QDomElement root = documentElement();
    const QString tag = root.isNull() ? roottag : root.tagName();
    if (text.size() > MAXSIZE) {
        if (errors)
            *errors << "Error: The document is longer than " << MAXSIZE << " bytes." << '\n';
        reset(tag);
        return 0;
    }
    QString message;
    int line = 0, column = 0;
    if (parsedocument(*this, text, &message, &line, &column)) {
        roottag = documentElement().tagName();
        return 1;
    }
    if (errors)
        *errors << "Error: " << message.toLocal8Bit().constData() << '\n'
                << "Line " << line << ", column " << column << "." << '\n';
    reset(tag);
    return 0;
}

int DOCUMENT::load(APPLNARCHIVE& archive, const char* dir, const char* name)
{
    if (!archive.exists(dir, name)) {
        zap();
        return 0;
    }
    VFILE& file = archive.openfile(dir, name);
    const int result = load(file, nullptr);
    archive.closefile(file, 0);
    return result;
}

int DOCUMENT::save(VFILE& file)
{
    declareutf8(*this);
    const QByteArray text = toByteArray(1);
    if (file.write(text.constData(), static_cast<int>(text.size())) == text.size())
        return 1;
    file.setflags(file.flags | errorFlag);
    return 0;
}

int DOCUMENT::save(APPLNARCHIVE& archive, const char* dir, const char* name)
{
    // A fresh entry: writing over a longer old text would leave its tail behind.
    archive.deletefile(dir, name);
    VFILE& file = archive.openfile(dir, name);
    const int written = save(file);
    return archive.closefile(file, 0) && written;
}

QDomElement DOCUMENT::import(const QString& fragment)
{
    QDomDocument parsed;
    if (!parsedocument(
            parsed, (QString::fromLatin1(declaration) + fragment).toUtf8(), nullptr, nullptr, nullptr))
        return {};
    return importNode(parsed.documentElement(), true).toElement();
}

} // namespace XML
