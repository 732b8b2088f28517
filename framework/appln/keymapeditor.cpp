#include "framework/appln/keymapeditor.h"

#include <QFontMetrics>
#include <QWidget>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <string>

#include "framework/appln/applnframe.h"
#include "framework/appln/applnmodule.h"
#include "framework/appln/applnprocess.h"
#include "framework/commands/cmdinfotable.h"
#include "framework/commands/keytranslator.h"
#include "framework/context/applncontext.h"
#include "framework/context/windowmessages.h"
#include "framework/menus/menu.h"
#include "platform/drelm/control.h"
#include "platform/drelm/form.h"
#include "platform/drelm/messageboxes.h"
#include "platform/tirsk/keytext.h"
#include "platform/tirsk/reporting.h"
#include "platform/win/gdi.h"
#include "platform/win/menu.h"
#include "platform/win/messagequeue.h"
#include "platform/win/keys.h"

namespace {

constexpr int ID_ASSIGN = 190;
constexpr int ID_UNASSIGN = 191;
constexpr int ID_IMPORT = 168;
constexpr int ID_EXPORT = 169;
constexpr int ID_RESET = 175;
constexpr unsigned long MSG_ALTMENU = 0xF100;
constexpr unsigned long MSG_ALTMENUACTIVE = 0xF101;
constexpr unsigned long MSG_F1HELP = 0xF102;
constexpr unsigned long MSG_RESET = 0xF105;
constexpr unsigned long MSG_SAVED = 0xF106;
constexpr unsigned long MSG_NOTASSIGNED = 0xF107;
constexpr unsigned short LASTGLOBALCONTEXT = 0x10F;
constexpr int CONFLICTFORMATSIZE = 100;
constexpr const char* widestrow = "CTRL + ALT + WINDOWS + SHIFT + HELLOWORLD";

// What the editor keeps while it is open; the context chosen last stays for the next opening.
struct EDITOR {
    std::unique_ptr<KEYTRANSLATOR> saved; // the map at opening, for Cancel
    int changes = 0;
    int tabstop = 0;
    std::string mnemonics; // upper-cased, of the main window's menu bar
    std::string conflictformat;
};
EDITOR editor;
int lastcontext = 0;

CMDINFOTABLE& table()
{
    return *getapplncmdinfotable();
}

KEYTRANSLATOR& keys()
{
    return *getapplnkeytranslator();
}

HMENU mainmenu()
{
    APPLNPROCESS* process = getapplnprocess();
    APPLNFRAME* frame = process ? process->getactiveframe() : nullptr;
    return frame ? GetMenu(frame->hwnd) : nullptr;
}

std::string keyname(unsigned long key)
{
    if (!key)
        return "";
    return std::string(getshiftkeytext(key, "+", "WCAS")) + getkeytext(key);
}

std::string itemtext(const CMDINFO& entry, unsigned long key)
{
    return std::string(entry.text.get()) + "\t" + keyname(key);
}

CONTROL& control(FORM& form, const char* name)
{
    return *form.getctrl(name);
}

unsigned short chosencontext(FORM& form)
{
    CONTROL& contexts = control(form, "CTXS");
    const long index = contexts.getvalue();
    return index < 0 ? 0 : static_cast<unsigned short>(contexts.getitemdata(static_cast<int>(index)));
}

// The table entry of the selected command; null when none is selected.
const CMDINFO* selected(FORM& form, int* row = nullptr)
{
    CONTROL& commands = control(form, "CMDS");
    const long index = commands.getvalue();
    if (row)
        *row = static_cast<int>(index);
    return index < 0 ? nullptr : table().item(static_cast<int>(commands.getitemdata(static_cast<int>(index))));
}

bool sameplace(unsigned short a, unsigned short b)
{
    return (a >> 8) == (b >> 8);
}

void listcommands(FORM& form)
{
    const unsigned short context = chosencontext(form);
    CONTROL& commands = control(form, "CMDS");
    commands.setredraw(0);
    commands.clearitems();
    for (int i = 0; i < table().count(); ++i) {
        const CMDINFO& entry = *table().item(i);
        if (!entry.id || !entry.text.get() || !*entry.text.get() || entry.context != context
            || (entry.flags & CMDF_NOMENU))
            continue;
        commands.additem(itemtext(entry, keys().getkey(context, entry.id)).c_str(), i);
    }
    commands.setredraw(1);
    commands.setvalue(-1);
}

void warn(unsigned long key, unsigned short context)
{
    const bool altalone = (key & KEY_ALT) && !(key & (KEY_CTRL | KEY_SHIFT | KEY_WIN));
    const char letter = static_cast<char>(key & 0xFF);
    std::string menuname;
    if (altalone && std::isalnum(static_cast<unsigned char>(letter))
        && editor.mnemonics.find(letter) != std::string::npos
        && MENU::get_for_accelerator(mainmenu(), letter, menuname, 1)) {
        const bool global = context >= 0x100 && context <= 0x1FF;
        errorbox(getapplnmessage(global ? MSG_ALTMENU : MSG_ALTMENUACTIVE), letter, menuname.c_str());
    }
    if ((key & 0x1FF) == VK_F1 && !(key & 0xFF000))
        errbox(getapplnmessage(MSG_F1HELP));
}

void updatebuttons(FORM& form, bool keyedited)
{
    CONTROL& keyedit = control(form, "KEY");
    const CMDINFO* entry = selected(form);
    if (!entry) {
        keyedit.setvalue(0);
        keyedit.enable(0);
        for (const char* name : { "HINT", "STATUS", "CMAP" })
            control(form, name).settext("");
        form.enable(ID_ASSIGN, 0);
        form.enable(ID_UNASSIGN, 0);
        return;
    }
    const unsigned long key = static_cast<unsigned long>(keyedit.getvalue());
    const CMDINFO* conflict = nullptr;
    if (key) {
        const unsigned short bound = keys().getcommand(entry->context, key, 1);
        for (int i = 0; bound && i < table().count() && !conflict; ++i) {
            const CMDINFO* other = table().item(i);
            if (other != entry && other->id == bound && sameplace(other->context, entry->context))
                conflict = other;
        }
    }
    if (keyedited && key)
        warn(key, entry->context);
    if (conflict) {
        char text[CONFLICTFORMATSIZE + 300];
        std::snprintf(text, sizeof text, editor.conflictformat.c_str(), conflict->text.get());
        control(form, "CMAP").settext(text);
    } else {
        control(form, "CMAP").settext("");
    }
    if (entry->flags & CMDF_FIXED) {
        control(form, "STATUS").settext("This assignment cannot be edited/changed.");
        keyedit.enable(0);
        form.enable(ID_ASSIGN, 0);
        form.enable(ID_UNASSIGN, 0);
        return;
    }
    if (conflict && (conflict->flags & CMDF_FIXED)) {
        control(form, "STATUS").settext("Sequence is used by a command that cannot be changed,");
        form.enable(ID_ASSIGN, 0);
        form.enable(ID_UNASSIGN, 0);
        return;
    }
    keyedit.enable(1);
    control(form, "STATUS").settext("");
    const unsigned long current = keys().getkey(entry->context, entry->id);
    form.enable(ID_ASSIGN, key && key != current);
    form.enable(ID_UNASSIGN, current != 0);
}

void selectcommand(FORM& form)
{
    const CMDINFO* entry = selected(form);
    if (entry) {
        CONTROL& keyedit = control(form, "KEY");
        keyedit.setvalue(static_cast<long>(keys().getkey(entry->context, entry->id)));
        keyedit.enable(1);
        control(form, "HINT").settext(entry->hint.get() ? entry->hint.get() : "");
    }
    updatebuttons(form, false);
}

// References follow the shared command they stand for.
void revalidate(const CMDINFO& entry)
{
    if (contextgroup(entry.context) == CMDCTX_SHARED || entry.isreference())
        keys().validate();
}

void assign(FORM& form)
{
    int row = -1;
    const CMDINFO* entry = selected(form, &row);
    if (!entry)
        return;
    const unsigned long key = static_cast<unsigned long>(control(form, "KEY").getvalue());
    keys().assign(entry->context, entry->id, key);
    if (entry->isreference())
        keys().assign(CMDCTX_SHARED, entry->id, key);
    revalidate(*entry);
    CONTROL& commands = control(form, "CMDS");
    commands.setitemtext(row, itemtext(*entry, keys().getkey(entry->context, entry->id)).c_str());
    commands.redrawitem(row);
    ++editor.changes;
    updatebuttons(form, false);
}

void unassign(FORM& form)
{
    int row = -1;
    const CMDINFO* entry = selected(form, &row);
    if (!entry)
        return;
    keys().remove_command(entry->context, entry->id);
    if (entry->isreference())
        keys().remove_command(CMDCTX_SHARED, entry->id);
    revalidate(*entry);
    control(form, "KEY").setvalue(0);
    control(form, "CMDS").setitemtext(row, entry->text.get());
    // A binding taken away is a change to keep like one given.
    ++editor.changes;
    updatebuttons(form, false);
}

void reset(FORM& form)
{
    if (!yesno(getapplnmessage(MSG_RESET)))
        return;
    keys().zap();
    keys().regclear(KEYTRANSLATOR::REGISTRYKEY);
    // The global bindings come from the program as at start-up, the module's own after them.
    APPLNPROCESS* process = getapplnprocess();
    APPLNMODULE* module = getapplnmodule();
    if (process)
        keys().rscload("GLOBALKEYS", process->getmoduleinstance());
    if (module)
        keys().rscload("APPLNKEYS", module->getmoduleinstance());
    keys().importsettings(1);
    control(form, "CTXS").setvalue(0);
    lastcontext = 0;
    listcommands(form);
    editor.changes = 0;
    updatebuttons(form, false);
}

void start(FORM& form)
{
    CONTROL& cmap = control(form, "CMAP");
    editor.conflictformat = cmap.text();
    if (editor.conflictformat.size() > CONFLICTFORMATSIZE)
        editor.conflictformat.resize(CONFLICTFORMATSIZE);
    cmap.settext("");
    editor.saved = std::make_unique<KEYTRANSLATOR>(keys());
    editor.changes = 0;
    editor.mnemonics = MENU::get_accelerators(mainmenu());
    for (char& letter : editor.mnemonics)
        letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));

    CONTROL& commands = control(form, "CMDS");
    const QFontMetrics metrics(commands.getwidget()->font());
    int widest = 0;
    for (int i = 0; i < table().count(); ++i)
        if (const char* text = table().item(i)->text.get())
            widest = std::max(widest, metrics.horizontalAdvance(QString::fromUtf8(text)));
    editor.tabstop = widest + 20;
    commands.settabstop(editor.tabstop);

    CONTROL& contexts = control(form, "CTXS");
    unsigned long id = 0;
    const char* name = nullptr;
    for (int i = 0; table().getcontextnames().item(i, &id, &name) && id <= 0xFFFF; ++i)
        if (id > LASTGLOBALCONTEXT)
            contexts.additem(name, static_cast<intptr_t>(id));
    contexts.setvalue(lastcontext < contexts.numitems() ? lastcontext : 0);
    listcommands(form);
    updatebuttons(form, false);
}

