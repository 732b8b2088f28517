#include "framework/bars/ctrlwidget.h"

#include <QPointer>
#include <QToolBar>

#include "framework/bars/tests/bartest.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/tests/recorder.h"

using namespace bartest;
using namespace wintest;

namespace {

struct CtrlWidgetTest : testing::Test {
    CtrlWidgetTest() { parent.hwnd = toplevel(100, 100, 500, 300, WS_OVERLAPPEDWINDOW | WS_VISIBLE); }
    ~CtrlWidgetTest() override { CTRLBAR::setsizing(0); }

    FreshQt fresh;
    SCREENAT screen { 96 };
    BASEHWND parent;
};

TEST_F(CtrlWidgetTest, TheToolButtonsArePaddedFromTheBarsImageSize)
{
    struct Case {
        int sizing;
        int iconsize;
        const char* vertical;
        const char* horizontal;
    } cases[] = {
        { 16, 16, "padding-top: 1px; padding-bottom: 1px;", "padding-left: 0px; padding-right: 0px;" },
        { 24, 24, "padding-top: 2px; padding-bottom: 2px;", "padding-left: 1px; padding-right: 1px;" },
    };
    for (const Case& c : cases) {
        CTRLBAR::setsizing(c.sizing);
        auto* toolbar = new QToolBar;
        toolbar->addAction(QStringLiteral("Zoom"));
        auto* bar = new CTRLWIDGET(&parent, toolbar, 0x2000, 0);
        EXPECT_EQ(toolbar->iconSize(), QSize(c.iconsize, c.iconsize));
        const QString sheet = toolbar->styleSheet();
        EXPECT_TRUE(sheet.contains(QLatin1String(c.vertical))) << c.sizing;
        EXPECT_TRUE(sheet.contains(QLatin1String(c.horizontal))) << c.sizing;
        EXPECT_EQ(toolbar->parentWidget(), static_cast<QWidget*>(bar));
        DestroyWindow(bar->gethwnd());
        settle();
    }
}

TEST_F(CtrlWidgetTest, TheBarIsAsBigAsItsToolBarAndItsLabelSitsInTheBarsWindow)
{
    auto* toolbar = new QToolBar;
    for (const char* text : { "Run", "Pause", "Stop" })
        toolbar->addAction(QString::fromLatin1(text));
    auto* bar = new CTRLWIDGET(&parent, toolbar, 0x2000, 0);
    bar->show();
    RECT area {};
    GetClientRect(bar->gethwnd(), &area);
    EXPECT_EQ(area.right, toolbar->sizeHint().width() + 2);
    EXPECT_EQ(area.bottom, toolbar->sizeHint().height());
    EXPECT_EQ(bar->minwidth(), toolbar->sizeHint().width());
    EXPECT_EQ(bar->parentWidget(), winqt::widgetof(bar->gethwnd()));
    EXPECT_EQ(bar->geometry(), QRect(0, 0, area.right, area.bottom));
}

TEST_F(CtrlWidgetTest, AReplacedChildIsDeletedLaterWhenOwnedAndLeftAloneOtherwise)
{
    auto* bar = new CTRLWIDGET(&parent, new QToolBar, 0x2000, 0);
    QPointer<QWidget> owned = bar->getchild();
    QWidget kept;
    bar->setchild(&kept, false);
    EXPECT_TRUE(owned) << "deferred";
    settle();
    EXPECT_FALSE(owned);
    EXPECT_EQ(bar->getchild(), &kept);

    bar->setchild(nullptr, false);
    settle();
    EXPECT_EQ(kept.parentWidget(), nullptr);
}

TEST_F(CtrlWidgetTest, TheBarGoesWithItsWindowThroughDeferredDeletion)
{
    auto* bar = new CTRLWIDGET(&parent, new QToolBar, 0x2000, 0);
    QPointer<QLabel> label = bar;
    QPointer<QWidget> toolbar = bar->getchild();
    DestroyWindow(bar->gethwnd());
    EXPECT_TRUE(label);
    settle();
    EXPECT_FALSE(label);
    EXPECT_FALSE(toolbar) << "an owned child goes with the bar";
}

} // namespace
