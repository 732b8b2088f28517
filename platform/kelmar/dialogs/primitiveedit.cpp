// The edit of a primitive: a 2D text's text, font and justification, the style of any other shape;
// and the text entry of a new 2D text.
#include <string>

#include "platform/drelm/control.h"
#include "platform/kelmar/dialogs/formstate.h"
#include "platform/kelmar/dialogs/kelmardialogs.h"
#include "platform/kelmar/primitives.h"
#include "platform/kelmar/textlayout.h"

namespace kelmardialogs {
namespace {

// What the text form edits: copies, taken back by the caller when the form is confirmed.
struct TEXTEDIT {
    std::string text;
    TSTYLE font;
    int justification;
    COLORREF colour;
};

// Opens the text form on the text; 1 when confirmed, the edit then holding the new values.
int edittext(const char* title, TEXTEDIT& edit)
{
    FORM form(nullptr, "prim_text", textproc);
    return form.open(DLG_MODAL, LT_VARARGS, title, &edit) == IDOK;
}

TEXTEDIT editof(const PR_TEXT& text)
{
    TSTYLE font = text.getfont();
    font.colour = text.getstyle().style.pencolour;
    return TEXTEDIT { text.gettext(), font, text.getjustification(), text.getstyle().style.pencolour };
}

// The edited values into the text; 1 when anything changed. A changed colour makes the text's
// style its own.
int takeedit(PR_TEXT& text, const TEXTEDIT& edit)
{
    TEXTEDIT before = editof(text);
    if (edit.text == before.text && samestyle(edit.font, before.font) && edit.justification == before.justification
        && edit.colour == before.colour) {
        return 0;
    }
    text.settext(edit.text.c_str());
    text.setfont(edit.font, edit.justification);
    if (edit.colour != before.colour) {
        GSTYLE_ENTRY own("", text.getstyle().style);
        own.style.pencolour = edit.colour;
        text.setstyle(own);
    }
    return 1;
}

} // namespace

DLGCODES textproc(FORM& form, unsigned msg, unsigned wparam, long lparam)
{
    if (msg == DLGM_START) {
        keepstate(form);
        auto* edit = state<TEXTEDIT>(form);
        form.getctrl("TEXT")->settext(edit->text.c_str());
        showstyle(form, edit->font);
        form.getctrl("COLOUR")->setvalue(edit->colour);
        form.getctrl("HJUST")->setvalue(gethjust(edit->justification));
        form.getctrl("VJUST")->setvalue(getvjust(edit->justification));
        return DLG_DEFAULT;
    }
    auto* edit = state<TEXTEDIT>(form);
    TSTYLE font = edit ? edit->font : TSTYLE();
    if (edit && msg == DLGM_VALIDATE && !takestyle(form, font)) {
        return DLG_HANDLED;
    }
    if (edit && msg == DLGM_CLOSING && wparam == IDOK) {
        takestyle(form, edit->font);
        edit->text = form.getctrl("TEXT")->text();
        edit->colour = static_cast<COLORREF>(form.getctrl("COLOUR")->getvalue());
        edit->justification = gettjust(static_cast<int>(form.getctrl("HJUST")->getvalue()),
            static_cast<int>(form.getctrl("VJUST")->getvalue()));
    }
    return DLG_DEFAULT;
}

} // namespace kelmardialogs

using namespace kelmardialogs;

int PRIMITIVE::edit()
{
    switch (kind()) {
    case PK_SYMBOL:
    case PK_MARKER:
        return 0;
    case PK_TEXT: {
        auto& text = static_cast<PR_TEXT&>(*this);
        TEXTEDIT edit = editof(text);
        return edittext("Edit Text", edit) && takeedit(text, edit);
    }
    default: {
        GSTYLE own = style.style;
        if (!editgstyle("Edit Graphic", own)) {
            return 0;
        }
        // Edited by hand, the style is the primitive's own: refreshing the named styles leaves it.
        setstyle(GSTYLE_ENTRY("", own));
        return 1;
    }
    }
}

int PR_TEXT::entertext()
{
    TEXTEDIT edit = editof(*this);
    if (!edittext("Enter Text", edit)) {
        return 0;
    }
    takeedit(*this, edit);
    return !isempty();
}
