// The editor's side of the pointer and the keys: the key's command context, where the pointer is
// and the coordinates shown for it, the highlight that rises and fades on the object under the
// pointer, and the view's step towards an edge the pointer reached.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "framework/appln/applnframe.h"
#include "framework/bars/coordbox.h"
#include "framework/bars/modebar.h"
#include "framework/bars/orntbar.h"
#include "framework/context/applncontext.h"
#include "framework/context/stringtranslator.h"
#include "framework/editor/applneditor.h"
#include "platform/win/input.h"
#include "platform/win/paint.h"
#include "platform/win/messagequeue.h"
#include "platform/win/rc/cmdflags.h"
#include "platform/win/window.h"

namespace {

constexpr UINT_PTR HIGHLIGHTTIMER = 11;
constexpr unsigned short CTX_INPUTLOOP = 0x300;
constexpr unsigned short CTX_ORIENTATION = 0x120;
constexpr unsigned short CTX_MODES = 0x130;
constexpr COLORREF FALSEORIGINCOLOUR = 0xC000C0;
constexpr COLORREF ANGLECOLOUR = 0x0000C0;
constexpr COLORREF DISTANCECOLOUR = 0xC00000;

// A length of the world in the editor's units: signed, or (distance) without a sign.
void fmtlength(double units, int metric, bool sign, char* text)
{
    if (metric)
        std::snprintf(text, 32, sign ? "%+.3f" : "%.3f", units / 100000.0);
    else
        std::snprintf(text, 32, sign ? "%+.1f" : "%.1f", units / 2540.0);
}

} // namespace

int autopandivisor(int distance)
{
    static const int divisors[] = { 32, 24, 20, 16, 12, 8, 6, 4, 3, 2 };
    // A negative setting would read before the table.
    return distance < 10 ? divisors[std::max(0, distance)] : 4;
}

int APPLNEDITOR::onwantkey(unsigned long key, MSG* message)
{
    KEYTRANSLATOR* keys = getkeytranslator();
    if (!keys)
        return 0;
    struct CONTEXT {
        unsigned short id;
        HWND target;
    } contexts[4];
    int count = 0;
    if (status.nesting) {
        contexts[count++] = { CTX_INPUTLOOP, hwnd };
    } else {
        if (status.preview && orntbar)
            contexts[count++] = { CTX_ORIENTATION, orntbar->gethwnd() };
        if (modebar)
            contexts[count++] = { CTX_MODES, modebar->gethwnd() };
        contexts[count++] = { CMDCTX_SHARED, hwnd };
        if (frame)
            contexts[count++] = { CMDCTX_GLOBAL, frame->hwnd };
    }
    for (int i = 0; i < count; ++i) {
        unsigned short command = keys->getcommand(contexts[i].id, key, 0);
        if (!command)
            continue;
        if (!iscommandvalid(command))
            return 0;
        return keys->translate_and_dispatch(contexts[i].target, contexts[i].id, key, message);
    }
    return 0;
}

void APPLNEDITOR::getcoordtexts(POINT cursor, int mainview, EDITORCOORDS& texts)
{
    double dx = double(int64_t(cursor.x) - status.gridorigin.x);
    double dy = double(int64_t(cursor.y) - status.gridorigin.y);
    texts = EDITORCOORDS();
    texts.units = status.metric ? "mm" : "th";
    if (mainview && status.polar) {
        double r = std::hypot(dx, dy);
        double angle = r > 0 ? std::asin(dy / r) * 180 / std::numbers::pi : 0;
        if (dx < 0 && dy > 0)
            angle = 180 - angle;
        else if (dx < 0)
            angle = -180 - angle;
        STRINGTRANSLATOR* translator = getapplnstringtranslator();
        std::snprintf(texts.first, sizeof texts.first, "%+8.1f%s", angle, translator ? translator->degreesign() : "");
        fmtlength(r, status.metric, true, texts.second);
        texts.labels = 0;
    } else {
        fmtlength(dx, status.metric, true, texts.first);
        fmtlength(dy, status.metric, true, texts.second);
        if (status.falseorigin)
            fmtlength(std::hypot(dx, dy), status.metric, false, texts.third);
    }
    if (mainview && status.falseorigin) {
        texts.firstcolour = texts.secondcolour = FALSEORIGINCOLOUR;
    } else if (mainview && status.polar) {
        texts.firstcolour = ANGLECOLOUR;
        texts.secondcolour = DISTANCECOLOUR;
    }
}

