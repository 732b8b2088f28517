#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "platform/drelm/alerts.h"
#include "platform/drelm/messageboxes.h"
#include "platform/drelm/tests/drelmtest.h"

using namespace drelmtest;

namespace {

struct Shown {
    QString caption;
    QString text;
    QStringList buttons;
    QString preferred;
    Qt::Alignment alignment;
};

// Once a box shows: what it shows, then the button with that label is pressed (none: Escape).
void answer(Shown& shown, const QString& label)
{
    later([&shown, label] {
        auto* box = modal<QMessageBox>();
        ASSERT_NE(box, nullptr);
        shown = Shown {};
        shown.caption = box->windowTitle();
        shown.text = box->text();
        for (QAbstractButton* b : box->buttons())
            shown.buttons << b->text();
        shown.preferred = box->defaultButton() ? box->defaultButton()->text() : QString();
        shown.alignment = box->findChild<QLabel*>("qt_msgbox_label")->alignment();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == label) {
                b->click();
                return;
            }
        box->reject();
    });
}

} // namespace

TEST(MessageBoxes, TheWindowLayersBoxesAreTheLibrarysAndAnswerTheButtonChosen)
{
    Started started;
    const struct {
        UINT style;
        const char* press;
        int answer;
        QStringList buttons;
        const char* preferred;
    } cases[] = {
        { MB_YESNOCANCEL | MB_ICONQUESTION, "&No", IDNO, { "&Yes", "&No", "&Cancel" }, "&Yes" },
        { MB_YESNO | MB_DEFBUTTON2, "&Yes", IDYES, { "&Yes", "&No" }, "&No" },
        { MB_OKCANCEL, "", IDCANCEL, { "&OK", "&Cancel" }, "&OK" },
        { MB_OK | MB_ICONERROR, "&OK", IDOK, { "&OK" }, "&OK" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.press);
        Shown shown;
        answer(shown, c.press);
        EXPECT_EQ(MessageBoxA(nullptr, "Save the changes to «amp»?", "Schematic", c.style), c.answer);
        EXPECT_EQ(shown.caption, "Schematic");
        EXPECT_EQ(shown.text, QString::fromUtf8("Save the changes to «amp»?"));
        EXPECT_EQ(shown.buttons, c.buttons);
        EXPECT_EQ(shown.preferred, c.preferred);
    }
}

TEST(MessageBoxes, TheHelpersAnswerYesOrNoAndTheirDefaults)
{
    Started started;
    Shown shown;
    answer(shown, "&Yes");
    EXPECT_NE(yesno("Restore key map to the default?"), 0);
    answer(shown, "&No");
    EXPECT_EQ(yesno("Restore key map to the default?"), 0);
    answer(shown, "&Yes");
    EXPECT_NE(noyes("Recover autosaved project 'a'?"), 0);
    EXPECT_EQ(shown.preferred, "&No") << "No is the default";
    answer(shown, "&Cancel");
    EXPECT_EQ(confirm("Go on?"), 0);
    answer(shown, "&Cancel");
    EXPECT_EQ(yesnocancel("Save changes to current project?"), IDCANCEL);
    answer(shown, "&OK");
    EXPECT_EQ(errbox("Design is locked"), IDOK);
    EXPECT_EQ(shown.caption, "Error");
    answer(shown, "&OK");
    EXPECT_EQ(infbox("SVG created"), IDOK);
    EXPECT_EQ(shown.caption, "Information");
}

TEST(MessageBoxes, AnAlertHasTheCallersButtonsItsDefaultAndAnswersTheIndex)
{
    Started started;
    Shown shown;
    answer(shown, "&New");
    EXPECT_EQ(alert(ALERT_QUESTION, "+&Replace\\&New\\&Cancel", "«L»Replace the file?"), 1);
    EXPECT_EQ(shown.buttons, (QStringList { "&Replace", "&New", "&Cancel" }));
    EXPECT_EQ(shown.preferred, "&Replace");
    EXPECT_EQ(shown.text, "Replace the file?") << "the mark is not shown";
    EXPECT_TRUE(shown.alignment & Qt::AlignLeft);

    answer(shown, "");
    EXPECT_EQ(alert(ALERT_WARNING, "&Ignore && Print\\&Cancel", "The output doesn't fit on the page."), 1)
        << "Escape answers the last";
    EXPECT_EQ(shown.buttons, (QStringList { "&Ignore && Print", "&Cancel" }));
    EXPECT_TRUE(shown.alignment & Qt::AlignHCenter);

    answer(shown, "&Exit");
    EXPECT_EQ(alert(ALERT_ERROR, "&Exit", "Your project has become corrupted"), 0);
    EXPECT_EQ(shown.caption, "Error");
    answer(shown, "&OK");
    EXPECT_EQ(alert(ALERT_INFORMATION, nullptr, "Done"), 0);
    EXPECT_EQ(shown.buttons, QStringList { "&OK" });
}

TEST(MessageBoxes, WithAlertsOffNoBoxShowsAndTheDefaultIsTheAnswer)
{
    Started started;
    disablealerts(1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(alert(ALERT_QUESTION, "&Yes\\+&No", "Overwrite?"), 1);
    EXPECT_EQ(errbox("Could not read archive"), IDOK);
    const std::string written = testing::internal::GetCapturedStderr();
    disablealerts(0);
    EXPECT_NE(written.find("Question: Overwrite?"), std::string::npos) << written;
    EXPECT_NE(written.find("Error: Could not read archive"), std::string::npos) << written;
}
