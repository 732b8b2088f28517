#include "platform/win/faults.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

namespace {

// Each fault runs in a child: the test program started again for that one test.
class Faults : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

void reportandexit(unsigned code, EXCEPTION_POINTERS* info)
{
    fprintf(
        stderr, "code %08X at %s\n", code, info->ExceptionRecord->ExceptionAddress ? "an address" : "null");
    fflush(stderr);
    _exit(1);
}

void passon(unsigned, EXCEPTION_POINTERS*)
{
}

volatile int zero = 0;
volatile int hundred = 100;
int* volatile nowhere = nullptr;

int recurse(int depth)
{
    volatile char frame[512];
    frame[depth % sizeof frame] = 1;
    int (*volatile self)(int) = recurse; // opaque to the optimiser, so the frames stay
    return self(depth + 1) + frame[0];
}

void writenull()
{
    *nowhere = 1;
}

void dividebyzero()
{
    fprintf(stderr, "%d", hundred / zero);
}

void overflowstack()
{
    fprintf(stderr, "%d", recurse(0));
}

void trap()
{
    __builtin_trap();
}

} // namespace

TEST_F(Faults, EachFaultReachesTheTranslatorWithItsCode)
{
    struct {
        void (*fault)();
        const char* report;
    } cases[] = {
        { writenull, "code C0000005 at an address" },
        { dividebyzero, "code C0000094 at an address" },
        { overflowstack, "code C00000FD at an address" },
        { trap, "code C000001D at an address" },
    };
    for (const auto& c : cases) {
        EXPECT_EXIT(
            {
                _set_se_translator(reportandexit);
                c.fault();
            },
            testing::ExitedWithCode(1), c.report);
    }
}

TEST_F(Faults, PassedOnFaultsTakeTheirDefaultCourse)
{
    EXPECT_EXIT(
        {
            _set_se_translator(passon);
            writenull();
        },
        testing::KilledBySignal(SIGSEGV), "");
    EXPECT_EXIT(
        {
            _set_se_translator(passon);
            raise(SIGBUS);
        },
        testing::KilledBySignal(SIGBUS), "");
    EXPECT_FALSE(infaulthandler());
}
