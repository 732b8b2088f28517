#pragma once

// Layouts of forms: found among the modules' resources, checked, and built into widgets by the
// toolkit's layout loader. A layout is checked before the loader sees it, so that a damaged or
// hostile file fails with a message instead of exhausting the stack or memory: it must be
// well-formed, at most MAXLAYOUTBYTES long, nest elements at most MAXDEPTH deep, hold at most
// MAXWIDGETS widgets of the classes FORMS.md lists, keep every coordinate and size within
// MAXEXTENT (a maximum size may also be the toolkit's "no limit"), give every edit bound to a text a
// maximum length, and carry no signal connections, images or includes.
// Not for callers outside the library.

#include <string>

#include <QByteArray>

#include "platform/win/handletypes.h"

class QWidget;

namespace drelm {

constexpr int MAXLAYOUTBYTES = 1 << 20;
constexpr int MAXDEPTH = 64;
constexpr int MAXWIDGETS = 1000;
constexpr int MAXEXTENT = 10000;

// The layout of the named form from the current application context's resource module, then
// its module, then the library module; false (with the reason in error) when there is none.
// module is where it was found.
bool findlayout(const char* name, QByteArray& layout, HINSTANCE& module, std::string& error);

// "" when the layout may be built; else what is wrong, starting with "line N: ".
std::string checklayout(const QByteArray& layout);

// The widgets of a checked layout, parentless; null (with the reason in error) when the loader
// fails.
QWidget* buildlayout(const QByteArray& layout, std::string& error);

// The widgets of the named form, found, checked and built as above; null with a message that
// names the form when any step fails. module is where the layout was found.
QWidget* loadlayout(const char* name, HINSTANCE& module, std::string& error);

} // namespace drelm
