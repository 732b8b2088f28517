#include "platform/win/faults.h"
#include "platform/win/modules.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "testsupport/deliberate_faults.h"

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

void reportcallermodule(unsigned code, EXCEPTION_POINTERS* info)
{
    bool here = modulefromaddress(info->ExceptionRecord->ExceptionAddress)
        == modulefromaddress(reinterpret_cast<const void*>(&reportcallermodule));
    fprintf(stderr, "code %08X in the %s module\n", code, here ? "caller's" : "wrong");
    fflush(stderr);
    _exit(1);
}

} // namespace

using namespace vkt::test;

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

TEST_F(Faults, AbortReachesTheTranslatorWhereItWasCalledOnlyWhenAsked)
{
    EXPECT_EXIT(
        {
            _set_se_translator(reportcallermodule);
            translateabort();
            abort();
        },
        testing::ExitedWithCode(1), "code C0000409 in the caller's module");
    EXPECT_EXIT(
        {
            _set_se_translator(reportcallermodule);
            abort();
        },
        testing::KilledBySignal(SIGABRT), "");
    EXPECT_EXIT(
        {
            _set_se_translator(passon);
            translateabort();
            abort();
        },
        testing::KilledBySignal(SIGABRT), "");
}
