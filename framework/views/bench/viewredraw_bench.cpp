// A full redraw of a view of the demo editor: 20,000 primitives (10,000 lines, 10,000 labels) at a
// zoom that shows them all, into a view of 1600 x 1000 pixels, painted through the view device
// as a WM_PAINT of the whole view, drawn straight on the window and double-buffered.
//
//     QT_QPA_PLATFORM=offscreen build/bin/framework_views_bench

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

#include "framework/appln/applnprocess.h"
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
        view = &demo;
        MoveWindow(view->getmaindevice()->gethwnd(), 0, 0, 1600, 1000, FALSE);
        view->fitdrawing();
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
