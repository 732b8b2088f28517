#include "framework/bars/ctrlwidget.h"

#include <QHBoxLayout>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QToolBar>

#include "platform/win/gdi.h"
#include "platform/win/paint.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"

// Draws no tool-bar background, so that the rebar's shows through.
class CTRLWIDGET::STYLE : public QProxyStyle {
public:
    void drawControl(
        ControlElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const override
    {
        if (element != CE_ToolBar)
            QProxyStyle::drawControl(element, option, painter, widget);
    }
};

QString CTRLWIDGET::stylesheet(int verticalpadding, int horizontalpadding)
{
    return QStringLiteral(
        "QToolBar>QWidget { margin-left: 1px; margin-right: 1px; }\n"
        "QToolButton { margin-left: 0px; margin-right: 0px; }\n"
        "QToolBar::separator { background-color: #accbdd; }\n"
        "QToolBar::separator:horizontal { width: 1px; border-right: 1px solid #e5f2f9; margin-top: 2px; "
        "margin-bottom: 2px; margin-left: 2px; margin-right: 2px; }\n"
        "QToolBar::separator:vertical { height: 1px; margin-top: 2px; margin-bottom: 2px; margin-left: 2px; "
        "margin-right: 2px; }\n"
        "QToolButton { border: 1px solid transparent; padding-top: %1px; padding-bottom: %1px; "
        "padding-left: %2px; padding-right: %2px; }\n"
        "QToolButton:hover,QToolButton:checked:hover { background-color: qlineargradient(x1:0, y1:0.2, x2:0, "
        "y2:0.98, stop:0 rgba(203,228,243,255), stop:1 rgba(172, 203, 221, 255)); border: 1px solid #92cbec; }\n"
        "QToolButton:pressed { background-color: qlineargradient(x1:0, y1:0.2, x2:0, y2:0.98, stop:0 "
        "rgba(199,224,239,255), stop:1 rgba(168, 199, 217, 255)); border: 1px solid #8ec7e8; }\n"
        "QToolButton:checked { background-color: qlineargradient(x1:0, y1:0.88, x2:0, y2:0.2, stop:0 "
        "rgba(203,228,243,255), stop:1 rgba(168, 199, 217, 255)); border: 1px solid #70a1bd; }\n")
        .arg(verticalpadding / 2 - 1)
        .arg((horizontalpadding - 6) / 2);
}

CTRLWIDGET::CTRLWIDGET(BASEHWND* window, QToolBar* toolbar, unsigned id, int verticaldocking)
    : CTRLBAR(window, id, verticaldocking)
    , QLabel(nullptr, Qt::FramelessWindowHint)
    , style(new STYLE)
{
    if (QWidget* native = winqt::widgetof(hwnd))
        QLabel::setParent(native, Qt::Widget | Qt::FramelessWindowHint);
    configuresize(nullptr, 0);
    setchild(toolbar, true);
    if (toolbar)
        toolbar->setIconSize(QSize(bitmapsize, buttonsize));
}

CTRLWIDGET::~CTRLWIDGET()
{
    setchild(nullptr, false);
    delete style;
}

void CTRLWIDGET::setchild(QWidget* widget, bool owns)
{
    if (child) {
        child->setParent(nullptr);
        if (ownschild)
            child->deleteLater();
    }
    child = widget;
    ownschild = owns;
    if (!child)
        return;
    child->setParent(this, Qt::Widget | Qt::FramelessWindowHint);
    child->setStyleSheet(stylesheet(verticalpadding, horizontalpadding));
    delete layout();
    auto* box = new QHBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(child);
    // Fusion stands in for the native look the bars copy.
    style->setBaseStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    child->setStyle(style);
    reposition();
}

void CTRLWIDGET::reposition()
{
    resize();
    move(0, 0);
}

BOX CTRLWIDGET::resize()
{
    if (child) {
        const QSize wanted = child->sizeHint() + QSize(2, 0);
        if (size() != wanted) {
            QLabel::resize(wanted);
            backgroundstale = true;
        }
        RECT area {};
        GetClientRect(hwnd, &area);
        if (area.right != wanted.width() || area.bottom != wanted.height())
            sizeto(wanted.width(), wanted.height(), SWP_NOACTIVATE);
    }
    return CTRLBAR::resize();
}

int CTRLWIDGET::minwidth()
{
    return child ? child->sizeHint().width() : CTRLBAR::minwidth();
}

void CTRLWIDGET::show()
{
    QLabel::show();
    if (child)
        child->show();
}

void CTRLWIDGET::deleteself()
{
    // The label leaves the dying window's widget, which Qt deletes with its children.
    QLabel::hide();
    QLabel::setParent(nullptr);
    deleteLater();
}

void CTRLWIDGET::refreshbackground()
{
    if (!backgroundstale)
        return;
    backgroundstale = false;
    RECT client {};
    GetClientRect(hwnd, &client);
    if (client.right <= 0 || client.bottom <= 0)
        return;
    HDC screen = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    drawbackground(memory, &client);
    SelectObject(memory, previous);
    setPixmap(QPixmap::fromImage(winqt::toimage(bitmap)));
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(hwnd, screen);
}

LRESULT CTRLWIDGET::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
    case WM_PAINT:
        refreshbackground();
        break;
    case WM_WINDOWPOSCHANGED:
        reposition();
        break;
    default:
        break;
    }
    return CTRLBAR::msghlr(window, message, wParam, lParam);
}
