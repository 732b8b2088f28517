// Under a real X server (Xvfb): a frame holding a Qt-based module window, its Qt tool bar docked in
// the frame's top rebar beside a combo bar of assembly variants; the screen is grabbed and kept as
// the artifact named by VKT_SCREENSHOT_PATH, and checked for the hosted widgets.

#include <QGuiApplication>
#include <QHeaderView>
#include <QPainter>
#include <QTableWidget>
#include <QToolBar>

#include "framework/appln/applnwidget.h"
#include "framework/appln/tests/testprocess.h"
#include "framework/bars/combobar.h"
#include "framework/bars/ctrlwidget.h"
#include "platform/ombrel/stringlist.h"
#include "platform/win/qt/tests/qttest.h"
#include "platform/win/qt/tests/screenshot.h"
#include "platform/win/paint.h"
#include "platform/win/window.h"

namespace {

using appltest::TESTPROCESS;

QIcon glyph(int kind)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(30, 90, 160), 2));
    if (kind == 0)
        painter.drawPolyline(QPolygon({ { 2, 13 }, { 6, 5 }, { 10, 10 }, { 14, 2 } }));
    else if (kind == 1)
        painter.drawEllipse(QRect(3, 3, 10, 10));
    else
        painter.drawRect(QRect(3, 3, 10, 10));
    return QIcon(pixmap);
}

// A table of measurements in a Qt main window, with a tool bar and a variant selector.
class MEASUREMENTS : public APPLNWIDGET {
public:
    void oncreatemainwindow() override
    {
        table = new QTableWidget(6, 3);
        table->setHorizontalHeaderLabels({ QStringLiteral("Probe"), QStringLiteral("Time"), QStringLiteral("Value") });
        const char* rows[][3] = { { "VOUT", "1.20 ms", "4.98 V" }, { "VIN", "1.20 ms", "12.0 V" },
            { "I(R1)", "1.20 ms", "2.41 mA" }, { "VREF", "1.20 ms", "2.50 V" }, { "U1:OUT", "1.20 ms", "HIGH" },
            { "TEMP", "1.20 ms", "27 C" } };
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 3; ++c)
                table->setItem(r, c, new QTableWidgetItem(QString::fromLatin1(rows[r][c])));
        table->horizontalHeader()->setStretchLastSection(true);
        setCentralWidget(table);
        auto* toolbar = new QToolBar;
        const char* names[] = { "Trace", "Probe", "Fit" };
        for (int i = 0; i < 3; ++i)
            addaction(CMDCTX_SHARED, toolbar->addAction(glyph(i), QString::fromLatin1(names[i])));
        addtoolbar(toolbar);
        variants = new COMBOBAR(this, 0x105, getnextctrlbarid(), &set);
        STRINGLIST items;
        for (const char* item : { "Base Design", "Low Cost", "Industrial" })
            items.add(item);
        set.setitemlist(items);
        set.setcurrentitem(2);
        addctrlbar(variants, 0, -1);
    }

    QTableWidget* table = nullptr;
    COMBOBAR* variants = nullptr;
    COMBOBARSET set;
};

TEST(XvfbScreenshot, AQtWindowShowsItsToolBarAndAComboBarInTheFramesRebar)
{
    ASSERT_EQ(QGuiApplication::platformName(), "xcb") << "run under xvfb-run with the xcb platform";
    TESTPROCESS process;
    MEASUREMENTS window;
    process.start = [&] {
        APPLNFRAME* frame = process.getframe(0);
        window.setowner(&process);
        window.createwindow(frame);
        SetWindowTextA(window.hwnd, "Measurements");
        MoveWindow(frame->hwnd, 20, 20, 760, 460, FALSE);
        ShowWindow(frame->hwnd, SW_SHOWNORMAL);
        frame->loadwindow(&window);
        window.setstatusmsg("Ready");
        frame->onresize();
        UpdateWindow(frame->hwnd);
        wintest::settle();
        wintest::turnuntil([] { return false; }, 800);
        wintest::SCREENSHOT shot(frame->hwnd);
        EXPECT_TRUE(shot.saved);
        EXPECT_EQ(window.variants->getrebar(), frame->getrebar(0));
        EXPECT_EQ(window.variants->currentitem(), 2);
        EXPECT_TRUE(window.table->isVisible());
        window.destroywindow();
        return 1;
    };
    process.runall();
}

} // namespace
