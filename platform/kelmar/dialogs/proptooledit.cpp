// The dialog of the property assignment tool.
#include "platform/drelm/control.h"
#include "platform/drelm/messageboxes.h"
#include "platform/kelmar/dialogs/formstate.h"
#include "platform/kelmar/proptool.h"

namespace kelmardialogs {
namespace {

// The actions in the order the form offers them.
constexpr PATACTIONS ACTIONS[] = { PA_SET, PA_DELETE, PA_SHOW, PA_HIDE };

struct TOOLEDIT {
    PROPTOOL* tool;
    int* scope;
};

PATACTIONS actionof(FORM& form)
{
    long choice = form.getctrl("ACTION")->getvalue();
    return choice >= 0 && choice < 4 ? ACTIONS[choice] : PA_SET;
}

} // namespace

DLGCODES proptoolproc(FORM& form, unsigned msg, unsigned wparam, long lparam)
{
    if (msg == DLGM_START) {
        keepstate(form);
        auto* edit = state<TOOLEDIT>(form);
        form.getctrl("ASSIGNMENT")->settext(edit->tool->getassignment());
        for (int i = 0; i < 4; ++i) {
            if (ACTIONS[i] == edit->tool->getaction()) {
                form.getctrl("ACTION")->setvalue(i);
            }
        }
        form.getctrl("COUNT")->setvalue(static_cast<long>(edit->tool->getcount()));
        form.getctrl("STEP")->setvalue(edit->tool->getstep());
        form.getctrl("SCOPE")->setvalue(*edit->scope);
        return DLG_DEFAULT;
    }
    auto* edit = state<TOOLEDIT>(form);
    if (!edit) {
        return DLG_DEFAULT;
    }
    std::string assignment = form.getctrl("ASSIGNMENT")->text();
    if (msg == DLGM_VALIDATE) {
        if (const char* wrong = PROPTOOL::check(assignment.c_str(), actionof(form))) {
            errbox(wrong);
            form.getctrl("ASSIGNMENT")->setfocus();
            return DLG_HANDLED;
        }
    } else if (msg == DLGM_CLOSING && wparam == IDOK) {
        edit->tool->define(assignment.c_str(), actionof(form), static_cast<int>(form.getctrl("COUNT")->getvalue()),
            static_cast<int>(form.getctrl("STEP")->getvalue()));
        *edit->scope = static_cast<int>(form.getctrl("SCOPE")->getvalue());
    }
    return DLG_DEFAULT;
}

} // namespace kelmardialogs

using namespace kelmardialogs;

int PROPTOOL::edit(int* scope)
{
    int where = scope ? *scope : PS_CLICK;
    TOOLEDIT edit { this, &where };
    FORM form(nullptr, "prop_tool", proptoolproc);
    if (form.open(DLG_MODAL, LT_VARARGS, &edit) != IDOK) {
        return 0;
    }
    if (scope) {
        *scope = where;
    }
    return 1;
}
