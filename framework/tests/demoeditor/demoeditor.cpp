#include "framework/tests/demoeditor/demoeditor.h"

#include <algorithm>
#include <functional>

#include "framework/documents/undoframe.h"
#include "platform/casq/styles.h"
#include "platform/win/window.h"

namespace {

constexpr long UNITSPERINCH = 2540000;
constexpr int32_t STEP = UNITSPERINCH / 10;
constexpr int VIEWID = 1;
constexpr COLORREF BOXCOLOURS[] = { RGB(250, 200, 120), RGB(150, 210, 160), RGB(170, 190, 240) };

// The boxes as they were before a command: putting them back undoes it.
class DEMOFRAME : public UNDOFRAME {
public:
    DEMOFRAME(DEMOEDITOR& editor, std::vector<BOX> areas, std::function<void(const std::vector<BOX>&)> putback)
        : editor(editor)
        , areas(std::move(areas))
        , putback(std::move(putback))
    {
    }
    int isowner(APPLNMODULE* owner) override { return owner == &editor; }
    int iscommitted() override { return committed; }
    int commit(UNDOMODES mode) override { return committed = 1; }
    int restore(UNDOMODES mode) override
    {
        putback(areas);
        return 1;
    }

private:
    DEMOEDITOR& editor;
    std::vector<BOX> areas;
    std::function<void(const std::vector<BOX>&)> putback;
    int committed = 0;
};

} // namespace

const EDITCOMMAND DEMOEDITOR::commands[] = {
    { DEMO_ADDBOX, edithandler(&DEMOEDITOR::addbox), EDITCMDF_UNDO | EDITCMDF_WRITES },
    { DEMO_SELECTALL, edithandler(&DEMOEDITOR::selectall), 0 },
    { DEMO_MOVERIGHT, edithandler(&DEMOEDITOR::moveright), EDITCMDF_UNDO | EDITCMDF_WRITES },
    { EDITCMD_UNDO, edithandler(&DEMOEDITOR::undo), 0 },
    { EDITCMD_REDRAW, &APPLNEDITOR::view_redraw, 0 },
    { EDITCMD_SNAP, &APPLNEDITOR::view_snap, 0 },
    { EDITCMD_GRID, &APPLNEDITOR::view_grid, 0 },
    { EDITCMD_ZOOMCENTRE, &APPLNEDITOR::view_zoom, 0 },
    { EDITCMD_ZOOMIN, &APPLNEDITOR::view_zoom, 0 },
    { EDITCMD_ZOOMOUT, &APPLNEDITOR::view_zoom, 0 },
    { EDITCMD_ZOOMALL, &APPLNEDITOR::view_zoom, 0 },
    { EDITCMD_ZOOMAREA, &APPLNEDITOR::view_zoom, 0 },
    { 0, nullptr, 0 },
};

DEMOBOX::DEMOBOX(const BOX& box, COLORREF fill)
    : area(box)
    , colour(fill)
{
}

void DEMOBOX::plot(VGDVC* device, DRAWMODES mode)
{
    if (mode == DRAW_DRAG) {
        device->drawbox(area, GSTYLE(RGB(255, 255, 255), PENSTYLE_SOLID));
        return;
    }
    device->drawbox(area, GSTYLE(STEP / 50, RGB(60, 60, 60), colour));
}

DEMOEDITOR::DEMOEDITOR(APPLNPROCESS* process, int cells)
    : APPLNEDITOR(process, demodocument, demostatus, commands)
    , drawing(cells)
{
    setapplnname("DEMOEDIT", "Demo Editor");
    demodocument.setproject(&demoproject);
    demostatus.extent = drawing.extent();
    const int imperial[4] = { STEP, STEP / 2, STEP / 4, STEP / 10 };
    const int metric[4] = { 100000, 50000, 25000, 10000 };
    std::copy(imperial, imperial + 4, gridimperial);
    std::copy(metric, metric + 4, gridmetric);
}

DEMOEDITOR::~DEMOEDITOR()
{
    destroywindow();
    demoproject.resetundostacks();
}

void DEMOEDITOR::oncreatewindow()
{
    RECT client {};
    GetClientRect(hwnd, &client);
    calcsizes();
    maindevice = std::make_unique<APPLNVIEWDVC>(this, hwnd, WS_VISIBLE, viewarea, VIEWID, UNITSPERINCH);
    maindevice->setbackground(getcolour(APPLNCOLOUR_BACKGROUND));
    maindevice->setxcursor(XCURSOR_FULL);
    choosegraphicsmode();
    setview(100, drawing.extent().centre());
}

