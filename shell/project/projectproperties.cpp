// The project's properties, scripts and assembly variants as the modules ask for them.

#include <QStringList>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "core/text/strutil.h"
#include "platform/hulvane/cdbcore.h"
#include "platform/ombrel/stringlist.h"
#include "platform/tirsk/datetext.h"
#include "shell/project/vktproject.h"

namespace {

constexpr int mostvariants = 26; // one letter each, 'A' to 'Z'
constexpr int longestvariantname = 255;
constexpr unsigned short variantcommand = 593;

bool isvariantletter(char c)
{
    return c >= 'A' && c <= 'Z';
}

enum class STAMP { DATE, LONGDATE, TIME };

// The built-in properties of the time stamps.
const struct {
    const char* name;
    const char* attribute;
    STAMP kind;
} stamps[] = {
    { "CDATE", "CREATED", STAMP::DATE },
    { "WS_CDATE", "CREATED", STAMP::DATE },
    { "WL_CDATE", "CREATED", STAMP::LONGDATE },
    { "MDATE", "MODIFIED", STAMP::DATE },
    { "WS_MDATE", "MODIFIED", STAMP::DATE },
    { "WL_MDATE", "MODIFIED", STAMP::LONGDATE },
    { "CTIME", "CREATED", STAMP::TIME },
    { "MTIME", "MODIFIED", STAMP::TIME },
};

} // namespace

char VKTPROJECT::indextovariant(int index)
{
    return index >= 1 && index <= mostvariants ? static_cast<char>('A' + index - 1) : 'b';
}

int VKTPROJECT::varianttoindex(char variant)
{
    return isvariantletter(variant) ? variant - 'A' + 1 : 0;
}

int VKTPROJECT::getproperty(const char* name, QString& value)
{
    const char* text = getproperty(name);
    value = text ? QString::fromUtf8(text) : QString();
    return text ? 1 : 0;
}

const char* VKTPROJECT::getproperty(const char* name)
{
    for (const auto& stamp : stamps) {
        if (strcasecmp(name, stamp.name) != 0)
            continue;
        XML::ELEMENT timestamp = root.getchild("TIMESTAMP", 0);
        const time_t seconds = timestamp.isNull() ? 0 : std::atoll(timestamp.getattribute(stamp.attribute, "0"));
        const char* text = stamp.kind == STAMP::TIME
            ? fmtwintime(seconds)
            : fmtwindate(seconds, stamp.kind == STAMP::DATE ? DATE_SHORTDATE : DATE_LONGDATE);
        return strnzcpy(buffer, text, PATHBUFFER - 1);
    }
    if (strcasecmp(name, "PATHNAME") == 0)
        return pathname();
    if (strcasecmp(name, "FILENAME") == 0)
        return filename();
    if (strcasecmp(name, "VARIANT") == 0) {
        QStringList names;
        getvariants(names);
        const int index = varianttoindex(currentvariant());
        const QByteArray text = index < names.size() ? names[index].toUtf8() : QByteArray();
        strnzcpy(buffer, text.constData(), longestvariantname);
        return buffer;
    }
    if (strcasecmp(name, "BOARD") == 0) {
        const BOARD* board = cdb->currentboard();
        const std::string& text = !board ? std::string() : board->name.empty() ? board->stem : board->name;
        return strnzcpy(buffer, text.c_str(), PATHBUFFER - 1);
    }
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
    variantselectors.setcurrentitem(varianttoindex(variant));
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
    updateselectors();
    cdb->selectvariant(currentvariant());
    setdirty(1);
}

COMBOBAR* VKTPROJECT::createvariantselector(APPLNWINDOW* window)
{
    if (!variantselectors.chosen)
        variantselectors.chosen = [this](int index) { selectvariant(indextovariant(index)); };
    STRINGLIST items;
    getvariants(items);
    return createselector(
        window, variantcommand, variantselectors, items, varianttoindex(currentvariant()), hasvariants());
}

void VKTPROJECT::namelegacyvariants()
{
    setvariants({ tr("Exc. from BOM") });
    selectvariant('A');
}
