#include "shell/main/newboardwizard.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "framework/appln/applnframe.h"
#include "framework/appln/applnprocess.h"
#include "framework/appln/applnwidget.h"
#include "platform/hulvane/cdbcore.h"
#include "shell/project/vktproject.h"

NEWBOARDWIZARD::NEWBOARDWIZARD(QWidget* parent, CDBCORE& database)
    : APPLNDIALOG(parent, 0, QByteArray())
    , cdb(database)
    , name(new QLineEdit)
    , local(new QCheckBox(tr("Part references count on this board alone")))
    , refusal(new QLabel)
{
    setWindowTitle(tr("New Board"));
    auto* form = new QFormLayout;
    form->addRow(tr("Board &name:"), name);
    form->addRow(QString(), local);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok = buttons->button(QDialogButtonBox::Ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(refusal);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(name, &QLineEdit::textChanged, this, [this] { validate(); });
    name->setMaxLength(255);
    name->setText(tr("Board %1").arg(cdb.numboards()));
    validate();
}

void NEWBOARDWIZARD::validate()
{
    const QString text = name->text().trimmed();
    QString reason;
    if (text.isEmpty())
        reason = tr("The board needs a name.");
    const BOARD* added = cdb.currentboard();
    for (int i = 0; reason.isEmpty() && i < cdb.numboards(); ++i) {
        const BOARD* board = cdb.getboard(i);
        if (board != added && text.compare(QString::fromLocal8Bit(board->name.c_str()), Qt::CaseInsensitive) == 0)
            reason = tr("Another board is called \"%1\".").arg(text);
    }
    refusal->setText(reason);
    ok->setEnabled(reason.isEmpty());
}

void NEWBOARDWIZARD::accept()
{
    if (!ok->isEnabled())
        return;
    if (BOARD* board = cdb.currentboard()) {
        board->name = name->text().trimmed().toLocal8Bit().toStdString();
        cdb.setlocalids(board, local->isChecked());
        cdb.setmodified(1);
    }
    APPLNDIALOG::accept();
}

int runnewboardwizard(VKTPROJECT& project)
{
    APPLNPROCESS* process = getapplnprocess();
    APPLNFRAME* frame = process ? process->getactiveframe() : nullptr;
    if (!frame || !project.getcdb())
        return 0;
    NEWBOARDWIZARD wizard(nullptr, *project.getcdb());
    return frame->showdialog(&wizard, process) == QDialog::Accepted;
}
