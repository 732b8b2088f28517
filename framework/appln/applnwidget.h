#pragma once

// APPLNWIDGET: a module window hosting a Qt main window, for modules that build their user
// interface with Qt. The module fills the main window and hands its actions, menus and tool bars
// to the host, which puts them into the framework's terms: every action gets a command id (0x300
// plus its index, never reused while the window lives), a row in the window's command table and,
// with a shortcut, a key binding; menus become rows the window's menu bar loads; tool bars become
// control bars (CTRLWIDGET) docked in the frame's rebars. Commands that come back as ids trigger
// their actions. The main window is a frameless child widget covering the window's client area.

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include "framework/appln/applnwindow.h"

class CTRLWIDGET;
class QAction;
class QMenu;
class QToolBar;

class APPLNWIDGET : public APPLNWINDOW, public QMainWindow {
public:
    // The command id of the first action.
    static constexpr unsigned short FIRSTACTION = 0x300;

    APPLNWIDGET();
    ~APPLNWIDGET() override;

    // The main window.
    QWidget* getqtwidget() override { return this; }
    // The window's small icon becomes the main window's icon too.
    void seticon(const char* name) override;
    void oncreatewindow() override;
    void ondestroywindow() override;
    // Keeps the keyboard focus inside the main window across activations.
    void onactivate(int active, int minimized) override;
    using APPLNWINDOW::onactivate;
    void onresize(int width, int height) override;
    void onreposition() override;
    void onframesetcursor(HWND over) override;

    // Hooks of a deriving window around the native window's life; nothing here.
    virtual void oncreatemainwindow() { }
    virtual void ondestroymainwindow() { }
    // The action that opens help, given the shortcut F1.
    virtual void sethelpaction(QAction* action);
    // The action's enabled and checked state; 1.
    virtual int getuistate(QAction* action, UISTATE& state);

    // Triggers the action of the id (the help action opens help); 0 for an id that is no action.
    int docommand(unsigned short id) override;
    int getuistate(unsigned short id, UISTATE* state) override;

    // Gives the action the next id (kept as the action's data), its highlighted icon and, with a
    // shortcut, the shortcut's first key bound to the id in the context. The id.
    unsigned short addaction(unsigned short context, QAction* action);
    // Adds a row per action of the menu and its submenus to the context (from `first` on: binds
    // the actions to the context's existing rows instead). In add mode the id the next action will
    // get; in replace mode the id after the last one bound.
    unsigned short addmenu(unsigned short context, QMenu* menu, unsigned flags);
    unsigned short addmenu(unsigned short context, unsigned short first, QMenu* menu, unsigned flags);
    // Binds the menu's actions to the context's rows, then reloads the menu bar's popup of the
    // menu id from the context with its key names; addmenu's answer.
    unsigned short replacemenu(unsigned menuid, unsigned short context, QMenu* menu);
    // Points the id at the action when it is one of the window's; otherwise adds a row with the
    // flags and the action as a new id. The id; 0 for a separator.
    unsigned short replaceaction(unsigned short context, unsigned short id, unsigned flags, QAction* action);
    // Forgets the actions of the context's rows and removes the rows.
    void removecommands(unsigned short context);
    // The tool bar, neither movable nor floatable, in a bar docked at the top; the bar.
    CTRLWIDGET* addtoolbar(QToolBar* toolbar);
    using APPLNWINDOW::addtoolbar;

    // The key code the key translator binds for the first key of a shortcut; 0 for none.
    static unsigned long shortcutkey(const QKeySequence& shortcut);
    // Adds the brightened pixmaps of every size of the action's icon as its Active mode.
    static void highlighticons(QAction* action);
    // The icon with the pixmap of the path for the mode and state, and beside it the SVG or the
    // sized PNGs ("name_24.png" ... "name_64.png") of the same stem when present.
    static QIcon makeIcon(const QString& path);
    static QIcon makeIcon(const QString& path, QIcon::Mode mode, QIcon::State state, const QIcon* base);
    // The logical horizontal resolution of the widget's screen (the active window's for null) over
    // 96; 1.0 without a screen. Where Qt scales the widgets itself it reports 96 and the factor is
    // 1.0, since sizes in its logical pixels are scaled already.
    static double scaleFactor(const QWidget* widget);
    // The menu style of the main windows.
    static QString menustylesheet();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The action of an id; null for an id that is no action, or one cleared.
    QAction* actionof(unsigned short id) const;
    bool insidemain(const QWidget* widget) const;
    void showtip(const QString& tip);

    QList<QPointer<QMenu>> menus; // deleted with the native window
    QList<QPointer<QAction>> actions; // index i: the action of FIRSTACTION + i
    QPointer<QAction> helpaction;
    QPointer<QWidget> focuswidget;
    QList<QPointer<CTRLWIDGET>> bars;
};

// The Qt widget of the active frame's active window; null when none.
QWidget* getapplnwidget();
