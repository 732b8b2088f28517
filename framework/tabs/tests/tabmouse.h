#pragma once

// Drives a tab strip with synthetic mouse input, as the window layer delivers it, for the tests of
// the strip and of the frame that holds one.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/appln/applnwindow.h"
#include "framework/tabs/tabstrip.h"
#include "platform/win/messagequeue.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

namespace tabtest {

struct TABMOUSE {
    explicit TABMOUSE(TABSTRIP& strip)
        : strip(strip)
    {
    }
    // Paints the strip now, which places its tabs.
    void paint()
    {
        InvalidateRect(strip.hwnd, nullptr, FALSE);
        UpdateWindow(strip.hwnd);
    }
    // The middle of a tab's caption and of its close box, in the strip's client coordinates.
    tagPOINT middle(int index)
    {
        paint();
        int left = 0;
        int right = 0;
        EXPECT_TRUE(strip.tabspan(index, left, right)) << index;
        return { (left + right) / 2 - 12, strip.getheight() / 3 };
    }
    tagPOINT closebox(int index)
    {
        paint();
        const RECT& box = strip.tab(index)->closebox;
        return { (box.left + box.right) / 2, (box.top + box.bottom) / 2 };
    }
    // A mouse message at a point of the strip's client area (or of the screen), delivered.
    void mouse(UINT message, tagPOINT at, WPARAM keys = 0)
    {
        ClientToScreen(strip.hwnd, &at);
        onscreen(message, at, keys);
    }
    void onscreen(UINT message, tagPOINT screen, WPARAM keys = 0)
    {
        win::postmouse(message, screen, keys, 0, strip.hwnd);
        while (win::deliverqueued()) { }
    }
    void click(tagPOINT at)
    {
        mouse(WM_LBUTTONDOWN, at, MK_LBUTTON);
        mouse(WM_LBUTTONUP, at);
        paint();
    }
    // Presses a tab and drags it along the strip onto another, where it is released.
    void drag(int from, int onto)
    {
        const tagPOINT start = middle(from);
        const tagPOINT end = middle(onto);
        mouse(WM_LBUTTONDOWN, start, MK_LBUTTON);
        mouse(WM_MOUSEMOVE, { start.x + (end.x < start.x ? -5 : 5), start.y }, MK_LBUTTON);
        mouse(WM_MOUSEMOVE, end, MK_LBUTTON);
        mouse(WM_LBUTTONUP, end);
    }
    // The captions of the tabs' windows in tab order.
    std::vector<std::string> order()
    {
        std::vector<std::string> captions;
        for (int i = 0; i < strip.numtabs(); ++i)
            captions.push_back(strip.tab(i)->window->getcaption());
        return captions;
    }

    TABSTRIP& strip;
};

} // namespace tabtest
