#include "platform/win/qt/qtbackend.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QBasicTimer>
#include <QCursor>
#include <QScreen>
#include <QTimerEvent>
#include <atomic>
#include <chrono>

#include "platform/win/backend.h"
#include "platform/win/devicecontext.h"
#include "platform/win/htmlhelp.h"
#include "platform/win/input.h"
#include "platform/win/menutracking.h"
#include "platform/win/messagebox.h"
#include "platform/win/messagequeue.h"
#include "platform/win/qt/controls.h"
#include "platform/win/qt/images.h"
#include "platform/win/qt/nativewindow.h"
#include "platform/win/qt/painterdc.h"
#include "platform/win/qt/popupmenu.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/textcase.h"
#include "platform/win/window.h"
#include "platform/win/windowtable.h"

namespace winqt {

MESSAGEBOXHOOK installmessagebox();
HTMLHELPHOOK installhelpviewer();

namespace {

const QEvent::Type drainevent = static_cast<QEvent::Type>(QEvent::registerEventType());

// Takes queued messages into the toolkit's loop, one per turn, and wakes it for timers.
class Pump : public QObject {
public:
    std::atomic<bool> posted { false };
    QBasicTimer timers;
    QBasicTimer guard;

    void post()
    {
        if (!posted.exchange(true)) {
            QCoreApplication::postEvent(this, new QEvent(drainevent));
        }
    }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == drainevent) {
            posted = false;
            if (win::gettingmessages()) {
                return true; // the waiting GetMessageA takes the messages and minds the timers
            }
            if (win::deliverqueued() && win::hasqueued()) {
                post();
            }
            armtimers();
            return true;
        }
        if (event->type() == QEvent::Timer) {
            auto* timer = static_cast<QTimerEvent*>(event);
            if (timer->timerId() == timers.timerId()) {
                timers.stop();
                post();
            } else if (timer->timerId() == guard.timerId()) {
                guard.stop();
            }
            return true;
        }
        return QObject::event(event);
    }

    void armtimers()
    {
        int due = win::msuntilnexttimer();
        if (due < 0) {
            timers.stop();
        } else if (due == 0) {
            post();
        } else {
            timers.start(due, Qt::PreciseTimer, this);
        }
    }
};

Qt::WindowFlags toplevelflags(const win::Window& window)
{
    Qt::WindowFlags flags = Qt::Window;
    char name[64] = {};
    GetClassNameA(window.handle, name, sizeof name);
    if (win::equalnocase(name, "tooltips_class32")) {
        return Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus;
    }
    if ((window.style & WS_POPUP) && (window.style & WS_CAPTION) != WS_CAPTION) {
        flags |= Qt::FramelessWindowHint;
    }
    if ((window.exstyle & WS_EX_TOOLWINDOW) || ((window.style & WS_POPUP) && window.owner)) {
        flags |= Qt::Tool;
    }
    if (window.exstyle & WS_EX_TOPMOST) {
        flags |= Qt::WindowStaysOnTopHint;
    }
    if (window.exstyle & WS_EX_NOACTIVATE) {
        flags |= Qt::WindowDoesNotAcceptFocus;
    }
    return flags;
}

void beep(UINT)
{
    QApplication::beep();
}

class QtBackend : public win::Backend {
public:
    Pump pump;
    HWND requestedactive = nullptr;
    std::chrono::steady_clock::time_point requestedat; // when the toolkit was last asked to activate
    HWND grabbing = nullptr;
    HCURSOR shape = nullptr;
    bool shown = true;
    MESSAGEBEEPHOOK previousbeep = nullptr;
    MESSAGEBOXHOOK previousbox = nullptr;
    HTMLHELPHOOK previoushelp = nullptr;

    void wake() override { pump.post(); }

    bool wait(int milliseconds) override
    {
        QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
        if (!dispatcher) {
            return false;
        }
        if (milliseconds >= 0) {
            pump.guard.start(std::max(1, milliseconds), Qt::PreciseTimer, &pump);
        }
        dispatcher->processEvents(QEventLoop::WaitForMoreEvents);
        pump.guard.stop();
        return true;
    }

