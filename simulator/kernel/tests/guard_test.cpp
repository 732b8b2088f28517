#include "simulator/kernel/tests/kerneltesting.h"

#include "simulator/kernel/guard.h"
#include "simulator/kernel/stallwatch.h"
#include "testsupport/deliberate_faults.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

class GuardTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        signon();
    }
};

TEST_F(GuardTest, EveryKindOfFailureEndsTheWorkWithItsLine)
{
    struct Case {
        void (*body)();
        const char* line;
    } cases[] = {
        { [] { simfatal("Failed to create analysis %s", "TRAN"); }, "#F:Failed to create analysis TRAN\n" },
        { [] { throw std::bad_alloc(); }, "#X:Internal exception: out of memory.\n" },
        { [] { throw std::runtime_error("vector too long"); }, "#X:Internal Exception: vector too long.\n" },
        { [] {
              volatile int* nowhere = nullptr;
              *nowhere = 1;
          },
            "#X:Internal Exception: access violation in module '" },
    };
    for (const Case& c : cases) {
        simstatus = 0;
        mark = size();
        EXPECT_FALSE(guarded(c.body));
        EXPECT_EQ(log().rfind(c.line, 0), 0u) << log();
        EXPECT_EQ(simstatus, 3);
    }
    EXPECT_TRUE(guarded([] { }));
}

// The program's own file name: the module the deliberate faults of this test lie in.
std::string program()
{
    return std::filesystem::read_symlink("/proc/self/exe").filename();
}

TEST_F(GuardTest, AbortEndsTheWorkNamingTheModuleThatCalledIt)
{
    EXPECT_FALSE(guarded([] { std::abort(); }));
    EXPECT_EQ(log().rfind("#X:Internal Exception: abort called in module '" + program() + "' [", 0), 0u) << log();
    EXPECT_EQ(simstatus, 3);
}

TEST_F(GuardTest, WorkWithoutProgressEndsAfterTheStallLimitUnlessTheHostIsAnswering)
{
    stallseconds = 1;
    auto spin = [](bool progressing) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
        while (std::chrono::steady_clock::now() < end) {
            if (progressing)
                noteprogress();
        }
    };
    EXPECT_TRUE(guarded([&] { spin(true); }));
    EXPECT_TRUE(guarded([] {
        HOSTWAIT answering;
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    }));
    EXPECT_EQ(log(), "");
    EXPECT_FALSE(guarded([] {
        volatile unsigned count = 0;
        for (;;)
            count = count + 1;
    }));
    stallseconds = 0;
    EXPECT_EQ(log().rfind(
                  "#X:The simulation made no progress for 1 seconds (in module '" + program() + "') and was stopped.\n", 0),
        0u)
        << log();
    EXPECT_EQ(simstatus, 3);
}

TEST_F(GuardTest, NestedGuardCatchesFirstAndTheHostHandlersReturn)
{
    struct sigaction host {};
    host.sa_handler = SIG_IGN;
    sigemptyset(&host.sa_mask);
    struct sigaction previous {};
    sigaction(SIGFPE, &host, &previous);

    std::vector<int> steps;
    bool outer = guarded([&] {
        bool inner = guarded([] { vkt::test::dividebyzero(); });
        steps.push_back(inner ? 1 : 0);
    });
    EXPECT_TRUE(outer);
    EXPECT_EQ(steps, std::vector<int> { 0 });
    EXPECT_NE(log().find("#X:Internal Exception: divide by zero in module '"), std::string::npos) << log();

    struct sigaction after {};
    sigaction(SIGFPE, nullptr, &after);
    EXPECT_EQ(after.sa_handler, SIG_IGN);
    sigaction(SIGFPE, &previous, nullptr);
}

}  // namespace
