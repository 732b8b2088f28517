#pragma once

// The widget behind one window: it shows the window's surface (the client area the window draws
// on) inside its non-client parts, and turns the toolkit's input and window events into messages.
// Over the surface lies the window's exclusive-or overlay, made when first drawn on: what is shown
// is surface XOR overlay, so that figures drawn twice on the overlay vanish whatever was painted on
// the surface meanwhile.
// Callers: the Qt backend (the layer).

#include <QImage>
#include <QWidget>

#include "platform/win/handletypes.h"

namespace winqt {

class NativeWindow : public QWidget {
public:
    NativeWindow(HWND window, QWidget* parent, Qt::WindowFlags flags);

    // The window, null once it is destroyed (the widget then goes at the next turn of the loop).
    HWND window() const { return handle; }
    void forget() { handle = nullptr; }
    QImage& surface() { return image; }
    // The overlay, black (nothing shown) at the surface's size once made; a null image before.
    QImage& overlay() { return overlayimage; }
    // Where the client area starts inside the widget.
    QPoint clientoffset() const;
    // Brings the widget in line with the window's state.
    void sync(unsigned changes);
    // Something was drawn on the surface outside a paint: show it.
    void drawn(const QRect& clientarea);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void mouse(QMouseEvent* event, int kind);
    void wheel(QWheelEvent* event);
    void key(QKeyEvent* event, bool press);
    void resizesurface();
    // The surface's pixels of the area with the overlay combined in.
    QImage shown(const QRect& area) const;
    void syncgeometry();
    void reportgeometry();
    // The window manager's frame around the window; none before it is framed, or without one.
    QMargins framemargins() const;
    void paintnonclient(QPainter& painter);

    HWND handle;
    QImage image;
    QImage overlayimage;
    int painting = 0;
    QRect pending; // drawn during a paint, outside what that paint shows
    bool syncing = false;
    bool framed = false; // the frame was brought onto the screen once
};

} // namespace winqt
