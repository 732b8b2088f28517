#pragma once

// A device context that paints with QPainter on an image: a window's surface or a bitmap's
// pixels. The painter is opened when the context first draws and closed when the context is
// released; when two contexts draw on the same image, the one drawing takes the image over.
// A window's context also reaches the window's exclusive-or overlay (nativewindow.h); its pixels
// read as the screen shows them, the overlay combined in.
// Callers: the Qt backend, image conversions and gradient fills (the layer); the screen device (casq).

#include <QFont>
#include <QImage>
#include <QPainter>

#include "platform/win/devicecontext.h"

namespace winqt {

class PainterDC : public win::DeviceContext {
public:
    // A window's context over its surface and its overlay (neither owned), clipped to `clip` when
    // given.
    PainterDC(HWND window, QImage* surface, QImage* overlay, const RECT* clip);
    // A memory context: draws on the selected bitmap.
    PainterDC();
    ~PainterDC() override;

    HWND window() const { return owner; }
    // Closes the painter; the image is complete afterwards.
    void finish();
    // What was drawn since the context was made, in device pixels; empty when nothing.
    QRect drawn() const { return dirty; }

    void statechanged() override;
    void bitmapchanged() override;
    SIZE size() const override;
    void fillrect(const RECT& rect, const win::Brush& brush) override;
    void polyline(const tagPOINT* points, int count) override;
    void rectangle(const RECT& rect) override;
    void focusrect(const RECT& rect) override;
    int drawtext(std::string_view text, RECT& rect, UINT format) override;
    SIZE textextent(std::string_view text) override;
    bool blit(const RECT& to, win::DeviceContext& source, const RECT& from, DWORD rop) override;
    bool drawicon(const RECT& to, const win::Icon& icon, UINT flags) override;
    COLORREF getpixel(int x, int y) override;
    COLORREF setpixel(int x, int y, COLORREF colour) override;
    int devicecaps(int index) override;

    // The image a context draws on (a copy for bottom-up bitmaps), for reading.
    QImage image();
    // The painter, open on the target with the context's clip, for callers that draw with the
    // toolkit themselves; `area` counts as drawn. Null without a target.
    QPainter* toolkitpainter(const RECT& area);
    // The same on the window's overlay (made black at the surface's size when there is none yet),
    // with the context's clip; what is drawn on it shows combined by exclusive-or. Null for a
    // context of no window.
    QPainter* overlaypainter(const RECT& area);
    // Moves what the window shows, overlay included, by dx, dy pixels; what is uncovered keeps
    // the surface's old pixels (for the caller to repaint) and shows nothing of the overlay.
    void scroll(int dx, int dy);

private:
    QPainter* painter(); // open on the target, with the state applied; null without a target
    void applystate(bool pen, bool brush);
    void touch(const QRectF& area);
    QFont qfont() const;

    HWND owner = nullptr;
    QImage* surface = nullptr; // window contexts
    QImage* overlay = nullptr;
    QImage wrapped; // memory contexts: the bitmap's pixels
    RECT windowclip {};
    bool clipped = false;
    QPainter active;
    QPainter overlaying;
    QRect dirty;
};

// The toolkit font for a logical font description.
QFont fontof(const LOGFONTA& font);
// The bitmap's pixels as an image sharing their memory (top-down view as stored).
QImage wrap(win::Bitmap& bitmap);
// A copy of the bitmap as a top-down image.
QImage imageof(win::Bitmap& bitmap);
// The icon as an image with alpha (DI_NORMAL) or opaque (DI_IMAGE); null without a colour image.
QImage iconimage(const win::Icon& icon, UINT flags);
// Closes any painter open on the image before it is replaced.
void finishpainting(const QImage& image);

} // namespace winqt
