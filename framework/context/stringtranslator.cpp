#include "framework/context/stringtranslator.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>
#include <cstdlib>
#include <cstring>

#include "platform/win/menu.h"

namespace {

constexpr int menutextbuffer = 517;

// Entries as the file holds them. A program without version information writes "<unknown>",
// which is read back too, so that its records survive the next run.
const QRegularExpression& entrypattern()
{
    static const QRegularExpression pattern(
        R"re(^\s*QT_TRANSLATE_NOOP3\("(.*)",\s*"(.*)",\s*"(.*)"\)\s*//Updated on:\s(.*),\s*Version:\s(\d+\.\d+\.\d+\.\d+|<unknown>)\s*$)re");
    return pattern;
}

char* heapcopy(const QByteArray& text)
{
    auto* copy = static_cast<char*>(malloc(static_cast<size_t>(text.size()) + 1));
    if (!copy)
        return nullptr;
    memcpy(copy, text.constData(), static_cast<size_t>(text.size()));
    copy[text.size()] = '\0';
    return copy;
}

} // namespace

std::string STRINGTRANSLATOR::escape(const char* text)
{
    std::string escaped;
    for (const char* c = text ? text : ""; *c; ++c) {
        switch (*c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '"':
            escaped += "\\\"";
            break;
        default:
            escaped += *c;
        }
    }
    return escaped;
}

char* STRINGTRANSLATOR::translate(const char* text, const char* context)
{
    return translate(text, context, "");
}

char* STRINGTRANSLATOR::translate(const char* text, const char* context, const char* comment)
{
    if (!text)
        return nullptr;
    QByteArray contextkey = QString::fromLocal8Bit(context ? context : "").toUtf8();
    QByteArray source = QString::fromLocal8Bit(text).toUtf8();
    QString translation = QCoreApplication::translate(contextkey.constData(), source.constData());
    if (translation != QString::fromUtf8(source))
        return heapcopy(translation.toLocal8Bit());
    if (collecting) {
        QString now = QDateTime::currentDateTime().toString(Qt::ISODate);
        recorded[{ escape(context), escape(text) }] = { version, now.toStdString(), escape(comment) };
    }
    return nullptr;
}

void STRINGTRANSLATOR::translatemenu(HMENU menu, const char* context)
{
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        char text[menutextbuffer] = {};
        MENUITEMINFOA item {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        item.dwTypeData = text;
        item.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &item))
            continue;
        if (!(item.fType & (MFT_SEPARATOR | MFT_BITMAP)) && text[0]) {
            if (char* translation = translate(text, context)) {
                MENUITEMINFOA change {};
                change.cbSize = sizeof change;
                change.fMask = MIIM_STRING;
                change.dwTypeData = translation;
                SetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &change);
                free(translation);
            }
        }
        if (item.hSubMenu)
            translatemenu(item.hSubMenu, context);
    }
}

const char* STRINGTRANSLATOR::degreesign() const
{
    static const QByteArray sign = QString(QChar(0x00B0)).toLocal8Bit();
    return sign.constData();
}

int STRINGTRANSLATOR::update(const char* path, const char* programversion)
{
    stringsfile = path ? path : "";
    version = programversion ? programversion : "";
    collecting = 1;
    QFile file(QString::fromLocal8Bit(stringsfile.c_str()));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return 1;
    QTextStream in(&file);
    while (!in.atEnd()) {
        QRegularExpressionMatch entry = entrypattern().match(in.readLine().trimmed());
        if (!entry.hasMatch())
            continue;
        recorded[{ entry.captured(1).toStdString(), entry.captured(2).toStdString() }]
            = { entry.captured(5).toStdString(), entry.captured(4).toStdString(),
                  entry.captured(3).toStdString() };
    }
    return 1;
}

bool STRINGTRANSLATOR::write() const
{
    QSaveFile file(QString::fromLocal8Bit(stringsfile.c_str()));
    if (stringsfile.empty() || !file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "//Strings For translation" << Qt::endl;
    for (const auto& [key, record] : recorded) {
        out << "QT_TRANSLATE_NOOP3(\"" << QString::fromStdString(key.first) << "\", \""
            << QString::fromStdString(key.second) << "\", \"" << QString::fromStdString(record.comment)
            << "\")"
            << QString(" //Updated on: %1, Version: %2")
                   .arg(QString::fromStdString(record.date), QString::fromStdString(record.version))
            << Qt::endl;
    }
    return file.commit();
}
