// A view of the demo editor with 20,000 primitives (10,000 lines, 10,000 labels) at a zoom that
// shows them all, in 1600 x 1000 pixels: a full redraw painted through the view device as a
// WM_PAINT of the whole view, drawn straight on the window and double-buffered; one step of
// dragging a selection of 500 boxes over it (the ghost taken off and drawn at the next place, as
// the drag loop does at each move); and one zoom step in or out with the repaint it causes.
//
//     QT_QPA_PLATFORM=offscreen build/bin/framework_views_bench

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "framework/appln/applnprocess.h"
#include "framework/appln/inputhandler.h"
#include "framework/tests/demoeditor/demoeditor.h"
#include "platform/win/paint.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"
#include "testsupport/temp_folder.h"

namespace {

DEMOEDITOR* view = nullptr;

void Redraw(benchmark::State& state)
{
    APPLNVIEWDVC& device = *view->getmaindevice();
    device.setgdidoublebuffer(int(state.range(0)));
    for (auto _ : state) {
        device.invalidate(VOIDBOX, REPAINT_ALL);
        UpdateWindow(device.gethwnd());
    }
    state.counters["last paint ms"] = double(device.getlastpainttime());
}
BENCHMARK(Redraw)->ArgName("doublebuffer")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Draws the selection's ghost where the drag has taken it, as the drag loop's cursor.
class GHOST : public INPUTHANDLER {
public:
    void drawcursor(POINT at, unsigned long colour) override
    {
        view->geteditstatus().tags.drag(DRAG_DRAW, where, nullptr, device);
    }
    CTS where;
};

void DragStep(benchmark::State& state)
{
    APPLNVIEWDVC& device = *view->getmaindevice();
    GHOST ghost;
    ghost.attach(&device);
    device.showcursor(1);
    int32_t step = 25400;
    for (auto _ : state) {
        device.showcursor(0);
        ghost.where.x += step;
        step = -step;
        device.showcursor(1);
        UpdateWindow(device.gethwnd());
    }
    device.showcursor(0);
    ghost.detach();
    state.counters["objects"] = double(view->geteditstatus().tags.count());
}
BENCHMARK(DragStep)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void ZoomStep(benchmark::State& state)
{
    APPLNVIEWDVC& device = *view->getmaindevice();
    view->fitdrawing();
    int fitted = view->geteditstatus().scale;
    POINT centre = view->geteditstatus().viewcentre;
    bool in = true;
    for (auto _ : state) {
        view->setscale(centre, in ? fitted * 3 / 2 : fitted, 1);
        in = !in;
        UpdateWindow(device.gethwnd());
    }
}
BENCHMARK(ZoomStep)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// 500 boxes over the drawing, all selected.
void selectboxes(DEMOEDITOR& demo)
{
    BOX extent = demo.getdrawing().extent();
    for (int i = 0; i < 500; ++i) {
        POINT at(int32_t(extent.x1 + extent.width() * (i % 25) / 25), int32_t(extent.y1 + extent.height() * (i / 25) / 20));
        demo.getmaindevice()->setcursorpos(at);
        demo.docommand(DEMO_ADDBOX);
    }
    demo.docommand(DEMO_SELECTALL);
}

class BENCHPROCESS : public APPLNPROCESS {
public:
    BENCHPROCESS(int argc, char** argv)
        : argc(argc)
        , argv(argv)
    {
        setapplnname("VIEWBENCH", "View benchmark");
    }
    int executecommandline() override
    {
        DEMOEDITOR demo(this, 10000);
        APPLNFRAME* frame = getframe(0);
        MoveWindow(frame->hwnd, 0, 0, 1700, 1200, FALSE);
        ShowWindow(frame->hwnd, SW_SHOW);
        frame->loadwindow(demo.getprimarywindow(frame, 0));
        demo.editor_preamble();
        demo.geteditstatus().modepending = 0;
        view = &demo;
        MoveWindow(view->getmaindevice()->gethwnd(), 0, 0, 1600, 1000, FALSE);
        view->fitdrawing();
        selectboxes(demo);
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        view->destroywindow();
        return 1;
    }

private:
    int argc;
    char** argv;
};

} // namespace

int main(int argc, char** argv)
{
    vkt::test::useTempFolderForStores();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    winqt::install();
    int code = 0;
    {
        BENCHPROCESS process(argc, argv);
        code = process.run(nullptr, nullptr, const_cast<char*>(""), 1) == 1 ? 0 : 1;
    }
    winqt::uninstall();
    vkt::test::removeTempFolder();
    return code;
}
