#include "platform/win/qt/nativewindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>
#include <QWindow>

#include "platform/win/backend.h"
#include "platform/win/input.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/paint.h"
#include "platform/win/qt/framefit.h"
#include "platform/win/qt/keymap.h"
#include "platform/win/qt/menubar.h"
#include "platform/win/qt/painterdc.h"
#include "platform/win/qt/qtbackend.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

namespace winqt {
namespace {

enum MouseKind { mousepress, mouserelease, mousedouble, mousemove };

UINT mousemessage(Qt::MouseButton button, int kind)
{
    UINT base = button == Qt::LeftButton                     ? WM_LBUTTONDOWN
        : button == Qt::RightButton                          ? WM_RBUTTONDOWN
        : button == Qt::MiddleButton                         ? WM_MBUTTONDOWN
        : (button == Qt::XButton1 || button == Qt::XButton2) ? WM_XBUTTONDOWN
                                                             : 0;
    if (!base) {
        return 0;
    }
    return base + (kind == mouserelease ? 1 : kind == mousedouble ? 2 : 0);
}

WPARAM mouseflags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    WPARAM keys = 0;
    if (buttons & Qt::LeftButton) {
        keys |= MK_LBUTTON;
    }
    if (buttons & Qt::RightButton) {
        keys |= MK_RBUTTON;
    }
    if (buttons & Qt::MiddleButton) {
        keys |= MK_MBUTTON;
    }
    if (buttons & Qt::XButton1) {
        keys |= MK_XBUTTON1;
    }
    if (buttons & Qt::XButton2) {
        keys |= MK_XBUTTON2;
    }
    if (modifiers & Qt::ShiftModifier) {
        keys |= MK_SHIFT;
    }
    if (modifiers & Qt::ControlModifier) {
        keys |= MK_CONTROL;
    }
    return keys;
}

// The screen point of a position inside the widget, in the layer's coordinates.
tagPOINT screenpoint(HWND window, QPointF local)
{
    RECT area {};
    GetWindowRect(window, &area);
    QPoint p = local.toPoint();
    return tagPOINT { area.left + p.x(), area.top + p.y() };
}

} // namespace

NativeWindow::NativeWindow(HWND window, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
    , handle(window)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
}

QPoint NativeWindow::clientoffset() const
{
    auto window = win::windowref(handle);
    if (!window) {
        return QPoint();
    }
    RECT insets = win::clientinsets(*window);
    return QPoint(insets.left, insets.top);
}

void NativeWindow::resizesurface()
{
    RECT client {};
    GetClientRect(handle, &client);
    QSize size(std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom));
    if (image.size() == size) {
        return;
    }
    auto grow = [&size](QImage& old, Qt::GlobalColor fill) {
        finishpainting(old);
        QImage grown(size, QImage::Format_RGB32);
        grown.fill(fill);
        if (!old.isNull()) {
            QPainter copy(&grown);
            copy.drawImage(0, 0, old);
        }
        old = grown;
    };
    grow(image, Qt::white);
    if (!overlayimage.isNull()) {
        grow(overlayimage, Qt::black);
    }
}

QImage NativeWindow::shown(const QRect& area) const
{
    QImage part = image.copy(area);
    if (overlayimage.isNull()) {
        return part;
    }
    for (int y = 0; y < part.height(); ++y) {
        if (area.top() + y >= overlayimage.height()) {
            break;
        }
        auto* row = reinterpret_cast<QRgb*>(part.scanLine(y));
        const auto* over = reinterpret_cast<const QRgb*>(overlayimage.constScanLine(area.top() + y));
        int width = std::min(part.width(), overlayimage.width() - area.left());
        for (int x = 0; x < width; ++x) {
            row[x] ^= over[area.left() + x] & 0x00FFFFFF;
        }
    }
    return part;
}

