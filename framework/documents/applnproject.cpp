#include "framework/documents/applnproject.h"

#include <QString>

#include "core/files/folders.h"
#include "core/files/paths.h"
#include "core/text/strutil.h"
#include "platform/tirsk/reporting.h"

namespace {

constexpr unsigned long nothingToRestore = 0xE00C;

UNDOFRAME* newest(const DLIST_BASE& stack)
{
    return static_cast<UNDOFRAME*>(stack.tail);
}

int fromutf8(const char* text, QString& value)
{
    value = text ? QString::fromUtf8(text) : QString();
    return text ? 1 : 0;
}

} // namespace

APPLNPROJECT::APPLNPROJECT() = default;

APPLNPROJECT::~APPLNPROJECT()
{
    resetundostacks();
}

const char* APPLNPROJECT::filename()
{
    return ::filename(path);
}

const char* APPLNPROJECT::pathname()
{
    return path;
}

const char* APPLNPROJECT::getcwd()
{
    return cwd;
}

int APPLNPROJECT::getproperty(const char* name, QString& value)
{
    return fromutf8(getproperty(name), value);
}

void APPLNPROJECT::setproperty(const char* name, const QString& value)
{
    setproperty(name, value.isEmpty() ? nullptr : value.toUtf8().constData());
}

int APPLNPROJECT::getscript(const char* name, QString& value)
{
    return fromutf8(getscript(name), value);
}

void APPLNPROJECT::setscript(const char* name, const QString& value)
{
    setscript(name, value.isEmpty() ? nullptr : value.toUtf8().constData());
}

void APPLNPROJECT::setdirty(APPLNDOCUMENT* document, int flag)
{
    dirty = flag;
    if (flag)
        onmodified(document);
}

UNDOFRAME* APPLNPROJECT::getundoframe(UNDOMODES mode)
{
    return newest(buildstack(mode));
}

void APPLNPROJECT::addundoframe(UNDOMODES mode, UNDOFRAME* frame)
{
    buildstack(mode).addtotail(frame);
}

int APPLNPROJECT::commit(UNDOMODES mode)
{
    UNDOFRAME* frame = getundoframe(mode);
    if (!frame || locked)
        return 0;
    if (mode == UNDO_REDOING && !frame->iscommitted()) {
        buildstack(mode).remove(frame);
        delete frame;
        return 0;
    }
    if (!frame->commit(mode) || mode != UNDO_EDIT)
        return 0;
    empty(redostack);
    while (undostack.count() > maxundolevels) {
        auto* oldest = static_cast<UNDOFRAME*>(undostack.head);
        undostack.remove(oldest);
        delete oldest;
    }
    return 1;
}

int APPLNPROJECT::canundo(UNDOMODES mode)
{
    return newest(restorestack(mode)) != nullptr;
}

int APPLNPROJECT::restore(UNDOMODES mode)
{
    DLIST_BASE& stack = restorestack(mode);
    UNDOFRAME* frame = newest(stack);
    if (!frame) {
        error(nothingToRestore);
        return 0;
    }
    if (!frame->restore(mode))
        return 0;
    onrestore(frame);
    stack.remove(frame);
    delete frame;
    return 1;
}

void APPLNPROJECT::resetundostacks()
{
    empty(undostack);
    empty(redostack);
}

const char* APPLNPROJECT::getbackupfolder()
{
    if (backuplevels < 2)
        return nullptr;
    mkpath(backupfolder);
    return backupfolder;
}

void APPLNPROJECT::setbackupfolder(const char* folder)
{
    strnzcpy(backupfolder, folder, sizeof backupfolder - 1);
}

void APPLNPROJECT::empty(DLIST_BASE& stack)
{
    while (UNDOFRAME* frame = newest(stack)) {
        stack.remove(frame);
        delete frame;
    }
}
