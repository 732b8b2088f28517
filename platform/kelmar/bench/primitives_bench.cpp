// 20,000 primitives of every kind spread over a sheet of 100 by 50 inches: hit-testing a point
// against them the way an object list finds what lies under the cursor (each item's recorded area
// first, then its own test, the topmost hit winning), through a grid of the areas and by walking
// the whole list; and a full repaint of a screen view of 1600 by 800 pixels that shows the whole
// sheet, drawing them all. Run: QT_QPA_PLATFORM=offscreen build/bin/kelmar_bench.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "platform/casq/sgdvc.h"
#include "platform/kelmar/primitives.h"
#include "platform/kelmar/symbol.h"
#include "platform/win/messagequeue.h"
#include "platform/win/paint.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/window.h"

namespace {

constexpr int INCH = 2540000;
constexpr int COLUMNS = 200;
constexpr int ROWS = 100;
constexpr int PITCH = INCH / 2;
constexpr int TOLERANCE = INCH / 50; // the pick distance of a view at its usual zoom
constexpr int CELL = INCH; // the grid's cells

const GSTYLE_ENTRY OUTLINE("2D GRAPHIC", GSTYLE(20320, RGB(0, 0, 0), NOCOLOUR));
const GSTYLE_ENTRY BODY("COMPONENT", GSTYLE(40640, RGB(128, 0, 0), RGB(200, 200, 170)));
const TSTYLE FONT("Default Font", 254000, 203200, 0, 0);

// An item of an object list: the primitive and the area it was last drawn in.
struct ITEM {
    std::unique_ptr<PRIMITIVE> primitive;
    BOX area;
};

struct SHEET {
    SYMBOL node { "$MKRNODE" };
    SYMBOL resistor { "RES" };
    std::vector<ITEM> items; // drawing order: the last is on top
    // The items whose areas meet each cell, in drawing order.
    std::vector<std::vector<int>> cells;
    int across = 0;
    int down = 0;

    SHEET()
    {
        node.add(new PR_CIRCLE(CIRCLE(POINT(), 25400), OUTLINE));
        resistor.add(new PR_BOX(BOX(-76200, -25400, 76200, 25400), BODY));
        resistor.add(new PR_LINE(LINE(POINT(-152400, 0), POINT(-76200, 0)), OUTLINE));
        resistor.add(new PR_LINE(LINE(POINT(76200, 0), POINT(152400, 0)), OUTLINE));
        resistor.add(new PR_SYM(CTS(POINT(-152400, 0), 1800), &node, OUTLINE));
        resistor.add(new PR_SYM(CTS(POINT(152400, 0)), &node, OUTLINE));
        PATH path;
        path.add(LINE(POINT(-80000, -80000), POINT(80000, -80000)));
        BEZIER arc;
        arc.setquadrant(POINT(80000, -80000), POINT(0, 80000), 0);
        path.add(arc);
        path.add(LINE(POINT(0, 80000), POINT(-80000, -80000)));
        BEZIER curve;
        curve.setquadrant(POINT(-100000, -100000), POINT(100000, 100000), 1);
        std::mt19937 random(7);
        for (int row = 0; row < ROWS; ++row) {
            for (int column = 0; column < COLUMNS; ++column) {
                POINT at(column * PITCH + int(random() % 20000), row * PITCH + int(random() % 20000));
                PRIMITIVE* primitive = nullptr;
                switch ((row * COLUMNS + column) % 7) {
                case 0:
                    primitive = new PR_LINE(LINE(at, at + POINT(150000, 100000)), OUTLINE);
                    break;
                case 1:
                    primitive = new PR_BOX(BOX(at, at + POINT(150000, 100000)), BODY);
                    break;
                case 2:
                    primitive = new PR_CIRCLE(CIRCLE(at, 60000), BODY);
                    break;
                case 3:
                    primitive = new PR_BEZIER(curve, OUTLINE);
                    break;
                case 4:
                    primitive = new PR_PATH(path, BODY);
                    break;
                case 5:
                    primitive = new PR_TEXT(CTS(at), "R12", FONT, JUSTIFY_LEFT | JUSTIFY_BOTTOM, OUTLINE);
                    break;
                default:
                    primitive = new PR_SYM(CTS(at, 900 * (row % 4)), &resistor, OUTLINE);
                    break;
                }
                if (primitive->kind() == PK_BEZIER || primitive->kind() == PK_PATH) {
                    primitive->map(CTS(at));
                }
                items.push_back({ std::unique_ptr<PRIMITIVE>(primitive), primitive->occa(OCCA_DRAWN) });
            }
        }
        across = COLUMNS * PITCH / CELL + 2;
        down = ROWS * PITCH / CELL + 2;
        cells.resize(size_t(across) * down);
        for (int i = 0; i < int(items.size()); ++i) {
            const BOX& a = items[i].area;
            for (int y = std::max(0, a.y1 / CELL); y <= std::min(down - 1, a.y2 / CELL); ++y) {
                for (int x = std::max(0, a.x1 / CELL); x <= std::min(across - 1, a.x2 / CELL); ++x) {
                    cells[size_t(y) * across + x].push_back(i);
                }
            }
        }
    }

