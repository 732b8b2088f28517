// The Qt face of the toolbar control: a QToolBar over the control's client area with a
// QToolButton for each button, so that the buttons' look, hover and press feedback, tips,
// accessibility and scaling are Qt's. The toolbar paints no background of its own: the control's
// surface below it holds the erased background and the buttons the parent draws itself, and a
// button the parent drew shows that drawing instead of its own.

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

#include "platform/win/images.h"
#include "platform/win/qt/nativewindow.h"
#include "platform/win/qt/tiptext.h"
#include "platform/win/qt/toolbar.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"

namespace winqt {

class ToolbarWidget : public QToolBar {
public:
    ToolbarWidget(HWND toolbar, QWidget* parent)
        : QToolBar(parent)
        , toolbar(toolbar)
    {
        setMovable(false);
        setFloatable(false);
        setAutoFillBackground(false);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    // Only the separators: the control's surface shows through everywhere else.
    void paintEvent(QPaintEvent*) override
    {
        Toolbar* bar = toolbarof(toolbar);
        if (!bar) {
            return;
        }
        QPainter painter(this);
        for (const ToolbarButton& b : bar->buttons) {
            if (!separator(b) || (b.state & TBSTATE_HIDDEN)) {
                continue;
            }
            QStyleOption option;
            option.initFrom(this);
            option.rect
                = QRect(b.rect.left, b.rect.top, b.rect.right - b.rect.left, b.rect.bottom - b.rect.top);
            // The separator's line runs across the bar.
            option.state.setFlag(QStyle::State_Horizontal, !vertical(*bar));
            style()->drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, &option, &painter, this);
        }
    }

private:
    HWND toolbar;
};

class ToolButton : public QToolButton {
public:
    ToolButton(HWND toolbar, QWidget* parent)
        : QToolButton(parent)
        , toolbar(toolbar)
    {
        setAutoRaise(true);
        setFocusPolicy(Qt::NoFocus);
        connect(this, &QToolButton::clicked, this, [this] {
            if (Toolbar* bar = toolbarof(this->toolbar); bar && place(*bar) >= 0) {
                winqt::click(*bar, place(*bar));
            }
        });
    }

    // Where the button stands in its bar; -1 once it left.
    int place(const Toolbar& bar) const
    {
        for (size_t i = 0; i < bar.buttons.size(); ++i) {
            if (bar.buttons[i].widget == this) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::ToolTip) {
            return QToolButton::event(event);
        }
        Toolbar* bar = toolbarof(toolbar);
        const bool tips = GetWindowLongA(toolbar, GWL_STYLE) & TBSTYLE_TOOLTIPS;
        std::string text = bar && tips && place(*bar) >= 0 ? infotip(*bar, place(*bar)) : std::string();
        if (text.empty()) {
            QToolTip::hideText();
        } else {
            setAccessibleName(QString::fromStdString(text));
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tiptext(text, true), this);
        }
        return true;
    }

    void enterEvent(QEnterEvent* event) override
    {
        QToolButton::enterEvent(event);
        if (Toolbar* bar = toolbarof(toolbar); bar && place(*bar) >= 0) {
            sethot(*bar, isEnabled() ? place(*bar) : -1, HICF_MOUSE);
        }
    }

    // Leaving for a neighbour moves the hot button there in one change: the neighbour enters
    // before the check runs.
    void leaveEvent(QEvent* event) override
    {
        QToolButton::leaveEvent(event);
        QTimer::singleShot(0, this, [this] {
            Toolbar* bar = toolbarof(toolbar);
            if (bar && bar->hot >= 0 && bar->hot == place(*bar)) {
                sethot(*bar, -1, HICF_MOUSE);
            }
        });
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        track([&] { QToolButton::mousePressEvent(event); });
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        track([&] { QToolButton::mouseMoveEvent(event); });
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        track([&] { QToolButton::mouseReleaseEvent(event); });
    }

