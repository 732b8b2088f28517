#pragma once

// The dialog that creates or edits a link of a rich-text document: a web address, a bookmark of
// the document, or a link into the design naming a schematic element or a layout part, whose
// text may follow the name ("live"). OK is offered only for a link that can be followed: a text
// to show and a valid address, or a design name that the design holds. Remove Link (shown when
// editing) ends the dialog with an empty link. The kind of link chosen last is offered first the
// next time a link is made.
// Callers: LinkHandler::modifyLink.

#include <QMap>
#include <QString>
#include <QStringList>

#include "framework/appln/applndialog.h"

class CDBCORE;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QStackedWidget;

class LinkDialog : public APPLNDIALOG {
public:
    enum PAGE { EXTERNAL = 0, INTERNAL = 1, DESIGN = 2 };

    // The design's names come from the database (none without one).
    LinkDialog(QWidget* parent, const QString& text, const QString& link, const QStringList& bookmarks,
        CDBCORE* cdb);

    // What the dialog ended with: the text to show, and the link (empty after Remove Link).
    QString displayText() const;
    QString link() const;

    // The controls, for the document's tests.
    QLineEdit* textedit() const { return text; }
    QLineEdit* addressedit() const { return address; }
    QComboBox* bookmarkbox() const { return bookmark; }
    QComboBox* targettypebox() const { return targettype; }
    QComboBox* targetbox() const { return target; }
    QCheckBox* livebox() const { return live; }
    QPushButton* okbutton() const { return ok; }
    QPushButton* removebutton() const { return remove; }
    void choosepage(PAGE page);
    PAGE page() const;

private:
    void filltargets(CDBCORE* cdb);
    void readlink(const QString& link);
    void filltargetbox();
    const QMap<QString, unsigned long>& targetmap() const;
    void validate();

    QLineEdit* text;
    QButtonGroup* types;
    QStackedWidget* pages;
    QLineEdit* address;
    QComboBox* bookmark;
    QComboBox* targettype;
    QCheckBox* live;
    QComboBox* target;
    QPushButton* remove;
    QPushButton* ok;
    QMap<QString, unsigned long> elements; // schematic element names (upper case) to ids
    QMap<QString, unsigned long> parts; // layout part names to ids
    bool removed = false;
    static int lastpage;
};