    // An item's test where its area (grown by the running best distance) holds the point.
    bool tries(const ITEM& item, POINT p, int& best) const
    {
        return item.area.contains(p, best) && item.primitive->test(p, &best);
    }

    // The topmost item within the tolerance of the point, walking every item.
    const ITEM* walk(POINT p) const
    {
        const ITEM* found = nullptr;
        int best = TOLERANCE;
        for (const ITEM& item : items) {
            int distance = best;
            if (tries(item, p, distance)) {
                found = &item;
                best = distance;
            }
        }
        return found;
    }

    // The same through the grid: only the items whose areas meet the cells the tolerance reaches.
    const ITEM* lookup(POINT p) const
    {
        std::vector<int> candidates;
        for (int y = std::max(0, (p.y - TOLERANCE) / CELL); y <= std::min(down - 1, (p.y + TOLERANCE) / CELL); ++y) {
            for (int x = std::max(0, (p.x - TOLERANCE) / CELL); x <= std::min(across - 1, (p.x + TOLERANCE) / CELL);
                 ++x) {
                const auto& cell = cells[size_t(y) * across + x];
                candidates.insert(candidates.end(), cell.begin(), cell.end());
            }
        }
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        const ITEM* found = nullptr;
        int best = TOLERANCE;
        for (int i : candidates) {
            int distance = best;
            if (tries(items[i], p, distance)) {
                found = &items[i];
                best = distance;
            }
        }
        return found;
    }
};

SHEET& sheet()
{
    static SHEET instance;
    return instance;
}

std::vector<POINT> probes()
{
    std::mt19937 random(11);
    std::vector<POINT> points;
    for (int i = 0; i < 1024; ++i) {
        points.emplace_back(int(random() % (COLUMNS * PITCH)), int(random() % (ROWS * PITCH)));
    }
    return points;
}

void HitTestThroughGrid(benchmark::State& state)
{
    const SHEET& s = sheet();
    std::vector<POINT> points = probes();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.lookup(points[i++ % points.size()]));
    }
}
BENCHMARK(HitTestThroughGrid)->Unit(benchmark::kMicrosecond);

void HitTestWalkingTheList(benchmark::State& state)
{
    const SHEET& s = sheet();
    std::vector<POINT> points = probes();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(s.walk(points[i++ % points.size()]));
    }
}
BENCHMARK(HitTestWalkingTheList)->Unit(benchmark::kMicrosecond);

LRESULT framehandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// A view that paints the sheet's items (of one kind, or all) whenever it is asked to.
class SHEETVIEW : public SGDVC {
public:
    SHEETVIEW(HWND frame, int kind)
        : SGDVC(frame, 1, BOX(0, 0, 1599, 799), WS_VISIBLE, INCH)
        , kind(kind)
    {
    }

    LRESULT msghlr(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_PAINT) {
            return SGDVC::msghlr(window, message, wParam, lParam);
        }
        beginpaint(nullptr);
        for (const ITEM& item : sheet().items) {
            if (kind < 0 || item.primitive->kind() == kind) {
                item.primitive->plot(CTS(), this, 0);
            }
        }
        endpaint(nullptr);
        return 0;
    }

private:
    int kind;
};

// A full repaint of the view, as the view's own paint draws it.
void PlotToTheScreen(benchmark::State& state)
{
    sheet();
    WNDCLASSEXA frameclass {};
    frameclass.cbSize = sizeof frameclass;
    frameclass.lpfnWndProc = framehandler;
    frameclass.lpszClassName = "KelmarBenchFrame";
    RegisterClassExA(&frameclass);
    HWND frame = CreateWindowExA(0, "KelmarBenchFrame", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1640, 840,
        nullptr, nullptr, nullptr, nullptr);
    {
        SHEETVIEW view(frame, int(state.range(1)));
        view.setgdidoublebuffer(int(state.range(0)));
        view.setmapping(16, 16, INCH); // 16 pixels to the inch: the whole sheet
        view.setorigin(POINT(COLUMNS * PITCH / 2, ROWS * PITCH / 2));
        QCoreApplication::processEvents();
        for (auto _ : state) {
            view.invalidate(VOIDBOX, REPAINT_ALL);
            UpdateWindow(view.gethwnd());
        }
        state.counters["last paint ms"] = double(view.getlastpainttime());
    }
    DestroyWindow(frame);
}
// All kinds drawn straight on the window and double-buffered, then each kind alone (PK_*).
BENCHMARK(PlotToTheScreen)
    ->ArgNames({ "doublebuffer", "kind" })
    ->ArgsProduct({ { 0, 1 }, { -1 } })
    ->ArgsProduct({ { 0 }, { PK_LINE, PK_BOX, PK_CIRCLE, PK_BEZIER, PK_PATH, PK_SYMBOL, PK_TEXT } })
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    winqt::install();
    gdiplus_startup();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gdiplus_shutdown();
    winqt::uninstall();
    return 0;
}
