// The style editors: one graphic style, the tables of graphic and text styles, and the prompt for
// the name of a new style.
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

#include "platform/drelm/control.h"
#include "platform/drelm/messageboxes.h"
#include "platform/kelmar/dialogs/formstate.h"
#include "platform/kelmar/dialogs/kelmardialogs.h"
#include "platform/kelmar/xstyles.h"

namespace kelmardialogs {
namespace {

// The style names a new one must differ from, and the name given.
struct NAMEPROMPT {
    const DIDX* taken;
    std::string name;
};

} // namespace

DLGCODES nameproc(FORM& form, unsigned msg, unsigned wparam, long lparam)
{
    if (msg == DLGM_START) {
        keepstate(form);
        return DLG_DEFAULT;
    }
    auto* prompt = state<NAMEPROMPT>(form);
    if (msg != DLGM_VALIDATE || !prompt) {
        return DLG_DEFAULT;
    }
    std::string name = form.getctrl("NAME")->text();
    size_t first = name.find_first_not_of(' ');
    name = first == std::string::npos ? "" : name.substr(first, name.find_last_not_of(' ') - first + 1);
    if (name.empty()) {
        errbox("A style needs a name.");
        return DLG_HANDLED;
    }
    if (prompt->taken->idxn(name.c_str()) >= 0) {
        errbox(("There is a style named '" + name + "' already.").c_str());
        return DLG_HANDLED;
    }
    prompt->name = name;
    return DLG_DEFAULT;
}

namespace {

// The name of a new style, asked with the form; empty when cancelled.
std::string newname(const char* formname, const DIDX& taken)
{
    NAMEPROMPT prompt { &taken, "" };
    FORM form(nullptr, formname, nameproc);
    return form.open(DLG_MODAL, LT_VARARGS, &prompt) == IDOK ? prompt.name : std::string();
}

template <class T> struct STYLEFORMS;
template <> struct STYLEFORMS<GSTYLE> {
    static constexpr const char* TABLE = "sm_edit_gsa";
    static constexpr const char* NEWNAME = "sm_edit_ngs";
};
template <> struct STYLEFORMS<TSTYLE> {
    static constexpr const char* TABLE = "sm_edit_ts";
    static constexpr const char* NEWNAME = "sm_edit_nts";
};

// A table being edited: copies of its entries, changed in place; deleted entries are marked,
// new ones added at the end.
template <class T> struct TABLEEDIT {
    XSTYLE_MANAGER<T>* table;
    DIDX* used;
    const char* first;
    std::vector<XSTYLE_ENTRY<T>> working {};
    std::vector<int> rows {}; // the working entry of each row of the list
    int current = -1; // the row shown
    int changed = 0;
    bool filling = false;

    void fill(FORM& form, int show)
    {
        CONTROL* list = form.getctrl("STYLES");
        filling = true;
        list->clearitems();
        rows.clear();
        for (int i = 0; i < static_cast<int>(working.size()); ++i) {
            if (!(working[i].flags & XS_DELETED)) {
                rows.push_back(i);
                list->additem(working[i].name, i);
            }
        }
        current = rows.empty() ? -1 : std::min(std::max(show, 0), static_cast<int>(rows.size()) - 1);
        list->setvalue(current);
        filling = false;
        if (current >= 0) {
            showstyle(form, working[rows[current]].style);
        }
        form.enable(ID_DELETE, current >= 0);
    }

    // The row the entry of that name stands in, counting the entries still listed; 0 when none.
    int rowof(const char* name) const
    {
        int row = 0;
        for (const XSTYLE_ENTRY<T>& entry : working) {
            if (entry.flags & XS_DELETED) {
                continue;
            }
            if (name && strcasecmp(entry.name, name) == 0) {
                return row;
            }
            ++row;
        }
        return 0;
    }

    // The shown row's values into its entry; false when they are wrong (the row stays shown).
    bool keep(FORM& form)
    {
        return current < 0 || takestyle(form, working[rows[current]].style);
    }

    void erase(FORM& form)
    {
        XSTYLE_ENTRY<T>& entry = working[rows[current]];
        if (entry.flags & XS_BUILTIN) {
            errbox((std::string("The style '") + entry.name + "' is a system style and cannot be deleted.").c_str());
        } else if (used && used->idxn(entry.name) >= 0) {
            errbox((std::string("The style '") + entry.name + "' is used in the design and cannot be deleted.").c_str());
        } else {
            entry.flags |= XS_DELETED;
            fill(form, current);
        }
    }

    void add(FORM& form)
    {
        if (!keep(form)) {
            return;
        }
        XSTYLE_MANAGER<T> names;
        for (const XSTYLE_ENTRY<T>& entry : working) {
            if (!(entry.flags & XS_DELETED)) {
                names.add(entry.name, entry.style, 0);
            }
        }
        std::string name = newname(STYLEFORMS<T>::NEWNAME, names);
        if (name.empty()) {
            return;
        }
        working.emplace_back(name.c_str(), current >= 0 ? working[rows[current]].style : T(), 0);
        fill(form, static_cast<int>(rows.size()));
    }

    void apply()
    {
        for (const XSTYLE_ENTRY<T>& entry : working) {
            XSTYLE_ENTRY<T>* present = table->get(entry.name);
            if (!present) {
                table->add(entry.name, entry.style, 0);
                changed = 1;
            } else if ((entry.flags & XS_DELETED) && !(present->flags & XS_DELETED)) {
                present->flags |= XS_DELETED;
                changed = 1;
            } else if (!samestyle(present->style, entry.style)) {
                present->style = entry.style;
                changed = 1;
            }
        }
    }
};

} // namespace

template <class T> DLGCODES tableproc(FORM& form, unsigned msg, unsigned wparam, long lparam)
{
    if (msg == DLGM_START) {
        keepstate(form);
        auto* edit = state<TABLEEDIT<T>>(form);
        edit->fill(form, edit->rowof(edit->first));
        return DLG_DEFAULT;
    }
    auto* edit = state<TABLEEDIT<T>>(form);
    if (!edit) {
        return DLG_DEFAULT;
    }
    switch (msg) {
    case DLGM_UPDATE:
        if (wparam == ID_STYLES && !edit->filling && lparam != edit->current) {
            if (edit->keep(form)) {
                edit->current = static_cast<int>(lparam);
                if (edit->current >= 0) {
                    showstyle(form, edit->working[edit->rows[edit->current]].style);
                }
            } else {
                edit->filling = true;
                form.getctrl("STYLES")->setvalue(edit->current);
                edit->filling = false;
            }
        }
        break;
    case DLGM_COMMAND:
        if (wparam == ID_FILLED) {
            form.enable(ID_FILLCOLOUR, static_cast<int>(lparam));
        } else if (wparam == ID_DELETE && edit->current >= 0) {
            edit->erase(form);
        } else if (wparam == ID_NEW) {
            edit->add(form);
        }
        break;
    case DLGM_VALIDATE:
        return edit->keep(form) ? DLG_DEFAULT : DLG_HANDLED;
    case DLGM_CLOSING:
        if (wparam == IDOK) {
            edit->apply();
        }
        break;
    default:
        break;
    }
    return DLG_DEFAULT;
}

template DLGCODES tableproc<GSTYLE>(FORM&, unsigned, unsigned, long);
template DLGCODES tableproc<TSTYLE>(FORM&, unsigned, unsigned, long);

namespace {

template <class T> int edittable(XSTYLE_MANAGER<T>& table, const char* current, DIDX* used)
{
    TABLEEDIT<T> edit { &table, used, current };
    for (const XSTYLE_ENTRY<T>* entry : table) {
        edit.working.push_back(*entry);
    }
    FORM form(nullptr, STYLEFORMS<T>::TABLE, tableproc<T>);
    form.open(DLG_MODAL, LT_VARARGS, &edit);
    return edit.changed;
}

template <class T> int createstyle(XSTYLE_MANAGER<T>& table, const char* current)
{
    std::string name = newname(STYLEFORMS<T>::NEWNAME, table);
    return name.empty() ? -1 : table.addcopy(name.c_str(), current);
}

} // namespace

DLGCODES gstyleproc(FORM& form, unsigned msg, unsigned wparam, long lparam)
{
    if (msg == DLGM_START) {
        keepstate(form);
        showstyle(form, *state<GSTYLE>(form));
        return DLG_DEFAULT;
    }
    auto* style = state<GSTYLE>(form);
    if (!style) {
        return DLG_DEFAULT;
    }
    GSTYLE taken = *style;
    if (msg == DLGM_COMMAND && wparam == ID_FILLED) {
        form.enable(ID_FILLCOLOUR, static_cast<int>(lparam));
    } else if (msg == DLGM_VALIDATE && !takestyle(form, taken)) {
        return DLG_HANDLED;
    } else if (msg == DLGM_CLOSING && wparam == IDOK) {
        takestyle(form, *style);
    }
    return DLG_DEFAULT;
}

} // namespace kelmardialogs

using namespace kelmardialogs;

template <> int XSTYLE_MANAGER<GSTYLE>::edit(const char* current, DIDX* used)
{
    return edittable(*this, current, used);
}

template <> int XSTYLE_MANAGER<TSTYLE>::edit(const char* current, DIDX* used)
{
    return edittable(*this, current, used);
}

template <> int XSTYLE_MANAGER<GSTYLE>::createnew(const char* current)
{
    return createstyle(*this, current);
}

template <> int XSTYLE_MANAGER<TSTYLE>::createnew(const char* current)
{
    return createstyle(*this, current);
}

int editgstyle(const char* title, GSTYLE& style)
{
    GSTYLE edited = style;
    FORM form(nullptr, "sm_edit_gsp", gstyleproc);
    if (form.open(DLG_MODAL, LT_VARARGS, title, &edited) != IDOK || samestyle(edited, style)) {
        return 0;
    }
    style = edited;
    return 1;
}