void DEMOEDITOR::ondestroywindow()
{
    maindevice.reset();
}

void DEMOEDITOR::onresize(int width, int height)
{
    calcsizes();
    if (maindevice)
        MoveWindow(maindevice->gethwnd(), viewarea.x1, viewarea.y1, int(viewarea.width()) + 1,
            int(viewarea.height()) + 1, TRUE);
}

void DEMOEDITOR::setview(int pixelsperinch, POINT centre)
{
    setscale(centre, pixelsperinch, 1);
}

void DEMOEDITOR::fitdrawing()
{
    setscale(VOIDBOX, 1);
}

void DEMOEDITOR::drawcontent(BOX area, int full, APPLNVIEWDVC* device, int mode)
{
    drawing.draw(*device, area);
    for (const auto& box : boxes)
        box->plot(device, DRAW_VIEW);
}

COLORREF DEMOEDITOR::getcolour(int index)
{
    switch (index) {
    case APPLNCOLOUR_BACKGROUND:
        return RGB(255, 255, 255);
    case APPLNCOLOUR_CURSOR:
        return RGB(0, 0, 255);
    case APPLNCOLOUR_BORDER:
        return RGB(160, 90, 40);
    case APPLNCOLOUR_VIEWBOX:
        return RGB(200, 60, 60);
    case APPLNCOLOUR_HANDLE:
        return RGB(90, 90, 90);
    case APPLNCOLOUR_ACTIVEHANDLE:
        return RGB(220, 120, 0);
    default:
        return 0;
    }
}

std::vector<BOX> DEMOEDITOR::areas() const
{
    std::vector<BOX> kept;
    for (const auto& box : boxes)
        kept.push_back(box->getarea(AREA_HIT));
    return kept;
}

void DEMOEDITOR::setareas(const std::vector<BOX>& kept)
{
    cleartags();
    boxes.clear();
    for (const BOX& area : kept)
        boxes.push_back(std::make_unique<DEMOBOX>(area, BOXCOLOURS[boxes.size() % 3]));
}

BOX DEMOEDITOR::boxesarea() const
{
    BOX all = VOIDBOX;
    for (const auto& box : boxes)
        all |= box->getarea(AREA_HIT);
    return all;
}

void DEMOEDITOR::undoframectl(int mode)
{
    if (mode <= 2) {
        demoproject.addundoframe(UNDO_EDIT,
            new DEMOFRAME(*this, areas(), [this](const std::vector<BOX>& kept) { setareas(kept); }));
        return;
    }
    UNDOFRAME* open = demoproject.getundoframe(UNDO_EDIT);
    if (!open || open->iscommitted())
        return;
    if (mode == 3) {
        demoproject.commit(UNDO_EDIT);
        return;
    }
    // A command that failed leaves the boxes as they were and no step to undo.
    open->restore(UNDO_EDIT);
    demoproject.commit(UNDO_REDOING);
}

int DEMOEDITOR::addbox()
{
    POINT at = maindevice ? maindevice->getcursorpos() : drawing.extent().centre();
    BOX area(at.x, at.y, at.x + 3 * STEP, at.y + 2 * STEP);
    boxes.push_back(std::make_unique<DEMOBOX>(area, BOXCOLOURS[boxes.size() % 3]));
    geteditstatus().changenew |= area;
    geteditstatus().modified = 1;
    return 1;
}

int DEMOEDITOR::selectall()
{
    APPLNEDITSTATUS& edit = geteditstatus();
    edit.tags.reset();
    if (boxes.empty())
        return 0;
    for (const auto& box : boxes)
        edit.tags.addobject(box.get());
    BOX frame = boxesarea();
    frame.grow(STEP / 2);
    edit.tags.setarea(frame);
    edit.nextctxobject = &edit.tags;
    update(edit.changeold, edit.changenew);
    return 1;
}

int DEMOEDITOR::moveright()
{
    APPLNEDITSTATUS& edit = geteditstatus();
    if (!edit.tags.isvalid())
        return 0;
    edit.changeold |= edit.tags.getarea(AREA_SELECT);
    edit.tags.map(CTS(POINT(STEP, 0)));
    edit.nextctxobject = &edit.tags; // its handles follow
    update(edit.changeold, edit.changenew);
    edit.modified = 1;
    return 1;
}

int DEMOEDITOR::undo()
{
    BOX before = boxesarea();
    if (!edit_undo())
        return 0;
    geteditstatus().changeold |= before;
    geteditstatus().changenew |= boxesarea();
    return 1;
}
