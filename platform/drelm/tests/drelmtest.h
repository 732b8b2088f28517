#pragma once

// What the dialog library's tests share: the window layer on Qt for the whole run (qttest.h), the
// library started once, message boxes recorded instead of shown, and a way to act on a modal form
// or dialog once its loop runs.

#include <QApplication>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "platform/drelm/dialoglook.h"
#include "platform/drelm/formfactory.h"
#include "platform/win/messagebox.h"
#include "platform/win/qt/tests/qttest.h"

namespace drelmtest {

struct Started : wintest::FreshQt {
    Started() { dlg_init(nullptr); }
};

struct Box {
    std::string caption;
    std::string text;
    UINT style;
};

inline std::vector<Box>& boxes()
{
    static std::vector<Box> list;
    return list;
}

// Records every MessageBoxA and answers IDOK while it lives.
struct RecordedBoxes {
    MESSAGEBOXHOOK previous;
    RecordedBoxes()
    {
        boxes().clear();
        previous = setmessageboxhook([](HWND, const char* text, const char* caption, UINT style) {
            boxes().push_back({ caption ? caption : "", text ? text : "", style });
            return IDOK;
        });
    }
    ~RecordedBoxes() { setmessageboxhook(previous); }
};

// A module's form factory for a test, the current one while it lives.
struct Factory final : IFORMFACTORY {
    std::function<FORMPROC(const char* name)> callbacks;
    std::function<CONTROL*(FORM&, int type, HWND, const char* name)> controls;
    ITRANSLATE* translator = nullptr;
    FORMFACTORYHOOK previous;

    Factory()
    {
        current() = this;
        previous = setformfactoryhook([]() -> IFORMFACTORY* { return current(); });
    }
    ~Factory()
    {
        setformfactoryhook(previous);
        current() = nullptr;
    }
    static Factory*& current()
    {
        static Factory* factory = nullptr;
        return factory;
    }

    FORMPROC getdialogcbf(const char* name) override { return callbacks ? callbacks(name) : nullptr; }
    CONTROL* getdialogctrl(FORM& form, int type, HWND window, const char* name) override
    {
        return controls ? controls(form, type, window, name) : nullptr;
    }
    const char* getdialogctrltypename(int type) override { return "UNKNOWN"; }
    ITRANSLATE* getstringtranslator() override { return translator; }
    const char* getstringcontext() override { return translator ? "Tests" : nullptr; }
};

// Runs action once the toolkit's loop turns again (inside a modal loop started after this call).
inline void later(std::function<void()> action, int milliseconds = 0)
{
    QTimer::singleShot(milliseconds, QApplication::instance(), std::move(action));
}

// The modal dialog of the toolkit on top, once it is there (null after ten seconds).
template <typename Dialog> Dialog* modal()
{
    Dialog* found = nullptr;
    wintest::turnuntil(
        [&] { return (found = qobject_cast<Dialog*>(QApplication::activeModalWidget())) != nullptr; });
    return found;
}

} // namespace drelmtest
