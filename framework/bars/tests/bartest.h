#pragma once

// What the bar tests share: the window layer on Qt with the framework's window classes, a
// registry of the test's own, image strips registered as bitmap resources of the program, and a
// frame whose four rebars stand where the frame's layout would put them.

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <deque>
#include <string>
#include <vector>

#include "core/windows/registry.h"
#include "framework/appln/applnframe.h"
#include "framework/bars/rebar.h"
#include "platform/drelm/dialoglook.h"
#include "platform/tirsk/basewin.h"
#include "platform/win/images.h"
#include "platform/win/input.h"
#include "platform/win/modules.h"
#include "platform/win/monitors.h"
#include "platform/win/qt/tests/qttest.h"
#include "platform/win/resources.h"
#include "platform/win/winreg.h"

namespace bartest {

struct BarsLayer : testing::Environment {
    void SetUp() override
    {
        ASSERT_TRUE(BASEWIN::initialise("APPLN"));
        ASSERT_TRUE(reg_init(HKEY_CURRENT_USER, "Software\\Venthorne Electronics\\BARTEST"));
        dlg_init(nullptr);
    }
    void TearDown() override
    {
        dlg_term();
        reg_term();
        BASEWIN::terminate();
    }
};

inline testing::Environment* const barslayer = testing::AddGlobalTestEnvironment(new BarsLayer);

// The primary screen at a resolution, for the life of the object.
struct SCREENAT {
    explicit SCREENAT(int dpi)
    {
        win::overridemonitors(
            std::vector<win::Monitor> { { { 0, 0, 1600, 1200 }, { 0, 0, 1600, 1160 }, true, dpi } });
    }
    ~SCREENAT() { win::overridemonitors(std::nullopt); }
    SCREENAT(const SCREENAT&) = delete;
    SCREENAT& operator=(const SCREENAT&) = delete;
};

// A strip of `count` square images of `size` pixels on the mask grey: image i a square of the grey
// level 40 i with a one-pixel border of the mask colour.
inline QImage strip(int count, int size)
{
    QImage image(count * size, size, QImage::Format_RGB32);
    image.fill(QColor(192, 192, 192));
    QPainter painter(&image);
    for (int i = 0; i < count; ++i)
        painter.fillRect(i * size + 1, 1, size - 2, size - 2, QColor(40 * i, 40 * i, 40 * i));
    return image;
}

// Bitmap resources of the program (the graphics module of the test's context), as PNG bytes, for
// the life of the object.
class BITMAPS {
public:
    BITMAPS& add(const char* name, const QImage& image)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        names.emplace_back(name);
        data.push_back(bytes);
        return *this;
    }
    // Registers what was added.
    void install()
    {
        for (size_t i = 0; i < names.size(); ++i)
            entries.push_back(RESOURCEENTRY {
                RT_BITMAP, names[i].c_str(), data[i].constData(), static_cast<DWORD>(data[i].size()) });
        registerresources(GetModuleHandleA(nullptr), entries.data(), entries.size());
    }
    ~BITMAPS()
    {
        if (!entries.empty())
            unregisterresources(GetModuleHandleA(nullptr), entries.data());
    }

private:
    std::deque<std::string> names;
    std::deque<QByteArray> data;
    std::vector<RESOURCEENTRY> entries;
};

// A frame with its rebars laid out: the top and bottom ones across the client area, the left and
// right ones down its sides, each 30 pixels thick.
struct TESTFRAME {
    TESTFRAME()
        : frame(nullptr)
    {
        frame.createwindow(nullptr);
        MoveWindow(frame.gethwnd(), 50, 50, 700, 500, FALSE);
        layout();
        ShowWindow(frame.gethwnd(), SW_SHOW);
    }
    void layout()
    {
        RECT client {};
        GetClientRect(frame.gethwnd(), &client);
        const RECT places[4] = { { 0, 0, client.right, 30 },
            { 0, client.bottom - 30, client.right, client.bottom }, { 0, 40, 30, client.bottom - 40 },
            { client.right - 30, 40, client.right, client.bottom - 40 } };
        for (int side = 0; side < 4; ++side) {
            const RECT& r = places[side];
            MoveWindow(
                frame.getrebar(side)->gethwnd(), r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
        }
    }
    HWND rebarwindow(int side) { return frame.getrebar(side)->gethwnd(); }
    int bands(int side) { return static_cast<int>(SendMessageA(rebarwindow(side), RB_GETBANDCOUNT, 0, 0)); }
    // The band's lParam (its bar) and style.
    REBARBANDINFOA band(int side, int index)
    {
        REBARBANDINFOA info {};
        info.cbSize = sizeof info;
        info.fMask = RBBIM_LPARAM | RBBIM_STYLE | RBBIM_SIZE;
        SendMessageA(
            rebarwindow(side), RB_GETBANDINFOA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info));
        return info;
    }

    APPLNFRAME frame;
};

// A mouse message at a client point of the window, delivered.
inline void mouse(HWND window, UINT message, int x, int y, WPARAM keys = 0)
{
    tagPOINT at { x, y };
    ClientToScreen(window, &at);
    win::postmouse(message, at, keys, 0, window);
    while (win::deliverqueued()) { }
}

} // namespace bartest
