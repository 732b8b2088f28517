#include "framework/appln/keymapeditor.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/appln/tests/testprocess.h"
#include "framework/commands/cmdinfotable.h"
#include "framework/commands/keytranslator.h"
#include "platform/drelm/control.h"
#include "platform/drelm/form.h"
#include "platform/win/messagebox.h"
#include "platform/win/rc/keycodes.h"

namespace {

using appltest::TESTPROCESS;

constexpr unsigned long CTRL_P = KEY_CTRL | 'P';
constexpr unsigned long CTRL_K = KEY_CTRL | 'K';
constexpr unsigned long CTRL_L = KEY_CTRL | 'L';

std::vector<std::string> boxes;
int answer = IDYES;

int recordbox(HWND, const char* text, const char*, UINT)
{
    boxes.emplace_back(text);
    return answer;
}

// The editor open modeless over the process's table with the module contexts of the tests; the
// user's steps are told to its callback as the form tells them.
struct EDITORRUN {
    explicit EDITORRUN(FORM& editor)
        : form(editor)
    {
    }
    void choosecontext(int index)
    {
        form.getctrl("CTXS")->setvalue(index);
        form.notify(DLGM_UPDATE, static_cast<unsigned>(form.getctrlid("CTXS")), index);
    }
    void choosecommand(int index)
    {
        form.getctrl("CMDS")->setvalue(index);
        form.notify(DLGM_UPDATE, static_cast<unsigned>(form.getctrlid("CMDS")), index);
    }
    void type(unsigned long key)
    {
        form.getctrl("KEY")->setvalue(static_cast<long>(key));
        form.notify(DLGM_UPDATE, static_cast<unsigned>(form.getctrlid("KEY")), static_cast<long>(key));
    }
    std::string item(int index)
    {
        char text[200] = "";
        form.getctrl("CMDS")->getitemtext(index, text, sizeof text);
        return text;
    }
    bool enabled(int id) { return form.getctrl(id)->isenabled(); }
    std::string text(const char* name) { return form.getctrl(name)->text(); }
    FORM& form;
};

void withtables(const std::function<void(TESTPROCESS&, KEYTRANSLATOR&)>& script)
{
    TESTPROCESS process;
    process.start = [&] {
        process.getcmdinfotable()->load("KEYMAPCONTEXTS", GetModuleHandleA(nullptr));
        KEYTRANSLATOR& keys = *process.getkeytranslator();
        keys.rscload("KEYMAPKEYS", GetModuleHandleA(nullptr));
        MESSAGEBOXHOOK previous = setmessageboxhook(recordbox);
        boxes.clear();
        answer = IDYES;
        script(process, keys);
        setmessageboxhook(previous);
        return 1;
    };
    process.runall();
}

TEST(KeyMapEditor, AssignsAndUnassignsRefusesFixedBindingsAndCancelRestoresTheMap)
{
    withtables([](TESTPROCESS&, KEYTRANSLATOR& keys) {
        const KEYTRANSLATOR before(keys);
        FORM form(nullptr, "edit_keyboard_map", edit_keyboard_map_hlr);
        ASSERT_EQ(form.open(DLG_MODELESS, LT_NONE), 1);
        EDITORRUN editor(form);
        CONTROL* contexts = form.getctrl("CTXS");
        ASSERT_EQ(contexts->numitems(), 2) << "the global contexts are not offered";
        EXPECT_EQ(contexts->getitemdata(0), 0x110);
        EXPECT_EQ(contexts->getitemdata(1), 0x111);
        ASSERT_EQ(form.getctrl("CMDS")->numitems(), 3) << "a command kept from menus is not listed";
        EXPECT_EQ(editor.item(0), "&Cut\tCtrl+X");
        EXPECT_EQ(editor.item(1), "&Paste\t");
        EXPECT_FALSE(editor.enabled(190));
        EXPECT_EQ(editor.text("CMAP"), "");

        editor.choosecommand(1);
        editor.type(CTRL_P);
        EXPECT_TRUE(editor.enabled(190));
        EXPECT_FALSE(editor.enabled(191));
        form.pressbutton(190);
        EXPECT_EQ(keys.getkey(0x110, 0x301), CTRL_P);
        EXPECT_EQ(editor.item(1), "&Paste\tCtrl+P");
        EXPECT_FALSE(editor.enabled(190));
        EXPECT_TRUE(editor.enabled(191));

        editor.type(CTRL_L);
        EXPECT_EQ(editor.text("STATUS"), "Sequence is used by a command that cannot be changed,");
        EXPECT_EQ(editor.text("CMAP"), "This key is currently used for '&Lock'.");
        EXPECT_FALSE(editor.enabled(190));
        EXPECT_FALSE(editor.enabled(191));

        editor.choosecommand(2);
        EXPECT_EQ(editor.text("STATUS"), "This assignment cannot be edited/changed.");
        EXPECT_FALSE(form.getctrl("KEY")->isenabled());

        editor.choosecommand(0);
        EXPECT_EQ(editor.text("HINT"), "Cuts the selection.");
        form.pressbutton(191);
        EXPECT_EQ(keys.getkey(0x110, 0x300), 0u);
        EXPECT_EQ(editor.item(0), "&Cut");

        // The reference in the drawing commands stands for the shared Cut.
        editor.choosecontext(1);
        ASSERT_EQ(editor.item(0).rfind("&Cut", 0), 0u);
        editor.choosecommand(0);
        editor.type(CTRL_K);
        form.pressbutton(190);
        EXPECT_EQ(keys.getkey(0x110, 0x300), CTRL_K);
        EXPECT_EQ(keys.getkey(0x111, 0x300), CTRL_K);
        EXPECT_EQ(editor.item(0), "&Cut\tCtrl+K");

        form.end(IDCANCEL);
        EXPECT_TRUE(keys == before) << "Cancel puts every binding back";
        EXPECT_TRUE(boxes.empty());
    });
}

TEST(KeyMapEditor, OkKeepsChangesInTheRegistryOnlyWhenThereAreAny)
{
    withtables([](TESTPROCESS& process, KEYTRANSLATOR& keys) {
        auto stored = [&] {
            KEYTRANSLATOR read(*process.getcmdinfotable(), KEYTRANSLATOR::SCROLLCOMMAND);
            read.regload(KEYTRANSLATOR::REGISTRYKEY);
            return read.getkey(0x110, 0x301);
        };
        {
            FORM form(nullptr, "edit_keyboard_map", edit_keyboard_map_hlr);
            ASSERT_EQ(form.open(DLG_MODELESS, LT_NONE), 1);
            form.end(IDOK);
        }
        EXPECT_TRUE(boxes.empty()) << "nothing changed, nothing said";
        EXPECT_EQ(stored(), 0u);

        {
            FORM form(nullptr, "edit_keyboard_map", edit_keyboard_map_hlr);
            ASSERT_EQ(form.open(DLG_MODELESS, LT_NONE), 1);
            EDITORRUN editor(form);
            editor.choosecontext(0);
            editor.choosecommand(1);
            editor.type(CTRL_P);
            answer = IDNO;
            form.end(IDOK);
        }
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].rfind("You have entered a keyboard shortcut", 0), 0u);
        EXPECT_EQ(keys.getkey(0x110, 0x301), 0u) << "a key typed but not assigned stays unassigned";

        boxes.clear();
        answer = IDYES;
        {
            FORM form(nullptr, "edit_keyboard_map", edit_keyboard_map_hlr);
            ASSERT_EQ(form.open(DLG_MODELESS, LT_NONE), 1);
            EDITORRUN editor(form);
            editor.choosecommand(1);
            editor.type(CTRL_P);
            form.pressbutton(190);
            form.end(IDOK);
        }
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], "Keyboard map has been saved to Windows registry.");
        EXPECT_EQ(stored(), CTRL_P);
    });
}

} // namespace
