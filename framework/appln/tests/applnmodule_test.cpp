#include "framework/appln/applnmodule.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>
#include <string>
#include <vector>

#include "framework/appln/tests/testprocess.h"
#include "framework/context/stringtranslator.h"
#include "platform/win/messages.h"

namespace {

// A module on its own (no process), recording the commands it is given.
class PLAINMODULE : public APPLNMODULE {
public:
    PLAINMODULE()
        : APPLNMODULE(nullptr)
    {
    }
    std::vector<std::string> seen;
    int docommand(unsigned short id) override
    {
        seen.push_back("module " + std::to_string(id) + (getapplnmodule() == this ? " in context" : ""));
        return id == 2;
    }
    using APPLNMODULE::context;
    using APPLNMODULE::dialogcbfs;
};

class COMMANDWINDOW : public APPLNWINDOW {
public:
    std::vector<std::string>* seen = nullptr;
    int docommand(unsigned short id) override
    {
        seen->push_back("window " + std::to_string(id));
        return id == 1;
    }
};

TEST(ModuleBase, ContextsNestAndAPopOnAnEmptyStackLeavesNone)
{
    PLAINMODULE outer;
    PLAINMODULE inner;
    APPLNCONTEXT* before = getapplncontext();
    outer.pushcontext();
    EXPECT_EQ(getapplnmodule(), &outer);
    inner.pushcontext();
    EXPECT_EQ(getapplnmodule(), &inner);
    inner.popcontext();
    EXPECT_EQ(getapplnmodule(), &outer);
    outer.popcontext();
    EXPECT_EQ(getapplncontext(), before);
    outer.pushcontext();
    outer.popcontext();
    outer.popcontext();
    EXPECT_EQ(getapplncontext(), defaultapplncontext) << "no context of the thread's own";
}

TEST(ModuleBase, TheInterfaceTableHoldsTheModuleInItsFirstTwoSlotsAndIgnoresIdsPast255)
{
    PLAINMODULE module;
    PLAINMODULE other;
    EXPECT_EQ(module.queryinterface(0), static_cast<IMODULE*>(&module));
    EXPECT_EQ(module.queryinterface(1), static_cast<IMODULE*>(&module));
    EXPECT_EQ(module.queryinterface(2), nullptr);
    module.setinterface(255, &other);
    module.setinterface(256, &other);
    EXPECT_EQ(module.queryinterface(255), static_cast<IMODULE*>(&other));
    EXPECT_EQ(module.queryinterface(256), nullptr);
}

TEST(ModuleBase, ACommandGoesToTheWindowThenToTheModuleInTheModulesContext)
{
    PLAINMODULE module;
    COMMANDWINDOW window;
    window.seen = &module.seen;
    window.setowner(&module);
    struct Case {
        unsigned short id;
        int handled;
        std::vector<std::string> seen;
    } cases[] = {
        { 1, 1, { "window 1" } },
        { 2, 1, { "window 2", "module 2 in context" } },
        { 3, 0, { "window 3", "module 3 in context" } },
    };
    for (const Case& c : cases) {
        module.seen.clear();
        EXPECT_EQ(module.oncommand(&window, c.id), c.handled) << c.id;
        EXPECT_EQ(module.seen, c.seen) << c.id;
    }
    EXPECT_EQ(getapplnmodule(), nullptr) << "the context is popped again";
}

TEST(ModuleBase, TheTitleIsTranslatedInTheContextOfTheName)
{
    struct TITLES : QTranslator {
        bool isEmpty() const override { return false; }
        QString translate(const char* context, const char* source, const char*, int) const override
        {
            return QString(context) == "SCHEMATIC" && QString(source) == "Schematic" ? "Schema" : QString();
        }
    } titles;
    QCoreApplication::installTranslator(&titles);
    STRINGTRANSLATOR translator;
    PLAINMODULE module;
    module.context.translator = &translator;
    module.setapplnname("SCHEMATIC", "Schematic");
    EXPECT_STREQ(module.getapplntitle(), "Schema");
    module.setapplnname("OTHER", "Schematic");
    EXPECT_STREQ(module.getapplntitle(), "Schematic");
    EXPECT_STREQ(module.getregistrykey(), "OTHER");
    QCoreApplication::removeTranslator(&titles);
}

TEST(ModuleBase, RemovingThePrimaryWindowClosesTheModulesOtherWindows)
{
    appltest::TESTPROCESS process;
    struct PRIMARYMODULE : PLAINMODULE {
        void makeprimary(APPLNWINDOW* window) { primarywindow = window; }
    } module;
    APPLNWINDOW primary;
    APPLNWINDOW second;
    process.start = [&] {
        for (APPLNWINDOW* window : { &primary, &second }) {
            window->setowner(&module);
            window->createwindow(process.getframe(0));
        }
        module.makeprimary(&primary);
        EXPECT_EQ(module.numwindows(), 2);
        primary.destroywindow();
        EXPECT_EQ(module.numwindows(), 0);
        EXPECT_EQ(second.getparentframe(), nullptr) << "closed with the primary window";
        return 1;
    };
    process.runall();
}

TEST(ModuleBase, KeysBecomeTheWindowsCommandsOrTheGlobalOnesOfItsFrame)
{
    appltest::TESTPROCESS process;
    static std::vector<WPARAM> commands;
    commands.clear();
    struct KEYWINDOW : APPLNWINDOW {
        LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_COMMAND)
                commands.push_back(wParam);
            return APPLNWINDOW::msghlr(window, message, wParam, lParam);
        }
    } window;
    process.start = [&] {
        window.setowner(&process);
        window.createwindow(process.getframe(0));
        process.getcmdinfotable()->addcommand(0x110, 0x305, "&Window command", nullptr);
        process.getkeytranslator()->assign(0x110, 0x305, 0x74);
        process.getkeytranslator()->assign(0x100, 0x200, 0x75);
        for (WPARAM key : { 0x74, 0x75, 0x76 }) {
            MSG down {};
            down.hwnd = window.hwnd;
            down.message = WM_KEYDOWN;
            down.wParam = key;
            EXPECT_EQ(process.onwantkey(&window, static_cast<unsigned long>(key), &down), key != 0x76) << key;
        }
        EXPECT_EQ(commands, std::vector<WPARAM> { MAKEWPARAM(0x305, 1) })
            << "the global key goes to the frame";
        return 1;
    };
    process.runall();
}

TEST(ModuleBase, TheVersionOfAFileWithoutOneIsZero)
{
    EXPECT_EQ(APPLNMODULE::packedversion(GetModuleHandleA("libkestril.so")), 0u);
    EXPECT_EQ(APPLNMODULE::packedversion(GetModuleHandleA(nullptr)), ((1u << 8 | 2u) << 16) | 3u);
}

} // namespace

TEST(ModuleBase, FormCallbacksAreFoundByFormNameWithoutRegardToCase)
{
    PLAINMODULE module;
    static FORM_CBITEM table[] = { { "core_settings", [](FORM&, unsigned, unsigned, long) { return DLG_HANDLED; } },
        { "help_about", nullptr } };
    for (FORM_CBITEM& row : table)
        module.dialogcbfs.add(&row);
    EXPECT_EQ(module.getdialogcbf("CORE_SETTINGS"), table[0].proc);
    EXPECT_EQ(module.getdialogcbf("help_about"), nullptr);
    EXPECT_EQ(module.getdialogcbf("wuno_settings"), nullptr);
    EXPECT_STREQ(module.getdialogctrltypename(179), "UNKNOWN");
}