    void created(HWND handle) override
    {
        auto window = win::windowref(handle);
        QWidget* parent = nullptr;
        Qt::WindowFlags flags = Qt::Widget;
        if (window->style & WS_CHILD) {
            parent = widgetof(window->parent);
        } else {
            flags = toplevelflags(*window);
            parent = window->owner ? widgetof(window->owner) : nullptr;
        }
        auto* widget = new NativeWindow(handle, parent, flags);
        window->native = widget;
        widget->sync(win::changegeometry | win::changetext);
        // A child made without WS_VISIBLE stays hidden when its parent is shown later.
        if (!(window->style & WS_VISIBLE)) {
            widget->hide();
        }
    }

    void destroyed(HWND handle) override
    {
        if (handle == win::menuowner()) {
            closepopupmenus(); // a menu ends with its owner
        }
        auto* widget = static_cast<NativeWindow*>(widgetof(handle));
        if (!widget) {
            return;
        }
        if (grabbing == handle) {
            widget->releaseMouse();
            grabbing = nullptr;
        }
        if (requestedactive == handle) {
            requestedactive = nullptr;
        }
        finishpainting(widget->surface());
        finishpainting(widget->overlay());
        widget->forget();
        widget->hide();
        widget->deleteLater();
        if (auto window = win::windowref(handle)) {
            window->native = nullptr;
        }
    }

    void changed(HWND handle, unsigned changes) override
    {
        if (auto* widget = static_cast<NativeWindow*>(widgetof(handle))) {
            widget->sync(changes);
            if (changes & win::changestyle) {
                seticons(handle, *widget);
            }
        }
    }

    void invalidated(HWND handle) override
    {
        auto window = win::windowref(handle);
        auto* widget = static_cast<NativeWindow*>(widgetof(handle));
        if (!window || !widget) {
            return;
        }
        const RECT& r = window->update;
        widget->update(
            QRect(r.left, r.top, r.right - r.left, r.bottom - r.top).translated(widget->clientoffset()));
    }

    win::DeviceContext* getdc(HWND handle, const RECT* clip) override
    {
        auto* widget = static_cast<NativeWindow*>(widgetof(handle));
        return widget ? new PainterDC(handle, &widget->surface(), &widget->overlay(), clip) : nullptr;
    }

    void releasedc(HWND handle, win::DeviceContext* dc) override
    {
        auto* painter = dynamic_cast<PainterDC*>(dc);
        if (!painter) {
            return;
        }
        QRect drawn = painter->drawn();
        delete painter;
        if (auto* widget = static_cast<NativeWindow*>(widgetof(handle)); widget && !drawn.isEmpty()) {
            widget->drawn(drawn);
        }
    }

    win::DeviceContext* creatememorydc(win::DeviceContext*) override { return new PainterDC(); }

    void focused(HWND handle) override
    {
        if (QWidget* widget = widgetof(handle)) {
            widget->setFocus(Qt::OtherFocusReason);
            return;
        }
        QWidget* current = QApplication::focusWidget();
        if (current && windowof(current) && dynamic_cast<NativeWindow*>(current)) {
            current->clearFocus();
        }
    }

    void activated(HWND handle) override
    {
        requestedactive = handle;
        QWidget* widget = widgetof(handle);
        if (widget && widget->isVisible()) {
            if (QGuiApplication::platformName() != "offscreen") {
                widget->raise(); // nothing to raise among offscreen windows
            }
            widget->activateWindow();
            requestedat = std::chrono::steady_clock::now();
        }
    }

    void captured(HWND handle) override
    {
        if (grabbing) {
            if (QWidget* widget = widgetof(grabbing)) {
                widget->releaseMouse();
            }
            grabbing = nullptr;
        }
        QWidget* widget = widgetof(handle);
        if (widget && widget->isVisible()) {
            widget->grabMouse();
            grabbing = handle;
        }
        applycursor();
    }

    void cursorchanged(HCURSOR cursor, bool visible) override
    {
        shape = cursor;
        shown = visible;
        applycursor();
    }

    // While the mouse is captured the shape holds everywhere, as the system's does; otherwise it
    // belongs to the window under the pointer.
    void applycursor()
    {
        QCursor cursor = shown ? cursorof(shape) : QCursor(Qt::BlankCursor);
        if (grabbing) {
            if (QApplication::overrideCursor()) {
                QApplication::changeOverrideCursor(cursor);
            } else {
                QApplication::setOverrideCursor(cursor);
            }
            return;
        }
        while (QApplication::overrideCursor()) {
            QApplication::restoreOverrideCursor();
        }
        if (QWidget* widget = widgetof(win::currentqueue()->pointerwindow)) {
            widget->setCursor(cursor);
        }
    }

