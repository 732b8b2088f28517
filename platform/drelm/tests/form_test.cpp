#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <cstring>

#include "core/windows/stringtable.h"
#include "platform/drelm/control.h"
#include "platform/drelm/form.h"
#include "platform/drelm/tests/drelmtest.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"

using namespace drelmtest;

namespace {

struct Event {
    unsigned msg;
    unsigned wparam;
    long lparam;
};

// A callback that records what the form tells it, with what its controls hold at that moment,
// and may answer an event.
struct Recorder final : IFORMHANDLER {
    std::vector<Event> events;
    std::string nameatclosing;
    int flagatclosing = -1;
    std::function<DLGCODES(FORM&, unsigned, unsigned, long)> answer;

    DLGCODES callback(FORM& form, unsigned msg, unsigned wparam, long lparam) override
    {
        events.push_back({ msg, wparam, lparam });
        if (msg == DLGM_CLOSING) {
            nameatclosing = form.getctrl("name") ? form.getctrl("name")->text() : "";
            flagatclosing = form.getctrl("FLAG") ? form.getctrl("FLAG")->ischecked() : -1;
        }
        return answer ? answer(form, msg, wparam, lparam) : DLG_DEFAULT;
    }

    std::vector<unsigned> messages() const
    {
        std::vector<unsigned> ids;
        for (const Event& e : events)
            ids.push_back(e.msg);
        return ids;
    }
};

struct Bound {
    char name[32] = "before";
    int flag = 0;
    double amount = 0.5;
    int choice = 2;
};

int openmodal(FORM& form, Bound& b)
{
    return form.open(DLG_MODAL, LT_VARARGS, "Title", b.name, &b.flag, &b.amount, &b.choice);
}

} // namespace

TEST(Form, AModalFormTakesItsValuesAndTheCallbackSeesThemWhenOKIsPressedById)
{
    Started started;
    Recorder recorder;
    FORM form(nullptr, "testform", &recorder);
    Bound b;
    recorder.answer = [](FORM& f, unsigned msg, unsigned, long) {
        if (msg == DLGM_START) {
            // What the bound arguments showed, then the test's own values.
            EXPECT_EQ(f.getctrl("NAME")->text(), "before");
            EXPECT_EQ(f.getctrl("CHOICE")->getvalue(), 2);
            EXPECT_EQ(f.getctrl("AMOUNT")->text(), "500mV");
            f.getctrl("NAME")->settext("Zoë");
            f.getctrl("FLAG")->check(1);
            f.getctrl("AMOUNT")->settext("4k7");
            later([&f] { EXPECT_EQ(f.pressbutton(IDOK), 1); });
        }
        return DLG_DEFAULT;
    };
    EXPECT_EQ(openmodal(form, b), IDOK);
    EXPECT_EQ(form.getstate(), FS_CONFIRMED);
    EXPECT_EQ((recorder.messages()),
        (std::vector<unsigned> { DLGM_START, DLGM_VALIDATE, DLGM_CLOSING, DLGM_DESTROY }));
    EXPECT_EQ(recorder.events[2].wparam, static_cast<unsigned>(IDOK));
    EXPECT_EQ(recorder.nameatclosing, "Zoë");
    EXPECT_EQ(recorder.flagatclosing, 1);
    EXPECT_STREQ(b.name, "Zoë");
    EXPECT_EQ(b.flag, 1);
    EXPECT_DOUBLE_EQ(b.amount, 4700);
    EXPECT_EQ(b.choice, 2);
    EXPECT_FALSE(IsWindow(form.gethwnd()));
}

TEST(Form, CancelLeavesTheBoundValuesAndARefusedOKKeepsTheFormOpen)
{
    Started started;
    Recorder recorder;
    FORM form(nullptr, "TESTFORM", &recorder);
    Bound b;
    int validations = 0;
    recorder.answer = [&](FORM& f, unsigned msg, unsigned, long) {
        if (msg == DLGM_START) {
            f.getctrl("NAME")->settext("changed");
            later([&f] { f.pressbutton(IDOK); });
        }
        if (msg == DLGM_VALIDATE) {
            ++validations;
            later([&f] {
                EXPECT_EQ(f.getstate(), FS_RUNNING) << "still open after the refusal";
                f.pressbutton(IDCANCEL);
            });
            return DLG_HANDLED;
        }
        return DLG_DEFAULT;
    };
    EXPECT_EQ(openmodal(form, b), IDCANCEL);
    EXPECT_EQ(validations, 1);
    EXPECT_EQ(form.getstate(), FS_CANCELLED);
    EXPECT_STREQ(b.name, "before");
}

