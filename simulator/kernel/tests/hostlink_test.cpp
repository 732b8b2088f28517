#include "simulator/kernel/tests/kerneltesting.h"

#include "engines/fakes/recorder.h"
#include "engines/fakes/spice.h"
#include "platform/win/messages.h"
#include "platform/win/structs.h"

namespace {

class HostLinkTest : public KernelTest { };

TEST_F(HostLinkTest, TextGoesAsCopyDataInABatchRunAndAsMessageInAnInteractiveOne)
{
    HWND host = reinterpret_cast<HWND>(0x40);
    signon(0, nullptr);
    EXPECT_EQ(hostprintf("nobody %d", 1), -1);
    signon(0, host);
    EXPECT_EQ(hostprintf("batch %d", 2), 7);
    EXPECT_EQ(sendhostmessage(WM_HOSTELEMENT, 1, 2), 0);
    signon(1, host);
    recordedhostmessages().clear();
    hostprintf("%s", std::string(1500, 'x').c_str());
    sendhostmessage(WM_HOSTMESSAGE, 9, 0);

    const auto& sent = recordedhostmessages();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].message, WM_HOSTTEXT);
    EXPECT_EQ(sent[0].text, std::string(1023, 'x'));
    EXPECT_EQ(sent[1].message, WM_HOSTMESSAGE);
    EXPECT_EQ(sent[1].wparam, 9u);
}

// What the host received as batch text.
struct SEEN {
    static inline ULONG_PTR word = 0;
    static inline DWORD count = 0;
    static inline std::string text;
    static LRESULT send(HWND, UINT message, WPARAM, LPARAM lParam)
    {
        if (message != WM_COPYDATA)
            return 0;
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        word = data->dwData;
        count = data->cbData;
        text = static_cast<const char*>(data->lpData);
        return 0;
    }
};

TEST_F(HostLinkTest, BatchTextCarriesItsDataWordAndLength)
{
    HOSTLINK link = hostlink();
    link.sendmessage = SEEN::send;
    sethostlink(&link);
    signon(0, reinterpret_cast<HWND>(0x41));
    hostprintf("Progress %d%%", 50);
    EXPECT_EQ(SEEN::word, 0x570u);
    EXPECT_EQ(SEEN::count, 13u);
    EXPECT_EQ(SEEN::text, "Progress 50%");
}

TEST_F(HostLinkTest, InteractiveSignOnAsksTheHostForItsWatchPopup)
{
    signon(1, reinterpret_cast<HWND>(0x42));
    ASSERT_EQ(recordedhostmessages().size(), 1u);
    EXPECT_EQ(recordedhostmessages()[0].message, WM_HOSTPOPUP);
    EXPECT_EQ(recordedhostmessages()[0].wparam, 0xFFFFFFFFu);
    EXPECT_EQ(fakes::callsof("pallex_signon").size(), 1u);
}

}  // namespace

namespace {

TEST_F(HostLinkTest, SignOnLeavesTheProcessOutputStreamsAlone)
{
    struct stat before[2] {};
    fstat(STDOUT_FILENO, &before[0]);
    fstat(STDERR_FILENO, &before[1]);
    signon();
    siminfo("to the host's handle");
    fprintf(modulestderr(), "error stream\n");
    struct stat after[2] {};
    fstat(STDOUT_FILENO, &after[0]);
    fstat(STDERR_FILENO, &after[1]);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(after[i].st_dev, before[i].st_dev);
        EXPECT_EQ(after[i].st_ino, before[i].st_ino);
    }
    EXPECT_EQ(log(), "#I:to the host's handle\nerror stream\n");
}

}  // namespace
