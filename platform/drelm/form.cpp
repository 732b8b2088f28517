#include "platform/drelm/form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QWidget>
#include <strings.h>

#include "platform/drelm/control.h"
#include "platform/drelm/formbuilder.h"
#include "platform/drelm/formfactory.h"
#include "platform/drelm/formregistry.h"
#include "platform/drelm/formtemplate.h"
#include "platform/drelm/hosting.h"
#include "platform/drelm/messageboxes.h"
#include "platform/win/input.h"
#include "platform/win/messagebox.h"
#include "platform/win/messagequeue.h"
#include "platform/win/monitors.h"
#include "platform/win/window.h"

namespace {

constexpr DWORD DIALOGSTYLE = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD CHILDSTYLE = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

// Sizes a window so that its client area is width by height; a dialog is centred over the owner
// (the primary work area without one).
void fit(HWND window, HWND owner, bool child, int width, int height)
{
    RECT outer {}, client {};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    const int w = width + (outer.right - outer.left) - client.right;
    const int h = height + (outer.bottom - outer.top) - client.bottom;
    if (child) {
        SetWindowPos(window, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    RECT over {};
    if (!owner || !GetWindowRect(GetAncestor(owner, GA_ROOT), &over))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &over, 0);
    SetWindowPos(window, nullptr, over.left + ((over.right - over.left) - w) / 2,
        over.top + ((over.bottom - over.top) - h) / 2, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

FORM::FORM(HWND owner, const char* name, IFORMHANDLER* handler)
    : name(name ? name : "")
    , owner(owner)
    , handler(handler)
{
}

FORM::FORM(HWND owner, const char* name, FORMPROC proc)
    : name(name ? name : "")
    , owner(owner)
    , proc(proc)
{
}

FORM::~FORM()
{
    if (state == FS_RUNNING && !parentform)
        end(IDCANCEL);
    if (hwnd)
        DestroyWindow(hwnd); // tears the form down through WM_DESTROY
    teardown();
    dropsarglist();
}

int FORM::load(HWND parent, int child)
{
    return root ? 1 : build(parent, child);
}

int FORM::build(HWND parent, int child)
{
    HINSTANCE module = nullptr;
    std::string error;
    QWidget* widgets = drelm::loadlayout(name.c_str(), module, error);
    if (!widgets) {
        drelm::reportformerror(error);
        return 0;
    }
    drelm::registerformclasses();
    const QSize size = widgets->size().isEmpty() ? widgets->sizeHint() : widgets->size();
    HWND window = CreateWindowExA(0, drelm::FORMCLASS, "", child ? CHILDSTYLE : DIALOGSTYLE, 0, 0,
        size.width(), size.height(), parent, nullptr, nullptr, nullptr);
    if (!drelm::host(widgets, window)) {
        delete widgets;
        DestroyWindow(window);
        drelm::reportformerror("The form '" + name + "' has no window: the window layer is not installed.");
        return 0;
    }
    subclass(window);
    if (!child)
        owner = parent;
    root = widgets;
    root->setAutoFillBackground(true);
    if (std::string failed = FORMBUILDER(*this, module, 0).build(); !failed.empty()) {
        DestroyWindow(window);
        drelm::reportformerror("The form '" + name + "' cannot be built: " + failed);
        return 0;
    }
    SetWindowTextA(window, root->windowTitle().toUtf8().constData());
    fit(window, owner, child, size.width(), size.height());
    return 1;
}

void FORM::setarglist(va_list list)
{
    dropsarglist();
    va_copy(arguments, list);
    hasarguments = true;
}

void FORM::takearglist(LISTTYPE kind, va_list* own)
{
    if (kind == LT_VARARGS)
        setarglist(*own);
    else if (kind == LT_VALIST)
        setarglist(*va_arg(*own, va_list*));
}

void FORM::dropsarglist()
{
    if (hasarguments)
        va_end(arguments);
    hasarguments = false;
}

void* FORM::nextarg()
{
    if (parentform)
        return parentform->nextarg();
    return hasarguments ? va_arg(arguments, void*) : nullptr;
}

int FORM::open(int mode, int kind, ...)
{
    va_list own;
    va_start(own, kind);
    takearglist(static_cast<LISTTYPE>(kind), &own);
    va_end(own);
    const bool modalrun = mode == DLG_MODAL;
    if (state == FS_RUNNING) {
        ShowWindow(hwnd, SW_SHOW);
        return modalrun ? runmodal() : 1;
    }
    if (!root && !build(owner ? owner : GetActiveWindow(), 0)) {
        dropsarglist();
        return modalrun ? -1 : 0;
    }
    start();
    if (state != FS_RUNNING)
        return modalrun ? result : 1; // ended while starting
    return modalrun ? runmodal() : 1;
}

void FORM::start()
{
    state = FS_RUNNING;
    result = 0;
    drelm::formopened(this);
    ShowWindow(hwnd, SW_SHOW);
    notify(DLGM_START, 0, 0);
    for (const auto& page : pages)
        page->notify(DLGM_START, 0, 0);
    dropsarglist();
}

int FORM::runmodal()
{
    modal = true;
    HWND ownerroot = owner ? GetAncestor(owner, GA_ROOT) : nullptr;
    if (ownerroot && IsWindowEnabled(ownerroot)) {
        EnableWindow(ownerroot, FALSE);
        disabledowner = ownerroot;
    }
    while (state == FS_RUNNING && IsWindow(hwnd)) {
        MSG message {};
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam)); // the loop above ours quits too
            end(IDCANCEL);
        } else if (got > 0) {
            win::deliver(message);
        }
    }
    modal = false;
    return result;
}

bool FORM::validate()
{
    if (!valuesarenumbers())
        return false;
    for (const auto& page : pages)
        if (page->notify(DLGM_VALIDATE, IDOK, 0) == DLG_HANDLED)
            return false;
    return notify(DLGM_VALIDATE, IDOK, 0) != DLG_HANDLED;
}

bool FORM::valuesarenumbers()
{
    for (const auto& c : controls) {
        int valid = 1;
        if (c->bound && c->getkind() == CK_VALUEEDIT && (c->getreal(&valid), !valid)) {
            drelm::reportformerror("'" + c->text() + "' is not a number.");
            c->setfocus();
            return false;
        }
    }
    for (const auto& page : pages)
        if (!page->valuesarenumbers())
            return false;
    return true;
}

void FORM::commit()
{
    for (const auto& c : controls)
        c->writeback();
}

void FORM::end(int code)
{
    if (parentform) {
        parentform->end(code);
        return;
    }
    if (state != FS_RUNNING)
        return;
    result = code;
    for (const auto& page : pages)
        if (page->notify(DLGM_CLOSING, code, 0) != DLG_HANDLED && code == IDOK)
            page->commit();
    if (notify(DLGM_CLOSING, code, 0) != DLG_HANDLED && code == IDOK)
        commit();
    state = code == IDOK ? FS_CONFIRMED : FS_CANCELLED;
    drelm::formclosed(this);
    // The owner is enabled before the form goes, so that it is the window activated next.
    if (disabledowner && IsWindow(disabledowner))
        EnableWindow(disabledowner, TRUE);
    disabledowner = nullptr;
    if (modal)
        PostThreadMessageA(WM_NULL, 0, 0); // the modal loop may be waiting for a message
    if (hwnd)
        DestroyWindow(hwnd);
}

void FORM::teardown()
{
    if (state == FS_RUNNING && !parentform) {
        // The window went without the form ending: its parent or owner was destroyed.
        state = FS_CANCELLED;
        result = IDCANCEL;
        drelm::formclosed(this);
    }
    if (root) {
        for (const auto& page : pages)
            page->notify(DLGM_DESTROY, 0, 0);
        notify(DLGM_DESTROY, 0, 0);
    }
    pages.clear();
    controls.clear();
    delete guard;
    guard = nullptr;
    if (root && !parentform)
        root->deleteLater(); // with the window's widget, or at once when it is gone
    root = nullptr;
    unbind();
}

int FORM::pressbutton(int id)
{
    CONTROL* c = getctrl(id);
    auto* button = c ? qobject_cast<QAbstractButton*>(c->getwidget()) : nullptr;
    if (!button || !button->isEnabled())
        return 0;
    button->click();
    return 1;
}

CONTROL* FORM::getctrl(const char* controlname) const
{
    if (!controlname)
        return nullptr;
    for (const auto& c : controls)
        if (strcasecmp(c->getname(), controlname) == 0)
            return c.get();
    for (const auto& page : pages)
        if (CONTROL* c = page->getctrl(controlname))
            return c;
    return nullptr;
}

CONTROL* FORM::getctrl(int id) const
{
    for (const auto& c : controls)
        if (c->getid() == id)
            return c.get();
    for (const auto& page : pages)
        if (CONTROL* c = page->getctrl(id))
            return c;
    return nullptr;
}

CONTROL* FORM::ctrlofwidget(const QWidget* widget) const
{
    if (!widget)
        return nullptr;
    for (const auto& c : controls)
        if (c->getwidget() == widget)
            return c.get();
    for (const auto& page : pages)
        if (CONTROL* c = page->ctrlofwidget(widget))
            return c;
    return nullptr;
}

int FORM::getctrlid(const char* controlname) const
{
    CONTROL* c = getctrl(controlname);
    return c ? c->getid() : 0;
}

int FORM::enable(int id, int on)
{
    CONTROL* c = getctrl(id);
    if (c)
        c->enable(on);
    return c != nullptr;
}

int FORM::show(int id, int on)
{
    CONTROL* c = getctrl(id);
    if (c)
        c->show(on);
    return c != nullptr;
}

DLGCODES FORM::notify(unsigned msg, unsigned wparam, long lparam)
{
    if (handler)
        return handler->callback(*this, msg, wparam, lparam);
    if (proc)
        return proc(*this, msg, wparam, lparam);
    return DLG_DEFAULT;
}

LRESULT FORM::msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        if (root && !parentform)
            drelm::fitclient(root, window);
        break;
    case WM_CLOSE:
        end(IDCANCEL);
        return 0;
    case WM_SETFOCUS:
        if (root)
            for (QWidget* w : root->findChildren<QWidget*>())
                if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(root)) {
                    w->setFocus(Qt::TabFocusReason);
                    break;
                }
        return 0;
    case WM_DESTROY: {
        const LRESULT answer = chainsubclass(window, message, wParam, lParam);
        teardown();
        return answer;
    }
    default:
        if (message >= WM_USER)
            return notify(message, static_cast<unsigned>(wParam), static_cast<long>(lParam));
        break;
    }
    return chainsubclass(window, message, wParam, lParam);
}

int rm_get(const char* name, ...)
{
    IFORMFACTORY* factory = getformfactory();
    FORM form(GetActiveWindow(), name, factory ? factory->getdialogcbf(name) : nullptr);
    va_list arguments;
    va_start(arguments, name);
    const int code = form.open(DLG_MODAL, LT_VALIST, &arguments);
    va_end(arguments);
    return code;
}