void finish(FORM& form, unsigned code)
{
    if (code != IDOK) {
        keys() = *editor.saved;
        return;
    }
    if (form.getctrl(ID_ASSIGN)->isenabled() && yesno(getapplnmessage(MSG_NOTASSIGNED)))
        assign(form);
    if (editor.changes && !(keys() == *editor.saved)) {
        keys().regsave(KEYTRANSLATOR::REGISTRYKEY);
        infbox(getapplnmessage(MSG_SAVED));
    }
    if (APPLNPROCESS* process = getapplnprocess())
        for (int i = 0; i < process->numframes(); ++i)
            PostMessageA(process->getframe(i)->hwnd, WM_KEYMAPCHANGED, 0, 0);
}

void measure(MEASUREITEMSTRUCT& item, FORM& form)
{
    const QFontMetrics metrics(control(form, "CMDS").getwidget()->font());
    item.itemWidth = static_cast<UINT>(metrics.horizontalAdvance(QString::fromLatin1(widestrow)) + editor.tabstop + 26);
    item.itemHeight = static_cast<UINT>(std::max(metrics.height(), MENU::tbar_bmpheight()) + 1);
}

void draw(const DRAWITEMSTRUCT& item)
{
    if (static_cast<int>(item.itemID) < 0)
        return;
    const CMDINFO* entry = table().item(static_cast<int>(item.itemData));
    if (!entry)
        return;
    HDC dc = item.hDC;
    RECT image = item.rcItem;
    image.right = image.left + MENU::tbar_bmpwidth() + 7;
    FillRect(dc, &image, GetSysColorBrush(COLOR_WINDOW));
    if (HBITMAP bitmap = entry->bitmap.get()) {
        BITMAP size {};
        GetObjectA(bitmap, sizeof size, &size);
        const int width = std::min<int>(size.bmWidth, MENU::tbar_bmpwidth());
        const int height = std::min<int>(size.bmHeight, MENU::tbar_bmpheight());
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, bitmap);
        BitBlt(dc, image.left + (image.right - image.left - width) / 2,
            image.top + (image.bottom - image.top - height) / 2, width, height, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    }
    RECT text = item.rcItem;
    text.left = image.right;
    const bool chosen = item.itemState & ODS_SELECTED;
    FillRect(dc, &text, GetSysColorBrush(chosen ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(chosen ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT label = text;
    label.left += 2;
    DrawTextA(dc, entry->text.get(), -1, &label, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    const std::string key = keyname(keys().getkey(entry->context, entry->id));
    RECT keyarea = text;
    keyarea.left = text.left + editor.tabstop;
    DrawTextA(dc, key.c_str(), -1, &keyarea, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &text);
}

} // namespace

int editkeymap()
{
    FORM form(nullptr, "edit_keyboard_map", edit_keyboard_map_hlr);
    return form.open(DLG_MODAL, LT_NONE);
}

DLGCODES edit_keyboard_map_hlr(FORM& form, unsigned msg, unsigned wparam, long lparam)
{
    switch (msg) {
    case DLGM_START:
        start(form);
        break;
    case DLGM_UPDATE:
        if (wparam == static_cast<unsigned>(form.getctrlid("CTXS"))) {
            lastcontext = static_cast<int>(control(form, "CTXS").getvalue());
            listcommands(form);
            updatebuttons(form, false);
        } else if (wparam == static_cast<unsigned>(form.getctrlid("CMDS"))) {
            selectcommand(form);
        } else if (wparam == static_cast<unsigned>(form.getctrlid("KEY"))) {
            updatebuttons(form, true);
        }
        break;
    case DLGM_COMMAND:
        if (wparam == ID_ASSIGN)
            assign(form);
        else if (wparam == ID_UNASSIGN)
            unassign(form);
        break;
    case DLGM_MENUCOMMAND:
        if (lparam == ID_IMPORT) {
            if (keys().importsettings(0))
                ++editor.changes;
            listcommands(form);
            updatebuttons(form, false);
        } else if (lparam == ID_EXPORT) {
            keys().exportsettings();
        } else if (lparam == ID_RESET) {
            reset(form);
        }
        break;
    case WM_MEASUREITEM:
        measure(*reinterpret_cast<MEASUREITEMSTRUCT*>(lparam), form);
        break;
    case WM_DRAWITEM:
        draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
        break;
    case DLGM_CLOSING:
        finish(form, wparam);
        break;
    case DLGM_DESTROY:
        editor.saved.reset();
        break;
    default:
        break;
    }
    return DLG_DEFAULT;
}
