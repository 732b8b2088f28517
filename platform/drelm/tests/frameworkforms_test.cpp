// The framework's own forms (resources/kestril/forms.rc) load and hold the controls that the
// frame's status box and the key-map editor use.

#include "platform/drelm/control.h"
#include "platform/drelm/form.h"
#include "platform/drelm/tests/drelmtest.h"
#include "platform/win/window.h"

using namespace drelmtest;

TEST(FrameworkForms, TheStatusBoxShowsItsTextModeless)
{
    Started started;
    HWND frame = wintest::toplevel(100, 100, 640, 480, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    FORM box(frame, "STATUSBOX");
    ASSERT_EQ(box.open(DLG_MODELESS, LT_NONE), 1);
    ASSERT_NE(box.getctrl("TEXT"), nullptr);
    box.getctrl("TEXT")->settext("Initialising the sample browser...");
    EXPECT_EQ(box.getctrl("TEXT")->text(), "Initialising the sample browser...");
    EXPECT_EQ(box.getstate(), FS_RUNNING);
    EXPECT_TRUE(IsWindowEnabled(frame)) << "a modeless form leaves its owner alone";
}

TEST(FrameworkForms, TheKeyMapEditorHasItsNamedControlsIdsAndTexts)
{
    Started started;
    FORM editor(nullptr, "edit_keyboard_map");
    ASSERT_EQ(editor.open(DLG_MODELESS, LT_NONE), 1);
    char title[64] = {};
    GetWindowTextA(editor.gethwnd(), title, sizeof title);
    EXPECT_STREQ(title, "Edit Keyboard Map");
    const struct {
        const char* name;
        CTRLKIND kind;
        int id; // 0: the library's own
    } controls[] = {
        { "CTXS", CK_COMBOBOX, 0 },
        { "CMDS", CK_LISTBOX, 0 },
        { "HINT", CK_STATIC, 0 },
        { "KEY", CK_KEYEDIT, 0 },
        { "ASSIGN", CK_BUTTON, 190 },
        { "UNASSIGN", CK_BUTTON, 191 },
        { "CMAP", CK_STATIC, 0 },
        { "STATUS", CK_STATIC, 0 },
        { "MENU", CK_MENUBUTTON, 0 },
        { "OK", CK_BUTTON, 1 },
        { "CANCEL", CK_BUTTON, 2 },
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        CONTROL* control = editor.getctrl(c.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->getkind(), c.kind);
        if (c.id) {
            EXPECT_EQ(control->getid(), c.id);
        }
    }
    EXPECT_EQ(editor.getctrl("CMAP")->text(), "This key is currently used for '%s'.");
    EXPECT_EQ(editor.getctrl("KEY")->text(), "<No Key Set>");
    EXPECT_EQ(editor.getctrl("ASSIGN")->text(), "&Assign");
    EXPECT_EQ(editor.getctrl("MENU")->text(), "O&ptions");
}
