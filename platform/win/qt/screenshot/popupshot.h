#pragma once

// What the screenshots of popup menus share: the popup tracked for its owner and shot once it has
// been exposed and has had time to paint (or given up after ten seconds on a loaded machine).
// Callers: the window layer's and the framework's menu screenshots.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "platform/win/menu.h"
#include "platform/win/window.h"

namespace wintest {

struct POPUPSHOT {
    QImage image; // the screen over the popup and its owner; null when the popup never showed
    QRect popup; // the popup in the image
    QRect item; // the chosen item in the popup
};

// Tracks the popup for the owner at (x, y), presses Down `downs` times once it is open, shoots it
// with the owner's window and closes it; `item` is the index of the action whose place is wanted.
inline POPUPSHOT shootpopup(HMENU popup, HWND owner, int x, int y, int downs, int item)
{
    POPUPSHOT shot;
    QTimer::singleShot(300, [downs] {
        for (int i = 0; i < downs; ++i) {
            QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
            QCoreApplication::sendEvent(QApplication::activePopupWidget(), &down);
        }
    });
    QElapsedTimer clock;
    clock.start();
    QTimer grabber;
    QObject::connect(&grabber, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        const bool exposed = menu && menu->windowHandle() && menu->windowHandle()->isExposed();
        if (clock.elapsed() < 10000 && (!exposed || clock.elapsed() < 1000))
            return;
        grabber.stop();
        if (exposed) {
            shot.popup = menu->geometry();
            shot.item = menu->actionGeometry(menu->actions().at(item));
            RECT area;
            GetWindowRect(owner, &area);
            QRect whole = shot.popup.united(
                QRect(area.left, area.top, area.right - area.left, area.bottom - area.top));
            shot.image = QGuiApplication::primaryScreen()
                             ->grabWindow(0, whole.x(), whole.y(), whole.width(), whole.height())
                             .toImage();
            shot.popup.translate(-whole.topLeft());
        }
        EndMenu();
    });
    grabber.start(100);
    EXPECT_EQ(TrackPopupMenuEx(popup, TPM_RETURNCMD, x, y, owner, nullptr), 0);
    return shot;
}

// Saves the shot as the artifact named by VKT_SCREENSHOT_PATH; false when it cannot.
inline bool saveshot(const QImage& image)
{
    const char* path = std::getenv("VKT_SCREENSHOT_PATH");
    return path && image.save(path, "PNG");
}

} // namespace wintest