void NativeWindow::syncgeometry()
{
    auto window = win::windowref(handle);
    if (!window) {
        return;
    }
    syncing = true;
    if (window->style & WS_CHILD) {
        QPoint offset;
        if (auto parent = win::windowref(window->parent)) {
            RECT insets = win::clientinsets(*parent);
            offset = QPoint(insets.left, insets.top);
        }
        const RECT& r = window->rect;
        setGeometry(QRect(r.left + offset.x(), r.top + offset.y(), r.right - r.left, r.bottom - r.top));
    } else if (window->style & WS_MINIMIZE) {
        if (isVisible()) {
            setWindowState(Qt::WindowMinimized);
        }
    } else if (window->style & WS_MAXIMIZE) {
        // The window manager's frame fills the screen's available area, the inside less.
        setWindowState(Qt::WindowMaximized);
        if (QScreen* shown = screen())
            setGeometry(maximisedinside(framemargins(), shown->availableGeometry()));
    } else {
        const RECT& r = window->rect;
        setWindowState(Qt::WindowNoState);
        setGeometry(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
    }
    syncing = false;
    resizesurface();
}

void NativeWindow::sync(unsigned changes)
{
    auto window = win::windowref(handle);
    if (!window) {
        return;
    }
    if (changes & win::changeparent) {
        QWidget* parent = nullptr;
        Qt::WindowFlags flags = Qt::Widget;
        if (window->style & WS_CHILD) {
            parent = widgetof(window->parent);
        } else {
            flags = Qt::Window;
        }
        setParent(parent, flags);
    }
    if (changes & (win::changegeometry | win::changeparent | win::changemenu | win::changestyle)) {
        syncgeometry();
        for (HWND child : window->children) {
            if (auto* widget = dynamic_cast<NativeWindow*>(widgetof(child))) {
                widget->syncgeometry();
            }
        }
    }
    if (changes & win::changezorder) {
        std::vector<HWND> order
            = (window->style & WS_CHILD) ? win::windowref(window->parent)->children : win::toplevelwindows();
        for (auto it = order.rbegin(); it != order.rend(); ++it) {
            QWidget* widget = widgetof(*it);
            bool offscreen = QGuiApplication::platformName() == "offscreen"; // nothing to raise there
            if (widget && ((window->style & WS_CHILD) || (widget->isVisible() && !offscreen))) {
                widget->raise();
            }
        }
    }
    if (changes & win::changetext) {
        setWindowTitle(QString::fromStdString(window->text));
    }
    if (changes & (win::changevisible | win::changeparent)) {
        bool visible = window->style & WS_VISIBLE;
        if (visible && isWindow()) {
            MINMAXINFO limits = win::minmaxinfo(handle);
            setMinimumSize(limits.ptMinTrackSize.x, limits.ptMinTrackSize.y);
        }
        if (visible && (window->style & WS_MINIMIZE)) {
            showMinimized();
        } else {
            setVisible(visible);
        }
    }
    if (changes & (win::changemenu | win::changestyle)) {
        update();
    }
}

void NativeWindow::drawn(const QRect& clientarea)
{
    QRect area = clientarea.translated(clientoffset());
    if (painting) {
        pending = pending.united(area);
        return;
    }
    update(area);
}

bool NativeWindow::event(QEvent* event)
{
    if (!handle) {
        return QWidget::event(event);
    }
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        event->accept(); // keys of a window are its own, never the toolkit's shortcuts
        return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        key(static_cast<QKeyEvent*>(event), event->type() == QEvent::KeyPress);
        return true;
    case QEvent::MouseButtonPress:
        mouse(static_cast<QMouseEvent*>(event), mousepress);
        return true;
    case QEvent::MouseButtonRelease:
        mouse(static_cast<QMouseEvent*>(event), mouserelease);
        return true;
    case QEvent::MouseButtonDblClick:
        mouse(static_cast<QMouseEvent*>(event), mousedouble);
        return true;
    case QEvent::MouseMove:
        mouse(static_cast<QMouseEvent*>(event), mousemove);
        return true;
    case QEvent::Wheel:
        wheel(static_cast<QWheelEvent*>(event));
        return true;
    case QEvent::Leave:
        leftwindow(handle);
        return QWidget::event(event);
    case QEvent::WindowActivate:
        activatedbytoolkit(handle);
        return QWidget::event(event);
    default:
        return QWidget::event(event);
    }
}

void NativeWindow::mouse(QMouseEvent* event, int kind)
{
    if (menubarmouse(handle, event, kind == mousepress, kind == mouserelease)) {
        return;
    }
    UINT message = kind == mousemove ? WM_MOUSEMOVE : mousemessage(event->button(), kind);
    if (!message) {
        return;
    }
    WPARAM keys = mouseflags(event->buttons(), event->modifiers());
    if (message >= WM_XBUTTONDOWN && message <= WM_XBUTTONDBLCLK) {
        keys |= static_cast<WPARAM>(event->button() == Qt::XButton1 ? 1 : 2) << 16;
    }
    win::postmouse(message, screenpoint(handle, event->position()), keys, 0, handle);
}

void NativeWindow::wheel(QWheelEvent* event)
{
    QPoint delta = event->angleDelta();
    WPARAM keys = mouseflags(event->buttons(), event->modifiers());
    tagPOINT at = screenpoint(handle, event->position());
    if (delta.y()) {
        win::postmouse(WM_MOUSEWHEEL, at, keys, static_cast<short>(delta.y()), handle);
    }
    if (delta.x()) {
        win::postmouse(WM_MOUSEHWHEEL, at, keys, static_cast<short>(-delta.x()), handle);
    }
}

