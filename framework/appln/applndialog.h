#pragma once

// APPLNDIALOG: the base of the program's Qt dialogs. Each has a help topic (an id in a help file,
// the application's when the dialog names none) that the What's-This button and the help key open,
// shows its status tips in the active window's status bar, lets the line edits of combo boxes show
// their own context menu, and hands the keyboard focus back to the Qt main window of the active
// module window (APPLNWIDGET) that had it before the dialog appeared.

#include <QByteArray>
#include <QDialog>
#include <QPointer>

class APPLNDIALOG : public QDialog {
    Q_OBJECT

public:
    APPLNDIALOG(QWidget* parent, int helpid, const QByteArray& helpname);

    // The dialog's help id.
    virtual int GetCurrentHelpID() { return helpid; }
    // The help file's name: the dialog's, else the application's.
    virtual QByteArray getHelpName();

    // A dialog about to be shown takes the focus from the active window's Qt main window; a
    // hidden one gives it back. For dialogs that are no APPLNDIALOG.
    static void saveFocus();
    static void restoreFocus();

    void setVisible(bool visible) override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openhelp();

    QPointer<QWidget> savedfocus;
    int helpid;
    QByteArray helpname;

    static QPointer<QWidget> sFocusWidget;
};
