#include "shell/main/newboardwizard.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/hulvane/cdbcore.h"

namespace {

// A project of two boards, "Main" and the one just added, which is current.
struct TWOBOARDS {
    TWOBOARDS()
    {
        cdb.addboard()->name = "Main";
        added = cdb.addboard();
        cdb.setmodified(0);
    }
    CDBCORE cdb;
    BOARD* added;
};

TEST(NewBoardWizard, ANameGivenAndNotAnotherBoardsNamesTheNewBoardWithItsCount)
{
    TWOBOARDS project;
    NEWBOARDWIZARD wizard(nullptr, project.cdb);
    EXPECT_EQ(wizard.nameedit()->text(), QStringLiteral("Board 2"));
    EXPECT_TRUE(wizard.okbutton()->isEnabled());

    const std::pair<const char*, bool> names[] = {
        { "", false },
        { "   ", false },
        { "main", false }, // another board's, whatever the case
        { "Power", true },
    };
    for (const auto& [name, accepted] : names) {
        wizard.nameedit()->setText(QString::fromLatin1(name));
        EXPECT_EQ(wizard.okbutton()->isEnabled(), accepted) << name;
        EXPECT_EQ(wizard.refusallabel()->text().isEmpty(), accepted) << name;
    }
    wizard.nameedit()->setText(QStringLiteral(" Power "));
    wizard.localbox()->setChecked(true);
    wizard.accept();
    EXPECT_EQ(wizard.result(), QDialog::Accepted);
    EXPECT_EQ(project.added->name, "Power");
    EXPECT_EQ(project.added->localids, 1);
    EXPECT_EQ(project.cdb.getboard(0)->localids, 0);
    EXPECT_TRUE(project.cdb.ismodified());
}

TEST(NewBoardWizard, ARefusedOrCancelledWizardLeavesTheBoardAsItWas)
{
    TWOBOARDS project;
    NEWBOARDWIZARD refused(nullptr, project.cdb);
    refused.nameedit()->setText(QStringLiteral("MAIN"));
    refused.accept();
    EXPECT_NE(refused.result(), QDialog::Accepted);

    NEWBOARDWIZARD cancelled(nullptr, project.cdb);
    cancelled.nameedit()->setText(QStringLiteral("Power"));
    cancelled.reject();
    EXPECT_EQ(project.added->name, "");
    EXPECT_FALSE(project.cdb.ismodified());
}

} // namespace
