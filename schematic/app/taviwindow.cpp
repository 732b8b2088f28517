// The editor's window: the module's menus merged into the program's, the View, Edit and Design
// tool bars, and the editing view of the current sheet.

#include "framework/appln/applnmenu.h"
#include "framework/bars/toolbar.h"
#include "platform/win/window.h"
#include "schematic/app/taviapp.h"
#include "schematic/app/tavicommands.h"

namespace {

constexpr long UNITSPERINCH = 2540000;
constexpr int VIEWID = 1;

constexpr TBBUTTON button(int image, int command)
{
    return { image, command, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 0 };
}

constexpr TBBUTTON check(int image, int command)
{
    return { image, command, TBSTATE_ENABLED, BTNS_CHECK, {}, 0, 0 };
}

constexpr TBBUTTON viewbuttons[] = {
    button(0, EDITCMD_REDRAW),
    check(1, EDITCMD_GRID),
    check(2, CMD_FALSEORIGIN),
    check(3, CMD_XCURSOR),
    button(4, EDITCMD_ZOOMCENTRE),
    button(5, EDITCMD_ZOOMIN),
    button(6, EDITCMD_ZOOMOUT),
    button(7, EDITCMD_ZOOMALL),
    button(8, EDITCMD_ZOOMAREA),
    button(9, CMD_OUTPUTAREA),
};

constexpr TBBUTTON editbuttons[] = {
    button(0, EDITCMD_UNDO),
    button(1, CMD_REDO),
    button(2, CMD_CUT),
    button(3, CMD_COPY),
    button(4, CMD_PASTE),
    button(5, CMD_BLOCKCOPY),
    button(6, CMD_BLOCKMOVE),
    button(7, CMD_BLOCKROTATE),
    button(8, CMD_BLOCKDELETE),
    button(9, CMD_PICKPARTS),
    button(10, CMD_MAKEDEVICE),
    button(11, CMD_PACKAGINGTOOL),
    button(12, CMD_DECOMPOSE),
    check(13, CMD_AUTOROUTER),
    button(14, CMD_SEARCHANDTAG),
    button(15, CMD_PROPERTYTOOL),
};

constexpr TBBUTTON designbuttons[] = {
    button(0, CMD_NEWSHEET),
    button(1, CMD_REMOVESHEET),
    button(2, CMD_PREVIOUSSHEET),
    button(3, CMD_NEXTSHEET),
    button(4, CMD_EXITTOPARENT),
    button(5, CMD_DESIGNNOTES),
    button(6, CMD_ANNOTATOR),
    button(7, CMD_ERC),
    button(8, CMD_NETLISTCOMPILER),
    button(9, CMD_VERIFYPACKAGINGS),
};

template <size_t N> int count(const TBBUTTON (&)[N])
{
    return static_cast<int>(N);
}

} // namespace

void TAVIAPP::oncreatewindow()
{
    if (APPLNMENU* menu = getmenubar())
        menu->loadmenus("APPLNMENU", getmoduleinstance(), *getcmdinfotable(), static_cast<APPLNWINDOW*>(this),
            { &editstatus.falseorigin, nullptr, &autorouter });
    setcmdctx(CTX_FILE);
    addtoolbar(TB_VIEW, "View Toolbar", "itb_view", viewbuttons, count(viewbuttons));
    addtoolbar(TB_EDIT, "Edit Toolbar", "itb_edit", editbuttons, count(editbuttons));
    addtoolbar(TB_DESIGN, "Design Toolbar", "itb_design", designbuttons, count(designbuttons));
    calcsizes();
    maindevice = std::make_unique<APPLNVIEWDVC>(this, hwnd, WS_VISIBLE, viewarea, VIEWID, UNITSPERINCH);
    maindevice->setbackground(getcolour(APPLNCOLOUR_BACKGROUND));
    maindevice->setxcursor(XCURSOR_FULL);
    setscale(VOIDBOX, 1);
}

void TAVIAPP::ondestroywindow()
{
    maindevice.reset();
}

void TAVIAPP::onresize(int width, int height)
{
    calcsizes();
    if (maindevice)
        MoveWindow(maindevice->gethwnd(), viewarea.x1, viewarea.y1, int(viewarea.width()) + 1,
            int(viewarea.height()) + 1, TRUE);
}

// The sheet holds no objects yet: the editor base draws its grid and border.
void TAVIAPP::drawcontent(BOX area, int full, APPLNVIEWDVC* device, int mode) { }
