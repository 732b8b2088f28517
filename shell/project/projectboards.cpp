// The boards of a multi-board project, the board whose layout is open, and the selector bars of
// boards and variants that module windows show.

#include "core/files/paths.h"
#include "core/text/strutil.h"
#include "framework/appln/applnprocess.h"
#include "platform/hulvane/cdbcore.h"
#include "platform/ombrel/stringlist.h"
#include "shell/project/vktproject.h"

namespace {

constexpr unsigned short selectorhints = 0x105;
constexpr unsigned short boardcommand = 594;

int boardindex(CDBCORE& database, unsigned long id)
{
    for (int i = 0; i < database.numboards(); ++i)
        if (database.getboard(i)->id == id)
            return i;
    return -1;
}

} // namespace

COMBOBAR* VKTPROJECT::createselector(
    APPLNWINDOW* window, unsigned short command, COMBOBARSET& set, const STRINGLIST& items, int current, int shown)
{
    if (!window || !window->hwnd)
        return nullptr;
    pushcontext();
    auto* bar = new COMBOBAR(window, selectorhints, command, &set);
    bar->setitems(items);
    bar->selectitem(current);
    bar->show(shown);
    popcontext();
    return bar;
}

unsigned long VKTPROJECT::currentboard()
{
    const BOARD* board = cdb->currentboard();
    return board ? board->id : 0;
}

int VKTPROJECT::ismultiboard()
{
    return cdb->numboards() > 1;
}

void VKTPROJECT::getboardnames(STRINGLIST& names)
{
    for (int i = 0; i < cdb->numboards(); ++i) {
        const BOARD* board = cdb->getboard(i);
        names.add(board->name.empty() ? board->stem.c_str() : board->name.c_str());
    }
}

int VKTPROJECT::currentboardindex()
{
    return cdb->currentboardindex();
}

int VKTPROJECT::selectboardindex(int index)
{
    if (!cdb->getboard(index) || index == cdb->currentboardindex())
        return 0;
    cdb->selectboard(index);
    cdb->setmodified(1);
    return 1;
}

const char* VKTPROJECT::setlayoutfile(const BOARD* board)
{
    const int index = board ? boardindex(*cdb, board->id) : -1;
    if (index >= 0)
        cdb->selectboard(index);
    readcurrentboard();
    return layoutentry;
}

int VKTPROJECT::selectboard(unsigned long id)
{
    const int index = boardindex(*cdb, id);
    if (index < 0 || !layoutserver)
        return 0;
    if (id == boardid)
        return 1;
    // The old board's layout waits in the archive until its board is chosen again or the project
    // is saved.
    if (*layoutentry)
        layoutserver->savedocument(layoutentry, *archive);
    layoutserver->closedocument();
    layoutserver = nullptr;
    setlayoutfile(cdb->getboard(index));
    if (!(layoutserver = getdocserver("BRIX", 0)))
        return 1;
    if (archive->exists(layoutentry, nullptr)) {
        layoutserver->loaddocument(layoutentry, *archive);
    } else {
        cdb->newlayout();
        layoutserver->newdocument(layoutentry);
    }
    process->loadmodulewindow(layoutserver, 0, 0);
    return 1;
}

void VKTPROJECT::reloadboards()
{
    updateselectors();
    selectboard(currentboard());
}

void VKTPROJECT::updateselectors()
{
    STRINGLIST variants;
    getvariants(variants);
    variantselectors.setitemlist(variants);
    variantselectors.setcurrentitem(varianttoindex(currentvariant()));
    variantselectors.setvisible(hasvariants());
    STRINGLIST boards;
    getboardnames(boards);
    boardselectors.setitemlist(boards);
    boardselectors.setcurrentitem(currentboardindex());
    boardselectors.setvisible(ismultiboard());
}

int VKTPROJECT::createboard(int withwizard)
{
    const int previous = cdb->currentboardindex();
    cdb->addboard();
    if (!withwizard)
        return 1;
    if (newboardwizard && newboardwizard(*this))
        return 1;
    const int added = cdb->currentboardindex();
    cdb->selectboard(previous);
    cdb->removeboard(added);
    cdb->setmodified(1);
    return 0;
}

COMBOBAR* VKTPROJECT::createboardselector(APPLNWINDOW* window)
{
    if (!boardselectors.chosen)
        boardselectors.chosen = [this](int index) {
            if (selectboardindex(index))
                reloadboards();
        };
    STRINGLIST names;
    getboardnames(names);
    return createselector(window, boardcommand, boardselectors, names, currentboardindex(), ismultiboard());
}
