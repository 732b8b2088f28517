// The project's properties, scripts, assembly variants and boards as the modules ask for them.

#include <QStringList>
#include <cstring>
#include <strings.h>

#include "core/text/strutil.h"
#include "platform/hulvane/cdbcore.h"
#include "platform/ombrel/stringlist.h"
#include "shell/project/vktproject.h"

namespace {

constexpr int mostvariants = 26; // one letter each, 'A' to 'Z'

bool isvariantletter(char c)
{
    return c >= 'A' && c <= 'Z';
}

} // namespace

int VKTPROJECT::getproperty(const char* name, QString& value)
{
    const char* text = getproperty(name);
    value = text ? QString::fromUtf8(text) : QString();
    return text ? 1 : 0;
}

const char* VKTPROJECT::getproperty(const char* name)
{
    if (strcasecmp(name, "PATHNAME") == 0)
        return pathname();
    if (strcasecmp(name, "FILENAME") == 0)
        return filename();
    return root.getattribute(name, nullptr);
}

void VKTPROJECT::setproperty(const char* name, const QString& value)
{
    const QByteArray text = value.toUtf8();
    setproperty(name, value.isEmpty() ? nullptr : text.constData());
}

void VKTPROJECT::setproperty(const char* name, const char* text)
{
    root.setattribute(name, text);
    setdirty(1);
}

int VKTPROJECT::getscript(const char* name, QString& value)
{
    const char* text = getscript(name);
    value = text ? QString::fromUtf8(text) : QString();
    return text ? 1 : 0;
}

const char* VKTPROJECT::getscript(const char* name)
{
    return scripts[name];
}

void VKTPROJECT::setscript(const char* name, const QString& value)
{
    const QByteArray text = value.toUtf8();
    setscript(name, text.constData());
    setdirty(1);
}

void VKTPROJECT::setscript(const char* name, const char* text)
{
    scripts.add(name, text && *text ? text : nullptr);
}

int VKTPROJECT::issample()
{
    return getscript("REQUIRES.DAT") != nullptr;
}

XML::ELEMENT VKTPROJECT::variants()
{
    return root.getchild("VARIANTS", 1);
}

char VKTPROJECT::currentvariant()
{
    XML::ELEMENT element = variants();
    const char* active = element.getattribute("ACTIVE", "");
    return std::strlen(active) == 1 && isvariantletter(*active) ? *active : 'b';
}

int VKTPROJECT::hasvariants()
{
    QStringList names;
    getvariants(names);
    return names.size() > 1;
}

void VKTPROJECT::getvariants(QStringList& names)
{
    names = QStringList { tr("Base Design") };
    variants().getstringlist("NAMES", names);
}

void VKTPROJECT::getvariants(STRINGLIST& names)
{
    QStringList list;
    getvariants(list);
    for (const QString& name : list)
        names.add(name.toLocal8Bit().constData());
}

void VKTPROJECT::selectvariant(char letter)
{
    const char variant = isvariantletter(letter) ? letter : 'b';
    if (variant == currentvariant())
        return;
    const char text[2] = { variant, '\0' };
    variants().setattribute("ACTIVE", text);
    cdb->selectvariant(variant);
    // The switch itself announces nothing; the next edit of the design or layout names it.
    lastvariant = variant;
    setdirty(1);
    lastvariant = 'b';
}

void VKTPROJECT::setvariants(const QStringList& names)
{
    QStringList unique;
    for (const QString& name : names)
        if (!unique.contains(name) && unique.size() < mostvariants)
            unique.append(name);
    variants().setstringlist("NAMES", unique);
    if (isvariantletter(currentvariant()) && currentvariant() - 'A' >= unique.size())
        variants().setattribute("ACTIVE", "b");
    cdb->selectvariant(currentvariant());
    setdirty(1);
}

void VKTPROJECT::namelegacyvariants()
{
    setvariants({ tr("Exc. from BOM") });
    selectvariant('A');
}

unsigned long VKTPROJECT::currentboard()
{
    const BOARD* board = cdb->currentboard();
    return board ? board->id : 0;
}

int VKTPROJECT::ismultiboard()
{
    return cdb->numboards() > 1;
}

int VKTPROJECT::selectboard(unsigned long id)
{
    return layoutserver && id && id == boardid ? 1 : 0;
}
