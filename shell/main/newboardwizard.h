#pragma once

// The new-board wizard of a multi-board project: it names the board the project has just added
// (and made current) and says whether the part references count on that board alone. A name must
// be given and must not be another board's; Cancel leaves the board as it was, for the project to
// take away again.
// Callers: the project's createboard through its newboardwizard hook, set by the process.

#include "framework/appln/applndialog.h"

class CDBCORE;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class VKTPROJECT;

class NEWBOARDWIZARD : public APPLNDIALOG {
public:
    NEWBOARDWIZARD(QWidget* parent, CDBCORE& cdb);

    // The name and the count go into the current board.
    void accept() override;

    QLineEdit* nameedit() const { return name; }
    QCheckBox* localbox() const { return local; }
    QPushButton* okbutton() const { return ok; }
    QLabel* refusallabel() const { return refusal; }

private:
    void validate();

    CDBCORE& cdb;
    QLineEdit* name;
    QCheckBox* local;
    QLabel* refusal;
    QPushButton* ok;
};

// Runs the wizard modal on the active frame for the project's new board; 1 when it was accepted.
int runnewboardwizard(VKTPROJECT& project);