int APPLNEDITOR::onsetcursor(APPLNVIEWDVC* device, POINT raw, POINT cursor, int focus)
{
    HWND focused = GetFocus();
    HWND main = maindevice ? maindevice->gethwnd() : nullptr;
    HWND overview = overviewdevice ? overviewdevice->gethwnd() : nullptr;
    status.overmainview = device && device == maindevice.get() && focused == main;
    status.overoverview
        = device && device == overviewdevice.get() && focused && (focused == main || focused == overview);
    if (!status.nesting) {
        status.pointer = raw;
        status.cursor = cursor;
    }
    if (coordbox && (status.overmainview || status.overoverview)) {
        EDITORCOORDS texts;
        getcoordtexts(cursor, status.overmainview, texts);
        coordbox->update(texts.labels, texts.first, texts.second, texts.third[0] ? texts.third : nullptr,
            texts.units, texts.firstcolour, texts.secondcolour);
    }
    return 1;
}

void APPLNEDITOR::addhighlightobject(APPLNOBJECT* object, DRAGHANDLE* handle, POINT point, int flag)
{
    // Plain drawing cannot blend the highlight in.
    if (getcurrentgraphicsmode() == 0)
        return;
    auto found = std::find_if(
        highlights.begin(), highlights.end(), [object](const HIGHLIGHTOBJECT& entry) { return entry.object == object; });
    if (found != highlights.end()) {
        found->handle = handle;
        found->point = point;
        found->flag = flag;
        return;
    }
    if (highlights.empty())
        starthighlighttimer(unsigned(std::max(1, hainterval)));
    highlights.push_back({ object, handle, point, flag, 0 });
    agehighlightobjects();
}

void APPLNEDITOR::agehighlightobjects()
{
    bool changed = false;
    for (auto entry = highlights.begin(); entry != highlights.end();) {
        int strength = entry->object == status.highlight ? std::min(entry->strength + haattack, 1000)
                                                         : entry->strength - harelease;
        if (strength == entry->strength) {
            ++entry;
            continue;
        }
        changed = true;
        if (strength <= 0) {
            entry = highlights.erase(entry);
            continue;
        }
        entry->strength = strength;
        ++entry;
    }
    if (changed && maindevice)
        maindevice->invalidate(VOIDBOX, 1);
    if (highlights.empty())
        stophighlighttimer();
}

void APPLNEDITOR::drawhighlightobjects(APPLNVIEWDVC* device, HCURSORMODES mode)
{
    for (HIGHLIGHTOBJECT& entry : highlights)
        drawhobject(device, mode, entry);
}

void APPLNEDITOR::drawhobject(APPLNVIEWDVC* device, HCURSORMODES mode, HIGHLIGHTOBJECT& entry)
{
    int alpha = entry.strength * 255 / 1000;
    device->setdrawmode(DRAWMODE_COPY, alpha);
    entry.object->plot(device, DRAW_HIGHLIGHT);
    device->setdrawmode(DRAWMODE_COPY, alpha);
    entry.object->highlight(device, mode);
    device->setdrawmode(DRAWMODE_COPY);
}

void APPLNEDITOR::starthighlighttimer(unsigned milliseconds)
{
    if (hwnd)
        SetTimer(hwnd, HIGHLIGHTTIMER, milliseconds, nullptr);
}

void APPLNEDITOR::stophighlighttimer()
{
    if (hwnd)
        KillTimer(hwnd, HIGHLIGHTTIMER);
}

void APPLNEDITOR::autopan(APPLNVIEWDVC* device, int dx, int dy)
{
    if (!device || device != maindevice.get())
        return;
    int divisor = autopandivisor(apdistance);
    BOX visible = device->getvisiblearea();
    int64_t stepx = visible.width() / divisor * (status.flip ? -1 : 1);
    int64_t stepy = visible.height() / divisor;
    POINT centre = device->getorigin();
    int64_t x = centre.x + (dx > 0 ? stepx : dx < 0 ? -stepx : 0);
    int64_t y = centre.y + (dy < 0 ? stepy : dy > 0 ? -stepy : 0);
    POINT next(clampcoord(x), clampcoord(y));
    if (next == centre)
        return;
    // Away from the drawing only while coming nearer to it.
    if (status.extent.isvalid() && !status.extent.contains(next)) {
        POINT middle = status.extent.centre();
        if (middle.dist(next) >= middle.dist(centre))
            return;
    }
    int shown = device->showcursor(0);
    highlights.clear();
    device->scroll(next.x - centre.x, next.y - centre.y);
    status.viewcentre = device->getorigin();
    // The cursor stays on its point of the drawing, pulled back inside the view when it left.
    RECT client {};
    GetClientRect(device->gethwnd(), &client);
    LONG margin = std::max<LONG>(8, std::max(client.right, client.bottom) / divisor / 8);
    tagPOINT at = device->world2client(device->getcursorpos());
    tagPOINT kept { std::clamp(at.x, margin, std::max(margin, client.right - margin)),
        std::clamp(at.y, margin, std::max(margin, client.bottom - margin)) };
    if (kept.x != at.x || kept.y != at.y)
        device->movecursor(device->client2world(kept));
    device->showcursor(shown);
    if (overviewdevice)
        overviewdevice->invalidate(VOIDBOX, REPAINT_ALL);
}
