#include "shell/main/aboutbox.h"

#include <gtest/gtest.h>

#include "shell/main/tests/programabouttexts.h"

namespace {

TEST(AboutBox, TheReleaseLineComesFromTheProgramsVersionResource)
{
    const ABOUTTEXTS texts = programabouttexts(123456789);
    EXPECT_EQ(texts.release, "Release 8.12 SP0 (Build 30713) with Advanced Simulation");
    EXPECT_EQ(texts.memory, "123,456,789");
    EXPECT_EQ(texts.pins, "0");
    EXPECT_EQ(texts.controls.rfind("(Common Controls v6.", 0), 0u) << texts.controls;
    EXPECT_FALSE(texts.system.empty());
}

TEST(AboutBox, FreeMemoryIsGroupedAndPast31BitsSaysSo)
{
    const std::pair<unsigned long long, const char*> cases[] = {
        { 0, "0" },
        { 999, "999" },
        { 1000, "1,000" },
        { 2147483647ull, "2,147,483,647" },
        { 2147483648ull, "> 2G" },
        { 17179869184ull, "> 2G" },
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(memorytext(bytes), text) << bytes;
}

} // namespace