    void pointermoved(tagPOINT screen) override { QCursor::setPos(screen.x, screen.y); }

    HANDLE loadimage(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags) override
    {
        return loadresourceimage(instance, name, type, width, height, flags);
    }

    bool popupmenu(const win::PopupMenuRequest& request, int& next) override
    {
        return winqt::popupmenu(request, next);
    }
    void closepopupmenus() override { winqt::closepopupmenus(); }

    std::vector<win::Monitor> monitors() override
    {
        std::vector<win::Monitor> list;
        QScreen* primary = QGuiApplication::primaryScreen();
        for (QScreen* screen : QGuiApplication::screens()) {
            QRect g = screen->geometry();
            QRect a = screen->availableGeometry();
            list.push_back(win::Monitor { RECT { g.left(), g.top(), g.right() + 1, g.bottom() + 1 },
                RECT { a.left(), a.top(), a.right() + 1, a.bottom() + 1 }, screen == primary,
                static_cast<int>(screen->logicalDotsPerInchX()) });
        }
        return list.empty() ? Backend::monitors() : list;
    }

    void seticons(HWND handle, QWidget& widget)
    {
        auto window = win::windowref(handle);
        if (!window || (window->style & WS_CHILD)) {
            return;
        }
        QIcon icon = qiconof(window->bigicon);
        QIcon small = qiconof(window->smallicon);
        for (const QSize& size : small.availableSizes()) {
            icon.addPixmap(small.pixmap(size));
        }
        widget.setWindowIcon(icon);
    }
};

QtBackend* installed = nullptr;

} // namespace

bool install()
{
    if (!QApplication::instance()) {
        return false;
    }
    if (!installed) {
        installed = new QtBackend;
        installed->previousbeep = setmessagebeephook(beep);
        installed->previousbox = installmessagebox();
        installed->previoushelp = installhelpviewer();
        win::setbackend(installed);
        registercontrols();
    }
    return true;
}

void uninstall()
{
    if (!installed) {
        return;
    }
    win::setbackend(nullptr);
    setmessagebeephook(installed->previousbeep);
    setmessageboxhook(installed->previousbox);
    sethtmlhelphook(installed->previoushelp);
    delete installed;
    installed = nullptr;
}

QWidget* widgetof(HWND window)
{
    auto record = win::windowref(window);
    return record ? static_cast<QWidget*>(static_cast<NativeWindow*>(record->native)) : nullptr;
}

HWND windowof(const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (auto* native = dynamic_cast<const NativeWindow*>(widget); native && native->window()) {
            return native->window();
        }
    }
    return nullptr;
}

QImage grabwindow(HWND window)
{
    QWidget* widget = widgetof(window);
    return widget ? widget->grab().toImage() : QImage();
}

void leftwindow(HWND window)
{
    auto queue = win::currentqueue();
    if (!queue->tracking) {
        return;
    }
    QWidget* under = QApplication::widgetAt(QCursor::pos());
    HWND now = windowof(under);
    if (now == queue->tracking || (now && IsChild(queue->tracking, now))) {
        return;
    }
    if (!now || now != window) {
        PostMessageA(queue->tracking, WM_MOUSELEAVE, 0, 0);
        queue->tracking = nullptr;
    }
}

void activatedbytoolkit(HWND window)
{
    if (!installed || !IsWindow(window)) {
        return;
    }
    HWND root = GetAncestor(window, GA_ROOT);
    if (root == installed->requestedactive || root == GetActiveWindow()) {
        return;
    }
    // The toolkit tells of activations in its own time: another window's, told just after this
    // layer asked for its own, is stale. Followed, it would start two windows asking in turn for
    // each other without end (two frames shown one after the other).
    constexpr auto stale = std::chrono::milliseconds(250);
    if (installed->requestedactive && std::chrono::steady_clock::now() - installed->requestedat < stale) {
        return;
    }
    MSG message { root, WM_ACTIVATE, WA_ACTIVE, 0, 0, {} };
    if (win::offer(message)) {
        SetActiveWindow(message.hwnd);
    }
}

} // namespace winqt
