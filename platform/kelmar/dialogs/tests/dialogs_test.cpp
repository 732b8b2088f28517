#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QCheckBox>
#include <QDialog>
#include <QSpinBox>

#include "platform/drelm/tests/drelmtest.h"
#include "platform/kelmar/dialogs/kelmardialogs.h"
#include "platform/kelmar/primitives.h"
#include "platform/kelmar/proptool.h"
#include "platform/kelmar/symbol.h"
#include "platform/kelmar/textlayout.h"

using namespace drelmtest;

namespace {

// A form the user sees, found by its name once it is open and shown.
class SHOWN {
public:
    explicit SHOWN(const char* name)
    {
        wintest::turnuntil([&] {
            for (QWidget* candidate : QApplication::allWidgets()) {
                if (candidate->objectName() == QString(name).toUpper() && candidate->isVisible())
                    root = candidate;
            }
            return root != nullptr;
        });
        EXPECT_TRUE(root) << name;
    }

    template <class W> W* widget(const char* name) const
    {
        W* found = root ? root->findChild<W*>(name) : nullptr;
        EXPECT_TRUE(found) << name;
        return found;
    }
    QString title() const { return root ? root->windowTitle() : QString(); }
    void type(const char* name, const char* text) const
    {
        auto* edit = widget<QLineEdit>(name);
        edit->setText(text);
        edit->setModified(true);
        emit edit->editingFinished();
    }
    void press(const char* name) const { widget<QPushButton>(name)->click(); }
    void check(const char* name) const { widget<QCheckBox>(name)->click(); }
    void choose(const char* text) const
    {
        for (QRadioButton* button : root->findChildren<QRadioButton*>()) {
            if (button->text() == text) {
                button->click();
                return;
            }
        }
        ADD_FAILURE() << text;
    }
    void pick(const char* name, int index) const
    {
        auto* combo = widget<QComboBox>(name);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void selectrow(int row) const { widget<QListWidget>("STYLES")->setCurrentRow(row); }
    std::vector<std::string> rows() const
    {
        std::vector<std::string> names;
        auto* list = widget<QListWidget>("STYLES");
        for (int i = 0; i < list->count(); ++i)
            names.push_back(list->item(i)->text().toStdString());
        return names;
    }

private:
    QWidget* root = nullptr;
};

const GSTYLE_ENTRY BUILTIN[] = {
    { "COMPONENT", GSTYLE(40640, RGB(128, 0, 0), RGB(200, 200, 170)), XS_BUILTIN },
    { "2D GRAPHIC", GSTYLE(40640, RGB(0, 0, 0), NOCOLOUR), XS_BUILTIN },
};

} // namespace

TEST(KelmarDialogs, OneGraphicStyleIsEditedOrLeftAlone)
{
    Started started;
    RecordedBoxes recorded;
    GSTYLE style(40640, RGB(0, 64, 0), NOCOLOUR);
    later([] {
        SHOWN form("sm_edit_gsp");
        EXPECT_EQ(form.title(), "Edit Wire Style");
        EXPECT_EQ(form.widget<QLineEdit>("WIDTH")->text(), "16");
        EXPECT_FALSE(form.widget<QPushButton>("FILLCOLOUR")->isEnabled());
        form.type("WIDTH", "twenty");
        form.press("OK");
        EXPECT_EQ(boxes().size(), 1u) << "a width that is no number keeps the form open";
        form.type("WIDTH", "20");
        form.pick("LINESTYLE", PENSTYLE_DASH);
        form.check("FILLED");
        EXPECT_TRUE(form.widget<QPushButton>("FILLCOLOUR")->isEnabled());
        form.press("OK");
    });
    ASSERT_EQ(editgstyle("Edit Wire Style", style), 1);
    EXPECT_EQ(style.penwidth, 50800);
    EXPECT_EQ(style.penstyle, PENSTYLE_DASH);
    EXPECT_TRUE(style.hasfill());
    EXPECT_EQ(style.pencolour, RGB(0, 64, 0));

    later([] { SHOWN("sm_edit_gsp").press("OK"); });
    EXPECT_EQ(editgstyle("Edit Wire Style", style), 0) << "nothing changed";
    later([] {
        SHOWN form("sm_edit_gsp");
        form.type("WIDTH", "1");
        form.press("CANCEL");
    });
    EXPECT_EQ(editgstyle("Edit Wire Style", style), 0);
    EXPECT_EQ(style.penwidth, 50800);
}

TEST(KelmarDialogs, TheStyleTableEditorChangesAddsAndDeletesStyles)
{
    Started started;
    RecordedBoxes recorded;
    XSTYLE_MANAGER<GSTYLE> table;
    table.reset(BUILTIN, 2);
    table.add("MINE", GSTYLE(2540, RGB(1, 1, 1), NOCOLOUR), 0);
    table.add("SPARE", GSTYLE(2540, RGB(2, 2, 2), NOCOLOUR), 0);
    DIDX used(0, DIDX::KEEPOLD, strcasecmp);
    used.add("MINE", const_cast<char*>("MINE"));

    later([] {
        SHOWN form("sm_edit_gsa");
        EXPECT_EQ(form.rows(), (std::vector<std::string> { "COMPONENT", "2D GRAPHIC", "MINE", "SPARE" }));
        EXPECT_EQ(form.widget<QListWidget>("STYLES")->currentRow(), 2) << "the current style first";
        form.press("DELETE");
        EXPECT_EQ(boxes().size(), 1u) << "a used style stays";
        form.selectrow(0);
        form.press("DELETE");
        EXPECT_EQ(boxes().size(), 2u) << "a system style stays";
        form.selectrow(3);
        form.type("WIDTH", "3");
        form.press("DELETE");
        EXPECT_EQ(form.rows(), (std::vector<std::string> { "COMPONENT", "2D GRAPHIC", "MINE" }));
        form.selectrow(1);
        form.type("WIDTH", "5");
        later([] {
            SHOWN prompt("sm_edit_ngs");
            prompt.type("NAME", "mine");
            prompt.press("OK");
            EXPECT_EQ(boxes().size(), 3u) << "a name in use is refused";
            prompt.type("NAME", "THICK");
            prompt.press("OK");
        });
        form.press("NEW");
        EXPECT_EQ(form.rows(), (std::vector<std::string> { "COMPONENT", "2D GRAPHIC", "MINE", "THICK" }));
        EXPECT_EQ(form.widget<QListWidget>("STYLES")->currentRow(), 3);
        EXPECT_EQ(form.widget<QLineEdit>("WIDTH")->text(), "5") << "a new style starts from the one shown";
        form.type("WIDTH", "30");
        form.press("OK");
    });
    ASSERT_EQ(table.edit("mine", &used), 1);
    EXPECT_EQ(table.get("2D GRAPHIC")->style.penwidth, 5 * 2540);
    EXPECT_EQ(table.get("THICK")->style.penwidth, 30 * 2540);
    EXPECT_EQ(table.get("SPARE")->flags & XS_DELETED, XS_DELETED) << "marked; the caller purges it";
    EXPECT_EQ(table.get("SPARE")->style.penwidth, 2540) << "edits of a deleted style are dropped";
    EXPECT_EQ(table.get("COMPONENT")->flags, XS_BUILTIN);

    later([] {
        SHOWN form("sm_edit_gsa");
        form.type("WIDTH", "99");
        form.press("CANCEL");
    });
    EXPECT_EQ(table.edit("COMPONENT", nullptr), 0);
    EXPECT_EQ(table.get("COMPONENT")->style.penwidth, 40640);
}

TEST(KelmarDialogs, ANewStyleIsACopyUnderANameTheUserGives)
{
    Started started;
    RecordedBoxes recorded;
    XSTYLE_MANAGER<TSTYLE> table;
    table.add("PIN NAME", TSTYLE("Vector Font", 254000, 203200, RGB(0, 0, 9), 0), XS_BUILTIN);
    later([] {
        SHOWN prompt("sm_edit_nts");
        prompt.type("NAME", "");
        prompt.press("OK");
        prompt.type("NAME", "pin name");
        prompt.press("OK");
        EXPECT_EQ(boxes().size(), 2u);
        prompt.type("NAME", "  BIG PIN NAME ");
        prompt.press("OK");
    });
    int index = table.createnew("PIN NAME");
    ASSERT_GE(index, 0);
    EXPECT_STREQ(table.get(index)->name, "BIG PIN NAME");
    EXPECT_EQ(table.get(index)->style.colour, RGB(0, 0, 9));
    later([] { SHOWN("sm_edit_nts").press("CANCEL"); });
    EXPECT_EQ(table.createnew("PIN NAME"), -1);
}

TEST(KelmarDialogs, TheTextStyleTableEditorChangesSizeEffectsAndVisibility)
{
    Started started;
    XSTYLE_MANAGER<TSTYLE> table;
    table.add("SCRIPT", TSTYLE("Default Font", 254000, 203200, 0, 0), XS_BUILTIN);
    later([] {
        SHOWN form("sm_edit_ts");
        EXPECT_EQ(form.widget<QComboBox>("FACE")->currentText(), "Default Font");
        EXPECT_TRUE(form.widget<QCheckBox>("VISIBLE")->isChecked());
        form.type("HEIGHT", "150");
        form.check("BOLD");
        form.check("VISIBLE");
        form.pick("FACE", 1);
        form.press("OK");
    });
    ASSERT_EQ(table.edit("SCRIPT", nullptr), 1);
    const TSTYLE& style = table.get("SCRIPT")->style;
    EXPECT_EQ(style.height, 381000);
    EXPECT_EQ(style.flags & (TS_BOLD | TS_HIDDEN), TS_BOLD | TS_HIDDEN);
    EXPECT_STREQ(style.face, "Vector Font");
    EXPECT_EQ(style.flags & TS_VECTORFONT, TS_VECTORFONT);
}

TEST(KelmarDialogs, A2DTextIsEnteredAndEdited)
{
    Started started;
    const GSTYLE_ENTRY graphic("2D GRAPHIC", GSTYLE(0, RGB(0, 0, 0), NOCOLOUR));
    PR_TEXT text(CTS(POINT(5, 5)), "", TSTYLE("Default Font", 254000, 203200, 0, 0), JUSTIFY_LEFT | JUSTIFY_TOP, graphic);
    later([] {
        SHOWN form("prim_text");
        EXPECT_EQ(form.title(), "Enter Text");
        form.widget<QPlainTextEdit>("TEXT")->setPlainText("   ");
        form.press("OK");
    });
    EXPECT_EQ(text.entertext(), 0) << "blanks are no text";
    later([] { SHOWN("prim_text").press("CANCEL"); });
    EXPECT_EQ(text.entertext(), 0);
    later([] {
        SHOWN form("prim_text");
        form.widget<QPlainTextEdit>("TEXT")->setPlainText("GAIN\nSTAGE");
        form.choose("&Right");
        form.choose("B&ottom");
        form.check("ITALIC");
        form.press("OK");
    });
    ASSERT_EQ(text.entertext(), 1);
    EXPECT_STREQ(text.gettext(), "GAIN\nSTAGE");
    EXPECT_EQ(text.getjustification(), JUSTIFY_RIGHT | JUSTIFY_BOTTOM);
    EXPECT_EQ(text.getfont().flags & TS_ITALIC, TS_ITALIC);
    EXPECT_STREQ(text.getstyle().name, "2D GRAPHIC") << "the colour stayed: the style stays named";

    later([] {
        SHOWN form("prim_text");
        EXPECT_EQ(form.title(), "Edit Text");
        EXPECT_EQ(form.widget<QPlainTextEdit>("TEXT")->toPlainText(), "GAIN\nSTAGE");
        form.press("OK");
    });
    EXPECT_EQ(text.edit(), 0) << "nothing changed";
}

TEST(KelmarDialogs, AShapesEditMakesItsStyleItsOwnAndASymbolHasNone)
{
    Started started;
    const GSTYLE_ENTRY graphic("2D GRAPHIC", GSTYLE(40640, RGB(0, 0, 0), NOCOLOUR));
    PR_BOX box(BOX(0, 0, 10, 10), graphic);
    later([] {
        SHOWN form("sm_edit_gsp");
        EXPECT_EQ(form.title(), "Edit Graphic");
        form.type("WIDTH", "40");
        form.press("OK");
    });
    ASSERT_EQ(box.edit(), 1);
    EXPECT_STREQ(box.getstyle().name, "");
    EXPECT_EQ(box.getstyle().style.penwidth, 101600);
    XSTYLE_MANAGER<GSTYLE> table;
    table.reset(BUILTIN, 2);
    box.updatestyles(table, table.get("2D GRAPHIC"));
    EXPECT_EQ(box.getstyle().style.penwidth, 101600) << "a style of its own survives a refresh";

    SYMBOL symbol("$MKRNODE");
    PR_SYM marker(CTS(), &symbol, graphic);
    EXPECT_EQ(marker.edit(), 0);
}

TEST(KelmarDialogs, ThePropertyToolIsArmedWithAnAssignmentAndAScope)
{
    Started started;
    RecordedBoxes recorded;
    PROPTOOL tool;
    int scope = PS_TAGGED;
    later([] {
        SHOWN form("prop_tool");
        form.type("ASSIGNMENT", "REF");
        form.press("OK");
        EXPECT_EQ(boxes().size(), 1u) << "an assignment needs NAME=VALUE";
        form.type("ASSIGNMENT", "REF=U#");
        form.widget<QSpinBox>("COUNT")->setValue(7);
        form.choose("All objects on all sheets");
        form.press("OK");
    });
    ASSERT_EQ(tool.edit(&scope), 1);
    EXPECT_EQ(scope, PS_ALL);
    EXPECT_EQ(tool.test(PA_SET, "REF"), 1);
    EXPECT_STREQ(tool.nextvalue(), "U7");

    later([] {
        SHOWN form("prop_tool");
        EXPECT_EQ(form.widget<QLineEdit>("ASSIGNMENT")->text(), "REF=U#");
        form.choose("&Hide");
        form.type("ASSIGNMENT", "PACKAGE");
        form.press("OK");
    });
    ASSERT_EQ(tool.edit(&scope), 1);
    EXPECT_EQ(tool.test(PA_HIDE, "PACKAGE"), 1);
    later([] { SHOWN("prop_tool").press("CANCEL"); });
    EXPECT_EQ(tool.edit(&scope), 0);
    EXPECT_EQ(tool.test(PA_HIDE, "PACKAGE"), 1) << "cancelled, the tool stays as it was";
}
