#include "platform/kelmar/dialogs/formstate.h"

#include <QFontDatabase>
#include <QVariant>
#include <QWidget>
#include <cmath>
#include <cstring>
#include <iterator>
#include <string>

#include "platform/drelm/control.h"
#include "platform/drelm/messageboxes.h"
#include "platform/kelmar/dialogs/kelmardialogs.h"

namespace kelmardialogs {
namespace {

constexpr const char* STATEPROPERTY = "kelmarstate";
constexpr double UNITSPERTHOU = 2540.0;
const char* const PENSTYLES[] = { "Solid", "Dashed", "Dotted", "Dash dot", "Dash dot dot", "None" };

void showthou(FORM& form, const char* name, int32_t units)
{
    if (CONTROL* control = form.getctrl(name)) {
        control->setreal(units / UNITSPERTHOU);
    }
}

// The size in the edit, in world units; false, after telling the user, unless it is a number
// at least least.
bool takethou(FORM& form, const char* name, const char* what, double least, int32_t& units)
{
    CONTROL* control = form.getctrl(name);
    if (!control) {
        return true;
    }
    int valid = 0;
    double thou = control->getreal(&valid);
    if (!valid || !std::isfinite(thou) || thou < least || thou * UNITSPERTHOU > INT32_MAX) {
        errbox((std::string("The ") + what + " must be a number of thou of at least " + std::to_string(int(least)) + ".")
                .c_str());
        control->setfocus();
        return false;
    }
    units = static_cast<int32_t>(std::lround(thou * UNITSPERTHOU));
    return true;
}

void showcheck(FORM& form, const char* name, bool on)
{
    if (CONTROL* control = form.getctrl(name)) {
        control->check(on);
    }
}

bool checked(FORM& form, const char* name)
{
    CONTROL* control = form.getctrl(name);
    return control && control->ischecked();
}

} // namespace

void keepstate(FORM& form)
{
    form.getroot()->setProperty(STATEPROPERTY, QVariant::fromValue(form.nextarg()));
}

void* stateof(FORM& form)
{
    return form.getroot() ? form.getroot()->property(STATEPROPERTY).value<void*>() : nullptr;
}

void showstyle(FORM& form, const GSTYLE& style)
{
    if (CONTROL* pens = form.getctrl("LINESTYLE")) {
        if (pens->numitems() == 0) {
            for (const char* name : PENSTYLES) {
                pens->additem(name, 0);
            }
        }
        pens->setvalue(style.penstyle);
    }
    showthou(form, "WIDTH", style.penwidth);
    form.getctrl("LINECOLOUR")->setvalue(style.pencolour);
    form.getctrl("FILLCOLOUR")->setvalue(style.brushcolour);
    showcheck(form, "FILLED", style.hasfill());
    form.enable(ID_FILLCOLOUR, style.hasfill());
}

bool takestyle(FORM& form, GSTYLE& style)
{
    GSTYLE taken = style;
    if (!takethou(form, "WIDTH", "line width", 0, taken.penwidth)) {
        return false;
    }
    taken.penstyle = static_cast<int32_t>(form.getctrl("LINESTYLE")->getvalue());
    taken.pencolour = static_cast<COLORREF>(form.getctrl("LINECOLOUR")->getvalue());
    taken.brushcolour = static_cast<COLORREF>(form.getctrl("FILLCOLOUR")->getvalue());
    taken.brushstyle = checked(form, "FILLED") ? BRUSHSTYLE_SOLID : BRUSHSTYLE_HOLLOW;
    style = taken;
    return true;
}

void showstyle(FORM& form, const TSTYLE& style)
{
    showface(form.getctrl("FACE"), style.face);
    showthou(form, "HEIGHT", style.height);
    showthou(form, "WIDTH", style.width);
    showcheck(form, "BOLD", style.flags & TS_BOLD);
    showcheck(form, "ITALIC", style.flags & TS_ITALIC);
    showcheck(form, "UNDERLINE", style.flags & TS_UNDERLINE);
    showcheck(form, "STRIKEOUT", style.flags & TS_STRIKEOUT);
    showcheck(form, "VISIBLE", style.isvisible());
    if (CONTROL* colour = form.getctrl("COLOUR")) {
        colour->setvalue(style.colour);
    }
}

bool takestyle(FORM& form, TSTYLE& style)
{
    TSTYLE taken = style;
    if (!takethou(form, "HEIGHT", "height", 1, taken.height) || !takethou(form, "WIDTH", "width", 1, taken.width)) {
        return false;
    }
    taken.setface(form.getctrl("FACE")->text().c_str());
    const std::pair<const char*, uint32_t> effects[] = { { "BOLD", TS_BOLD }, { "ITALIC", TS_ITALIC },
        { "UNDERLINE", TS_UNDERLINE }, { "STRIKEOUT", TS_STRIKEOUT } };
    for (const auto& [name, flag] : effects) {
        taken.flags = checked(form, name) ? taken.flags | flag : taken.flags & ~flag;
    }
    if (form.getctrl("VISIBLE")) {
        taken.flags = checked(form, "VISIBLE") ? taken.flags & ~TS_HIDDEN : taken.flags | TS_HIDDEN;
    }
    if (CONTROL* colour = form.getctrl("COLOUR")) {
        taken.colour = static_cast<COLORREF>(colour->getvalue());
    }
    taken.updatefontflags();
    style = taken;
    return true;
}

void showface(CONTROL* faces, const char* face)
{
    if (!faces) {
        return;
    }
    if (faces->numitems() == 0) {
        faces->additem(DEFAULT_FONT_FACE, 0);
        faces->additem(VECTOR_FONT_FACE, 0);
        for (const QString& family : QFontDatabase::families()) {
            faces->additem(family.toUtf8().constData(), 0);
        }
    }
    char name[256];
    for (int i = 0; i < faces->numitems(); ++i) {
        faces->getitemtext(i, name, sizeof name);
        if (QString::fromUtf8(name).compare(QString::fromUtf8(face), Qt::CaseInsensitive) == 0) {
            faces->setvalue(i);
            return;
        }
    }
    faces->setvalue(faces->additem(face, 0));
}

bool samestyle(const GSTYLE& a, const GSTYLE& b)
{
    return a.penstyle == b.penstyle && a.penwidth == b.penwidth && a.pencolour == b.pencolour
        && a.brushstyle == b.brushstyle && a.brushcolour == b.brushcolour && a.flags == b.flags;
}

bool samestyle(const TSTYLE& a, const TSTYLE& b)
{
    return std::strcmp(a.face, b.face) == 0 && a.height == b.height && a.width == b.width && a.colour == b.colour
        && a.flags == b.flags;
}

} // namespace kelmardialogs

using namespace kelmardialogs;

const FORM_CBITEM KELMARFORMS[] = {
    { "sm_edit_gsa", tableproc<GSTYLE> },
    { "sm_edit_gsp", gstyleproc },
    { "sm_edit_ts", tableproc<TSTYLE> },
    { "sm_edit_ngs", nameproc },
    { "sm_edit_nts", nameproc },
    { "prim_text", textproc },
    { "prop_tool", proptoolproc },
};
const int KELMARFORMCOUNT = static_cast<int>(std::size(KELMARFORMS));
