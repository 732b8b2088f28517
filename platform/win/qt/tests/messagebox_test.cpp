#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "platform/win/messagebox.h"
#include "platform/win/qt/tests/qttest.h"

using namespace wintest;

TEST(QtMessageBox, TheCoresBoxIsADialogThatDisablesItsOwnerAndAnswersTheButton)
{
    FreshQt fresh;
    HWND frame = toplevel(0, 0, 300, 200, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND pane = child(frame, 1, RECT { 0, 0, 10, 10 });
    QString shown;
    bool ownerdisabled = false;
    QTimer::singleShot(10, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        shown = box->windowTitle() + ": " + box->text();
        ownerdisabled = !IsWindowEnabled(frame);
        box->button(QMessageBox::No)->click();
    });
    int answer
        = MessageBoxA(pane, "Save the changes to «amp»?", "Schematic", MB_YESNOCANCEL | MB_ICONQUESTION);
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(shown, QString::fromUtf8("Schematic: Save the changes to «amp»?"));
    EXPECT_TRUE(ownerdisabled);
    EXPECT_TRUE(IsWindowEnabled(frame)) << "enabled again";

    QTimer::singleShot(10, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box->reject();
        }
    });
    EXPECT_EQ(MessageBoxA(nullptr, "Fatal", "Fatal Error", MB_ICONHAND | MB_TASKMODAL), IDOK);
}
