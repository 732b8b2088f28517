#include "platform/win/messagebox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/faults.h"
#include "testsupport/deliberate_faults.h"

namespace {

std::vector<std::string> shown;

int recordbox(HWND, const char* text, const char* caption, UINT style)
{
    shown.push_back(std::string(caption) + "|" + text + "|" + std::to_string(style));
    return 7;
}

} // namespace

TEST(MessageBox, GoesThroughTheHookOrToStandardError)
{
    shown.clear();
    EXPECT_EQ(setmessageboxhook(recordbox), nullptr);
    EXPECT_EQ(MessageBoxA(nullptr, "text", "Caption", MB_ICONHAND), 7);
    EXPECT_EQ(shown, std::vector<std::string> { "Caption|text|16" });
    EXPECT_EQ(setmessageboxhook(nullptr), recordbox);

    testing::internal::CaptureStderr();
    EXPECT_EQ(
        MessageBoxA(nullptr, "Internal exception: out of memory.", "Fatal Error", MB_ICONHAND | MB_TASKMODAL),
        IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Fatal Error: Internal exception: out of memory.\n");
    EXPECT_TRUE(MessageBeep(0));
}

TEST(MessageBox, InsideTheFaultHandlerOnlyStandardErrorIsUsed)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setmessageboxhook(recordbox);
            _set_se_translator([](unsigned, EXCEPTION_POINTERS*) {
                MessageBoxA(nullptr, "from the handler", "Fatal Error", MB_ICONHAND);
                _exit(shown.empty() ? 1 : 2);
            });
            vkt::test::writenull();
        },
        testing::ExitedWithCode(1), "Fatal Error: from the handler");
}
