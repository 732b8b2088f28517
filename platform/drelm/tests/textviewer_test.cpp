#include "platform/drelm/tests/drelmtest.h"
#include "platform/drelm/textviewer.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"

using namespace drelmtest;

TEST(TextViewer, LinesCollectWhileTheWindowIsHiddenAndClosingOnlyHidesIt)
{
    Started started;
    TEXTVIEWER viewer("Internal Errors", 78);
    ASSERT_NE(viewer.gethwnd(), nullptr);
    char title[32] = {};
    GetWindowTextA(viewer.gethwnd(), title, sizeof title);
    EXPECT_STREQ(title, "Internal Errors");
    EXPECT_FALSE(viewer.isvisible());
    viewer.append("Cannot find bitmap 'tb_x'.");
    viewer.append("Ünïcode line");
    EXPECT_EQ(viewer.text(), "Cannot find bitmap 'tb_x'.\nÜnïcode line");
    viewer.open();
    EXPECT_TRUE(viewer.isvisible());
    RECT client {};
    GetClientRect(viewer.gethwnd(), &client);
    EXPECT_GT(client.right, 78 * 5) << "room for the columns";
    SendMessageA(viewer.gethwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(viewer.isvisible());
    EXPECT_TRUE(IsWindow(viewer.gethwnd()));
    viewer.append("after");
    EXPECT_EQ(viewer.text().substr(viewer.text().rfind('\n') + 1), "after");
}
