#pragma once

// The window layer on Qt Widgets: every window gets a native widget, toolkit input becomes queued
// messages, painting goes through each window's surface, and the layer's waits run Qt's event
// dispatcher. The program (and every Qt test) installs it once, after making its QApplication.
// Callers: the process object (framework), which installs the layer.

#include <QImage>

#include "platform/win/handletypes.h"
#include "platform/win/scalars.h"

class QWidget;

namespace win {
struct Bitmap;
struct Icon;
} // namespace win

namespace winqt {

// Installs the backend for the calling thread, which must be the one of the QApplication,
// registers the layer's control classes, shows message boxes (MessageBoxA) as Qt dialogs and help
// topics (HtmlHelpA) as their pages in the desktop's browser. False without a QApplication.
bool install();
// Restores the layer's default backend; windows still alive lose their widgets. A seam for tests,
// which run the layer with and without the toolkit.
void uninstall();

// The native widget of a window; null for a dead window or without the backend.
QWidget* widgetof(HWND window);
// The window whose native widget is the widget or its closest such ancestor; null for none.
HWND windowof(const QWidget* widget);
// What the window shows: its surface with the menu bar and border drawn around it. A seam for
// tests, which compare and keep what a window shows.
QImage grabwindow(HWND window);

// The layer's message box: a Qt dialog over the owner's top-level window, which is disabled
// meanwhile; install() makes it MessageBoxA's (a dialog library may put its own in its place).
int messagedialog(HWND owner, const char* text, const char* caption, UINT style);

// Conversions between the layer's images and Qt's (copies).
QImage toimage(HBITMAP bitmap);
HBITMAP tobitmap(const QImage& image);
QImage toimage(HICON icon);
HICON toicon(const QImage& image, bool isicon = true, int hotx = 0, int hoty = 0);

} // namespace winqt