void NativeWindow::key(QKeyEvent* event, bool pressed)
{
    VirtualKey vk = virtualkey(event->key(), event->modifiers());
    const bool alt = event->modifiers() & Qt::AltModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    bool system = (alt && !control) || vk.code == VK_F10 || (vk.code == VK_MENU && !control);
    int scancode = event->nativeScanCode() > 8 ? static_cast<int>(event->nativeScanCode() - 8) : 0;
    LPARAM data = keydata(scancode, vk.extended, alt, event->isAutoRepeat(), !pressed);
    uint32_t character = 0;
    if (pressed && !event->text().isEmpty()) {
        character = event->text().toUcs4().value(0);
    }
    if (!vk.code && !character) {
        return;
    }
    UINT message = pressed ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    win::postkey(message, static_cast<WPARAM>(vk.code), data, character);
}

void NativeWindow::paintEvent(QPaintEvent* event)
{
    if (!handle) {
        return;
    }
    HWND self = handle;
    ++painting;
    win::paint(self);
    --painting;
    if (!IsWindow(self)) {
        return;
    }
    QPainter painter(this);
    painter.setClipRegion(event->region());
    if (overlayimage.isNull()) {
        painter.drawImage(clientoffset(), image);
    } else {
        QRect area = event->region().boundingRect().translated(-clientoffset()).intersected(image.rect());
        painter.drawImage(area.topLeft() + clientoffset(), shown(area));
    }
    paintnonclient(painter);
    if (!pending.isEmpty()) {
        QRect missed = pending;
        pending = QRect();
        if (!event->region().contains(missed)) {
            update(missed);
        }
    }
}

void NativeWindow::paintnonclient(QPainter& painter)
{
    auto window = win::windowref(handle);
    if (!window) {
        return;
    }
    if (window->menu && !(window->style & WS_CHILD)) {
        paintmenubar(painter, handle, QRect(0, 0, width(), win::menubarheight()));
    }
    if ((window->style & WS_CHILD) && (window->style & WS_BORDER)) {
        painter.setPen(QColor(100, 100, 100));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void NativeWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    reportgeometry();
}

void NativeWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    reportgeometry();
}

// A top-level window moved or resized by the window manager tells the layer.
void NativeWindow::reportgeometry()
{
    auto window = win::windowref(handle);
    if (!window || syncing || (window->style & WS_CHILD) || (window->style & WS_MINIMIZE) || !isVisible()) {
        return;
    }
    QRect g = geometry();
    // Once the window manager has framed the window, its frame is brought wholly onto the screen
    // where the window was placed partly off it; after that where it goes is the user's.
    const QMargins frame = framemargins();
    if (!framed && !frame.isNull() && !(window->style & WS_MAXIMIZE) && screen()) {
        framed = true;
        g = insideonscreen(g, frame, screen()->availableGeometry());
    }
    const RECT& r = window->rect;
    if (g.x() == r.left && g.y() == r.top && g.width() == r.right - r.left
        && g.height() == r.bottom - r.top) {
        return;
    }
    MSG message { handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(g.width(), g.height()), 0, {} };
    if (win::offer(message)) {
        SetWindowPos(handle, nullptr, g.x(), g.y(), g.width(), g.height(), SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        syncgeometry();
    }
}

QMargins NativeWindow::framemargins() const
{
    return windowHandle() ? windowHandle()->frameMargins() : QMargins();
}

void NativeWindow::closeEvent(QCloseEvent* event)
{
    event->ignore();
    if (handle) {
        PostMessageA(handle, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

void NativeWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !handle || syncing || !isWindow()) {
        return;
    }
    int command = isMinimized() ? SW_MINIMIZE : isMaximized() ? SW_MAXIMIZE : SW_RESTORE;
    bool same = (command == SW_MINIMIZE && IsIconic(handle)) || (command == SW_MAXIMIZE && IsZoomed(handle))
        || (command == SW_RESTORE && !IsIconic(handle) && !IsZoomed(handle));
    if (same) {
        return;
    }
    MSG message { handle, WM_SYSCOMMAND,
        command == SW_MINIMIZE       ? SC_MINIMIZE
            : command == SW_MAXIMIZE ? SC_MAXIMIZE
                                     : SC_RESTORE,
        0, 0, {} };
    if (win::offer(message)) {
        ShowWindow(handle, command);
    }
}

} // namespace winqt
