#include "simulator/kernel/tests/kerneltesting.h"

#include "simulator/kernel/exports.h"

#include <cstdlib>

namespace {

TEST(FrontEnd, NewIdentifiersJoinOldAndSuffix)
{
    struct Case {
        const char* old;
        const char* suffix;
        const char* made;
    } cases[] = { { "R1", "int", "#R1#int" }, { nullptr, "branch", "branch" }, { "", "x", "##x" } };
    for (const Case& c : cases) {
        IFuid made = nullptr;
        EXPECT_EQ(spicefrontend.newUid(nullptr, &made, c.old, c.suffix, UID_SIGNAL), 0);
        EXPECT_STREQ(made, c.made);
        spicefrontend.deleteUid(nullptr, made, UID_SIGNAL);
    }
}

TEST(FrontEnd, DigitalHooksAreSetTogetherAndClearedTogether)
{
    setdigitalhooks(true);
    EXPECT_TRUE(spicefrontend.digitalSetup && spicefrontend.digitalResume && spicefrontend.digitalBootStep
        && spicefrontend.digitalTimeStep && spicefrontend.digitalAccept);
    setdigitalhooks(false);
    EXPECT_FALSE(spicefrontend.digitalSetup || spicefrontend.digitalResume || spicefrontend.digitalBootStep
        || spicefrontend.digitalTimeStep || spicefrontend.digitalAccept);
    EXPECT_FALSE(spicefrontend.unused7 || spicefrontend.unused8 || spicefrontend.unused9 || spicefrontend.unused10);
}

// A host whose window lives in another process, with the key and foreground state a test sets.
struct FOREIGNHOST {
    static inline bool alive = true;
    static inline bool escape = false;
    static inline HWND foreground = nullptr;
    static inline const HWND window = reinterpret_cast<HWND>(0x20);
    static inline const HWND root = reinterpret_cast<HWND>(0x21);

    static LRESULT send(HWND, UINT, WPARAM, LPARAM) { return 0; }
    static BOOL iswindow(HWND handle) { return alive && handle == window; }
    static HWND getforeground() { return foreground; }
    static SHORT keystate(int key) { return key == 0x1B && escape ? static_cast<SHORT>(0x8000) : 0; }
    static HWND ancestor(HWND, UINT) { return root; }
    static DWORD process(HWND, DWORD* id)
    {
        *id = static_cast<DWORD>(getpid()) + 1;
        return 7;
    }
    static inline const HOSTLINK link { sizeof(HOSTLINK), send, iswindow, getforeground, keystate, ancestor, process };
};

class EscapeTest : public KernelTest { };

TEST_F(EscapeTest, OnlyEscapeInTheForegroundHostOrItsDeathStopsABatchRun)
{
    struct Case {
        bool alive;
        bool escape;
        HWND foreground;
        int result;
    } cases[] = {
        { true, false, FOREIGNHOST::root, 0 },
        { true, true, reinterpret_cast<HWND>(0x99), 0 },
        { true, true, FOREIGNHOST::root, 1 },
        { false, false, nullptr, 1 },
    };
    sethostlink(&FOREIGNHOST::link);
    for (const Case& c : cases) {
        signon(0, FOREIGNHOST::window);
        EXPECT_EQ(hostrootwindow, FOREIGNHOST::root);
        FOREIGNHOST::alive = c.alive;
        FOREIGNHOST::escape = c.escape;
        FOREIGNHOST::foreground = c.foreground;
        EXPECT_EQ(esctest(), c.result) << c.alive << c.escape;
        EXPECT_EQ(simabort.load(), c.result);
    }
    FOREIGNHOST::alive = true;
    FOREIGNHOST::escape = false;
}

TEST_F(EscapeTest, HostInThisProcessLeavesOnlyTheAbortRequest)
{
    signon(0, reinterpret_cast<HWND>(0x30));
    EXPECT_EQ(hostrootwindow, nullptr);
    EXPECT_EQ(esctest(), 0);
    signalabort();
    EXPECT_EQ(esctest(), 1);
    signon(0, reinterpret_cast<HWND>(0x30));
    EXPECT_EQ(esctest(), 0);
}

}  // namespace