TEST(Form, ControlsAreFoundByNameOrIdAndReportWhatTheUserDoes)
{
    Started started;
    Recorder recorder;
    FORM form(nullptr, "TESTFORM", &recorder);
    Bound b;
    recorder.answer = [](FORM& f, unsigned msg, unsigned, long) {
        if (msg != DLGM_START)
            return DLG_DEFAULT;
        later([&f] {
            EXPECT_EQ(f.getctrl("apply"), f.getctrl(150));
            EXPECT_EQ(f.getctrlid("APPLY"), 150);
            EXPECT_EQ(f.getctrl("pushButton"), nullptr) << "a control with neither id nor name of its own";
            EXPECT_GE(f.getctrlid("COUNT"), 0x4000) << "an id of the library's own";
            EXPECT_EQ(f.getctrl("NOSUCH"), nullptr);
            EXPECT_EQ(f.enable(150, 0), 1);
            EXPECT_FALSE(f.getctrl(150)->isenabled());
            EXPECT_EQ(f.pressbutton(150), 0) << "a disabled button";
            f.enable(150, 1);
            EXPECT_EQ(f.show(150, 0), 1);
            EXPECT_FALSE(f.getctrl(150)->isvisible());
            EXPECT_EQ(f.show(999, 0), 0);
            f.show(150, 1);
            f.pressbutton(150);
            qobject_cast<QAbstractButton*>(f.getctrl("FLAG")->getwidget())->click();
            f.getctrl("CHOICE")->enablechoice(0, 0);
            EXPECT_EQ(f.getctrl("CHOICE")->getwidget(), nullptr) << "a group is no widget";
            f.getroot()->findChild<QRadioButton*>("second")->click();
            auto* name = qobject_cast<QLineEdit*>(f.getctrl("NAME")->getwidget());
            name->setFocus();
            name->setText("typed");
            name->setModified(true);
            emit name->editingFinished();
            f.pressbutton(145); // a button that ends the form with its id
        });
        return DLG_DEFAULT;
    };
    EXPECT_EQ(openmodal(form, b), 145);
    std::vector<Event> commands;
    for (const Event& e : recorder.events)
        if (e.msg == DLGM_COMMAND || e.msg == DLGM_UPDATE)
            commands.push_back(e);
    ASSERT_EQ(commands.size(), 4u);
    EXPECT_EQ(commands[0].msg, DLGM_COMMAND);
    EXPECT_EQ(commands[0].wparam, 150u);
    EXPECT_EQ(commands[1].lparam, 1) << "the check box's new state";
    EXPECT_EQ(commands[2].lparam, 1) << "the radio group's new choice";
    EXPECT_EQ(commands[3].msg, DLGM_UPDATE);
    EXPECT_STREQ(b.name, "before") << "nothing is written back without OK";
}

TEST(Form, AModelessFormStaysOpenWhileTheLoopRunsAndEndsWithItsButton)
{
    Started started;
    Recorder recorder;
    FORM form(nullptr, "TESTFORM", &recorder);
    ASSERT_EQ(form.open(DLG_MODELESS, LT_NONE), 1);
    EXPECT_EQ(form.getstate(), FS_RUNNING);
    wintest::turnuntil([] { return false; }, 300);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    EXPECT_EQ(form.getstate(), FS_RUNNING);
    EXPECT_TRUE(IsWindowVisible(form.gethwnd()));
    EXPECT_EQ(form.open(DLG_MODELESS, LT_NONE), 1) << "opening an open form shows it";

    PostMessageA(form.gethwnd(), 0x900, 7, 9); // the form's own messages reach the callback
    wintest::turnuntil([&] { return !recorder.events.empty() && recorder.events.back().msg == 0x900; });
    EXPECT_EQ(recorder.events.back().wparam, 7u);

    EXPECT_EQ(form.pressbutton(IDOK), 1);
    EXPECT_EQ(form.getstate(), FS_CONFIRMED);
    EXPECT_FALSE(IsWindow(form.gethwnd()));
}

