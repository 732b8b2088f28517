#include "simulator/kernel/tests/kerneltesting.h"

#include "simulator/kernel/guard.h"
#include "testsupport/deliberate_faults.h"

#include <csignal>
#include <stdexcept>
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
