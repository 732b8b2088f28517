#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <cstring>

#include "platform/win/globalmemory.h"
#include "platform/win/qt/clipboard.h"
#include "platform/win/qt/tests/qttest.h"

using namespace wintest;

namespace {

HGLOBAL block(const char* text)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::strcpy(static_cast<char*>(GlobalLock(memory)), text);
    GlobalUnlock(memory);
    return memory;
}

std::string textof(HANDLE data)
{
    std::string text(static_cast<const char*>(GlobalLock(data)));
    GlobalUnlock(data);
    return text;
}

}  // namespace

TEST(QtClipboard, RegisteredFormatsRoundTripAndTextReachesTheDesktop)
{
    FreshQt fresh;
    HWND owner = toplevel();
    UINT objects = RegisterClipboardFormatA("Schematic Objects");
    EXPECT_GE(objects, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormatA("SCHEMATIC OBJECTS"), objects);
    char name[64];
    EXPECT_GT(GetClipboardFormatNameA(objects, name, sizeof name), 0);
    EXPECT_STREQ(name, "Schematic Objects");

    ASSERT_TRUE(OpenClipboard(owner));
    EXPECT_FALSE(OpenClipboard(toplevel())) << "held open by another window";
    EmptyClipboard();
    SetClipboardData(objects, block("R1 C2"));
    SetClipboardData(CF_TEXT, block("R1, C2"));
    CloseClipboard();
    EXPECT_EQ(GetClipboardOwner(), owner);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "R1, C2");

    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(textof(GetClipboardData(objects)), "R1 C2");
    HANDLE wide = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(wide, nullptr) << "made from the text";
    EXPECT_EQ(GlobalSize(wide), 7 * sizeof(char16_t));
    CloseClipboard();
    EXPECT_EQ(CountClipboardFormats(), 3);

    // Another program copies: the owner hears that its data are gone.
    QGuiApplication::clipboard()->setText("from elsewhere");
    EXPECT_EQ(sequence(owner, {WM_DESTROYCLIPBOARD}).size(), 1u);
    EXPECT_FALSE(IsClipboardFormatAvailable(objects));
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(textof(GetClipboardData(CF_TEXT)), "from elsewhere");
    CloseClipboard();
}

TEST(QtClipboard, APromisedFormatIsRenderedByItsOwnerWhenAskedFor)
{
    FreshQt fresh;
    HWND owner = toplevel();
    UINT late = RegisterClipboardFormatA("Rendered Late");
    answer() = [&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_RENDERFORMAT) {
            SetClipboardData(static_cast<UINT>(wParam), block("rendered"));
            return 0;
        }
        return std::nullopt;
    };
    OpenClipboard(owner);
    EmptyClipboard();
    EXPECT_EQ(SetClipboardData(late, nullptr), nullptr);
    CloseClipboard();
    EXPECT_TRUE(IsClipboardFormatAvailable(late));
    OpenClipboard(nullptr);
    EXPECT_EQ(textof(GetClipboardData(late)), "rendered");
    CloseClipboard();
    EXPECT_EQ(messagesof(WM_RENDERFORMAT).size(), 1u);
}