TEST(Form, AChildFormLoadsIntoItsParentWindowAndGoesWithIt)
{
    Started started;
    HWND parent = wintest::toplevel(50, 50, 500, 400, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Recorder recorder;
    FORM form(nullptr, "TESTFORM", &recorder);
    ASSERT_EQ(form.load(parent, 1), 1);
    ASSERT_EQ(form.open(DLG_MODELESS, LT_NONE), 1);
    HWND child = form.gethwnd();
    EXPECT_EQ(GetParent(child), parent);
    EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_CHILD);
    EXPECT_EQ(form.getroot()->window(), winqt::widgetof(parent)) << "its widgets are inside the parent's";
    SetWindowPos(child, nullptr, 0, 0, 480, 350, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ(form.getroot()->size(), QSize(480, 350));

    DestroyWindow(parent);
    EXPECT_EQ(form.getstate(), FS_CANCELLED) << "ended with its parent";
    EXPECT_EQ(recorder.messages().back(), DLGM_DESTROY);
    EXPECT_EQ(form.getctrl("NAME"), nullptr);
}

TEST(Form, AMissingOrDamagedLayoutIsAnErrorNamingTheForm)
{
    Started started;
    RecordedBoxes recorded;
    const struct {
        const char* name;
        const char* problem;
    } cases[] = {
        { "NOSUCHFORM", "The form 'NOSUCHFORM' cannot be found." },
        { "DEEP", "nest deeper than 64 levels" },
        { "UNKNOWN", "widget class 'QWebEngineView' is not allowed" },
        { "HUGE", "the width 1000000000 is out of range" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boxes().clear();
        FORM form(nullptr, c.name);
        EXPECT_EQ(form.open(DLG_MODAL, LT_NONE), -1);
        EXPECT_EQ(form.open(DLG_MODELESS, LT_NONE), 0);
        ASSERT_EQ(boxes().size(), 2u);
        EXPECT_EQ(boxes()[0].caption, "Error");
        EXPECT_NE(boxes()[0].text.find(c.name), std::string::npos) << boxes()[0].text;
        EXPECT_NE(boxes()[0].text.find(c.problem), std::string::npos) << boxes()[0].text;
        EXPECT_EQ(form.getstate(), FS_CLOSED);
    }
}

TEST(Form, RmGetBindsItsArgumentsAndCallsTheCallbackTheFactoryRegistered)
{
    Started started;
    static std::vector<unsigned> seen;
    seen.clear();
    Factory factory;
    factory.callbacks = [](const char* name) -> FORMPROC {
        if (strcasecmp(name, "testform") != 0)
            return nullptr;
        return [](FORM& form, unsigned msg, unsigned, long) {
            seen.push_back(msg);
            if (msg == DLGM_START) {
                form.getctrl("COUNT")->setvalue(7);
                later([&form] { form.pressbutton(IDOK); });
            }
            return DLG_DEFAULT;
        };
    };
    Bound b;
    EXPECT_EQ(rm_get("TESTFORM", "Tool", b.name, &b.flag, &b.amount, &b.choice), IDOK);
    EXPECT_EQ(seen.front(), DLGM_START);
    EXPECT_EQ(seen.back(), DLGM_DESTROY);
    EXPECT_DOUBLE_EQ(b.amount, 0.5) << "written back unchanged";
}

TEST(Form, TabPagesArePageFormsWhoseControlsBindInControlOrder)
{
    Started started;
    static std::vector<std::string> pagesstarted;
    pagesstarted.clear();
    Factory factory;
    factory.callbacks = [](const char* name) -> FORMPROC {
        if (strcasecmp(name, "PAGEA") != 0)
            return nullptr;
        return [](FORM& page, unsigned msg, unsigned, long) {
            if (msg == DLGM_START)
                pagesstarted.push_back(page.getname());
            if (msg == DLGM_VALIDATE && page.getctrl("A_TEXT")->text() == "refuse")
                return DLG_HANDLED;
            return DLG_DEFAULT;
        };
    };
    char text[16] = "page a";
    int flag = 1;
    int level = 33;
    FORM form(nullptr, "TABBED");
    int refused = 0;
    later([&] {
        EXPECT_EQ(form.getctrl("A_TEXT")->text(), "page a");
        EXPECT_EQ(form.getctrl("A_FLAG")->getform()->getparentform(), &form);
        EXPECT_EQ(form.getctrl("B_LEVEL")->getvalue(), 33);
        form.getctrl("A_TEXT")->settext("refuse");
        form.pressbutton(IDOK);
        refused = form.getstate() == FS_RUNNING;
        form.getctrl("A_TEXT")->settext("a much longer text than fits");
        form.getctrl("B_LEVEL")->setvalue(44);
        form.pressbutton(IDOK);
    });
    EXPECT_EQ(form.open(DLG_MODAL, LT_VARARGS, text, &flag, &level), IDOK);
    EXPECT_EQ(pagesstarted, std::vector<std::string> { "PAGEA" });
    EXPECT_TRUE(refused) << "a page's validation keeps the form open";
    EXPECT_STREQ(text, "a much longer t") << "cut to the buffer";
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(level, 44);
}

TEST(Form, TextsAreTranslatedByTheModulesTranslatorInItsContext)
{
    Started started;
    struct German final : ITRANSLATE {
        std::vector<std::string> contexts;
        char* translate(const char* text, const char* context) override
        {
            contexts.push_back(context);
            if (strcmp(text, "Cancel") == 0)
                return strdup("Abbrechen");
            return strcmp(text, "Test %s") == 0 ? strdup("Prüfung %s") : nullptr;
        }
        char* translate(const char* text, const char* context, const char*) override
        {
            return translate(text, context);
        }
    } german;
    Factory factory;
    factory.translator = &german;
    FORM form(nullptr, "TESTFORM");
    ASSERT_EQ(form.load(nullptr, 0), 1);
    EXPECT_EQ(form.getctrl(IDCANCEL)->text(), "Abbrechen");
    EXPECT_EQ(form.getctrl(IDOK)->text(), "OK") << "a text without a translation stays";
    char title[32] = {};
    GetWindowTextA(form.gethwnd(), title, sizeof title);
    EXPECT_STREQ(title, "Prüfung ") << "translated, then the bound title (none here) in place of %s";
    EXPECT_EQ(german.contexts.front(), "Tests") << "the module's context";
}

TEST(Form, ReturnInAnEditGoesToTheCallbackFirstThenPressesTheDefaultButtonAndEscapeCancels)
{
    Started started;
    Recorder recorder;
    int keys = 0;
    recorder.answer = [&](FORM&, unsigned msg, unsigned wparam, long) {
        if (msg != DLGM_KEY)
            return DLG_DEFAULT;
        ++keys;
        return keys == 1 && HIWORD(wparam) == 13 ? DLG_HANDLED : DLG_DEFAULT;
    };
    for (int key : { Qt::Key_Return, Qt::Key_Escape }) {
        FORM form(nullptr, "TESTFORM", &recorder);
        ASSERT_EQ(form.open(DLG_MODELESS, LT_NONE), 1);
        SetActiveWindow(form.gethwnd());
        QWidget* name = form.getctrl("NAME")->getwidget();
        wintest::turnuntil([&] { return QApplication::activeWindow() == name->window(); });
        name->setFocus();
        auto press = [&] {
            QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(name, &down);
        };
        press();
        if (key == Qt::Key_Return) {
            EXPECT_EQ(form.getstate(), FS_RUNNING) << "the callback took the first Return";
            press();
            EXPECT_EQ(form.getstate(), FS_CONFIRMED);
        } else {
            EXPECT_EQ(form.getstate(), FS_CANCELLED);
        }
    }
    EXPECT_EQ(keys, 3) << "two Returns and an Escape reached the callback";
}
