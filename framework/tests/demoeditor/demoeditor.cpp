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
    maindevice = std::make_unique<APPLNVIEWDVC>(
        this, hwnd, WS_VISIBLE, BOX(0, 0, client.right - 1, client.bottom - 1), VIEWID, UNITSPERINCH);
    POINT origin;
    maindevice->setsnap(origin, STEP, STEP, 1);
    maindevice->setxcursor(XCURSOR_FULL);
    setview(100, drawing.extent().centre());
}

void DEMOEDITOR::ondestroywindow()
{
    maindevice.reset();
}

void DEMOEDITOR::onresize(int width, int height)
{
    if (maindevice)
        MoveWindow(maindevice->gethwnd(), 0, 0, width, height, TRUE);
}

void DEMOEDITOR::setview(long pixelsperinch, POINT centre)
{
    maindevice->setmapping(pixelsperinch, pixelsperinch, UNITSPERINCH);
    maindevice->setorigin(centre);
    maindevice->invalidate(VOIDBOX, REPAINT_ALL);
}

void DEMOEDITOR::fitdrawing()
{
    RECT client {};
    GetClientRect(maindevice->gethwnd(), &client);
    BOX extent = drawing.extent();
    double across = double(std::max<int64_t>(1, extent.width())) / UNITSPERINCH;
    double down = double(std::max<int64_t>(1, extent.height())) / UNITSPERINCH;
    double perinch = std::min(client.right / across, client.bottom / down);
    // Pixels per inch in thousandths, so that small drawings and large ones both fit closely.
    long scale = std::max(1L, long(perinch * 1000));
    maindevice->setmapping(scale, scale, UNITSPERINCH * 1000);
    maindevice->setorigin(extent.centre());
    maindevice->invalidate(VOIDBOX, REPAINT_ALL);
}

void DEMOEDITOR::onrepaint(APPLNVIEWDVC* device, BOX& area)
{
    drawing.draw(*device, area);
    for (const auto& box : boxes)
        box->plot(device, DRAW_VIEW);
    APPLNEDITSTATUS& edit = geteditstatus();
    edit.tags.plot(device, DRAW_VIEW);
    GDPA<DRAGHANDLE> handles;
    edit.tags.gethandles(handles);
    int32_t half = int32_t(UNITSPERINCH / 100);
    for (DRAGHANDLE* handle : handles) {
        POINT p = handle->point;
        device->drawbox(BOX(p.x - half, p.y - half, p.x + half, p.y + half),
            GSTYLE(0, getcolour(APPLNCOLOUR_HANDLE), getcolour(APPLNCOLOUR_HANDLE)));
    }
    handles.zap();
}

void DEMOEDITOR::pan(POINT centre, int movecursor)
{
    POINT now = maindevice->getorigin();
    maindevice->scroll(centre.x - now.x, centre.y - now.y);
    if (movecursor)
        maindevice->movecursor(maindevice->getcursorpos());
}

COLORREF DEMOEDITOR::getcolour(int index)
{
    switch (index) {
    case APPLNCOLOUR_BACKGROUND:
        return RGB(255, 255, 255);
    case APPLNCOLOUR_CURSOR:
        return RGB(0, 0, 255);
    case APPLNCOLOUR_HANDLE:
        return RGB(90, 90, 90);
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
    edit.ctxobject = &edit.tags;
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