    void paintEvent(QPaintEvent*) override
    {
        Toolbar* bar = toolbarof(toolbar);
        const int index = bar ? place(*bar) : -1;
        if (index < 0 || bar->buttons[static_cast<size_t>(index)].ownerdrawn) {
            return;
        }
        QStyleOptionToolButton option;
        initStyleOption(&option);
        option.state.setFlag(QStyle::State_MouseOver, bar->hot == index);
        option.icon = icon(*bar, bar->buttons[static_cast<size_t>(index)]);
        QStylePainter painter(this);
        painter.drawComplexControl(QStyle::CC_ToolButton, option);
    }

private:
    // The control keeps the pressed state the parent draws with: it follows the button going down
    // or up under the mouse. The handling may have taken the toolbar away.
    template <typename Handling> void track(Handling handling)
    {
        const bool before = isDown();
        handling();
        Toolbar* bar = toolbarof(toolbar);
        if (bar && place(*bar) >= 0 && isDown() != before) {
            setpressed(*bar, place(*bar), isDown());
        }
    }

    static void addimage(QIcon& icon, HIMAGELIST list, int image, QIcon::Mode mode)
    {
        if (!list || image < 0 || image >= ImageList_GetImageCount(list)) {
            return;
        }
        HICON picture = ImageList_GetIcon(list, image, ILD_NORMAL);
        icon.addPixmap(QPixmap::fromImage(toimage(picture)), mode);
        DestroyIcon(picture);
    }

    // The normal image, the hot one for the raised look and the disabled one when there are lists.
    static QIcon icon(Toolbar& bar, const ToolbarButton& button)
    {
        QIcon icon;
        int image = imageof(bar, button);
        addimage(icon, bar.normal, image, QIcon::Normal);
        addimage(icon, bar.hotimages, image, QIcon::Active);
        addimage(icon, bar.disabled, image, QIcon::Disabled);
        return icon;
    }

    HWND toolbar;
};

int separatorextent()
{
    QStyle* style = QApplication::style();
    int size = style ? style->pixelMetric(QStyle::PM_ToolBarSeparatorExtent) : -1;
    return size > 0 ? size : 8;
}

void makewidget(Toolbar& bar)
{
    auto* native = dynamic_cast<NativeWindow*>(widgetof(bar.self));
    if (!native || bar.widget) {
        return;
    }
    bar.widget = new ToolbarWidget(bar.self, native);
    bar.widget->show();
}

void syncwidgets(Toolbar& bar)
{
    auto* native = dynamic_cast<NativeWindow*>(widgetof(bar.self));
    if (!native || !bar.widget) {
        return;
    }
    RECT client {};
    GetClientRect(bar.self, &client);
    bar.widget->setGeometry(QRect(native->clientoffset(), QSize(client.right, client.bottom)));
    bar.widget->setOrientation(vertical(bar) ? Qt::Vertical : Qt::Horizontal);
    for (ToolbarButton& b : bar.buttons) {
        if (separator(b)) {
            delete b.widget.data();
            continue;
        }
        if (!b.widget) {
            b.widget = new ToolButton(bar.self, bar.widget);
        }
        ToolButton& button = *b.widget;
        button.setGeometry(
            QRect(b.rect.left, b.rect.top, b.rect.right - b.rect.left, b.rect.bottom - b.rect.top));
        button.setIconSize(QSize(bar.bitmap.cx, bar.bitmap.cy));
        button.setEnabled(b.state & TBSTATE_ENABLED);
        button.setCheckable(b.style & BTNS_CHECK);
        button.setChecked(b.state & TBSTATE_CHECKED);
        button.setVisible(!(b.state & TBSTATE_HIDDEN));
    }
}

void forwardmouse(Toolbar& bar, int index, UINT message, tagPOINT client)
{
    const ToolbarButton& b = bar.buttons[static_cast<size_t>(index)];
    QPointer<ToolButton> button = b.widget;
    if (!button) {
        return;
    }
    const QPointF local(client.x - b.rect.left, client.y - b.rect.top);
    const bool move = message == WM_MOUSEMOVE;
    const bool release = message == WM_LBUTTONUP;
    QMouseEvent event(move ? QEvent::MouseMove
            : release      ? QEvent::MouseButtonRelease
                           : QEvent::MouseButtonPress,
        local, button->mapToGlobal(local), move ? Qt::NoButton : Qt::LeftButton,
        release ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &event);
}

} // namespace winqt
