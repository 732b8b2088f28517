#pragma once

// Under a real X server: what the screen shows of a top-level window, kept as the artifact that
// VKT_SCREENSHOT_PATH names, and the pixel shown at a client point of any window inside it.

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdlib>

#include "platform/win/window.h"

namespace wintest {

struct SCREENSHOT {
    explicit SCREENSHOT(HWND top)
    {
        GetWindowRect(top, &area);
        if (QScreen* screen = QGuiApplication::primaryScreen())
            image = screen->grabWindow(0, area.left, area.top, area.right - area.left, area.bottom - area.top)
                        .toImage();
        const char* path = std::getenv("VKT_SCREENSHOT_PATH");
        saved = path && !image.isNull() && image.save(path, "PNG");
    }
    QColor at(HWND window, int x, int y) const
    {
        tagPOINT point { x, y };
        MapWindowPoints(window, nullptr, &point, 1);
        return image.pixelColor(point.x - area.left, point.y - area.top);
    }

    QImage image;
    RECT area {};
    bool saved = false;
};

} // namespace wintest
