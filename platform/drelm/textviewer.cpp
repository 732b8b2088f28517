#include "platform/drelm/textviewer.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "platform/drelm/formregistry.h"
#include "platform/drelm/hosting.h"
#include "platform/win/messagequeue.h"
#include "platform/win/window.h"

TEXTVIEWER::TEXTVIEWER(const char* title, int columns)
{
    drelm::registerformclasses();
    HWND window = CreateWindowExA(0, drelm::FORMCLASS, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
        CW_USEDEFAULT, 400, 300, nullptr, nullptr, nullptr, nullptr);
    auto* shown = new QPlainTextEdit;
    if (!drelm::host(shown, window)) {
        delete shown;
        DestroyWindow(window);
        return;
    }
    subclass(window);
    lines = shown;
    lines->setReadOnly(true);
    lines->setLineWrapMode(QPlainTextEdit::NoWrap);
    lines->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // As wide as the columns with the frame and a vertical scroll bar.
    const int width = lines->fontMetrics().horizontalAdvance(QString(columns > 0 ? columns : 80, 'M'))
        + 2 * lines->frameWidth() + lines->verticalScrollBar()->sizeHint().width() + 8;
    RECT outer {}, client {};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    SetWindowPos(window, nullptr, 0, 0, width + (outer.right - outer.left) - client.right,
        lines->fontMetrics().lineSpacing() * 24 + (outer.bottom - outer.top) - client.bottom,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TEXTVIEWER::~TEXTVIEWER()
{
    if (hwnd)
        DestroyWindow(hwnd);
}

void TEXTVIEWER::append(const char* text)
{
    if (lines)
        lines->appendPlainText(QString::fromUtf8(text ? text : ""));
}

void TEXTVIEWER::open()
{
    if (!hwnd)
        return;
    ShowWindow(hwnd, SW_SHOW);
    BringWindowToTop(hwnd);
}

int TEXTVIEWER::isvisible() const
{
    return hwnd && IsWindowVisible(hwnd);
}

std::string TEXTVIEWER::text() const
{
    return lines ? lines->toPlainText().toStdString() : std::string();
}

LRESULT TEXTVIEWER::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        if (lines)
            drelm::fitclient(lines, window);
        break;
    case WM_CLOSE:
        ShowWindow(window, SW_HIDE);
        return 0;
    case WM_DESTROY: {
        const LRESULT answer = chainsubclass(window, message, wParam, lParam);
        lines = nullptr; // goes with the window's widget
        unbind();
        return answer;
    }
    default:
        break;
    }
    return chainsubclass(window, message, wParam, lParam);
}
