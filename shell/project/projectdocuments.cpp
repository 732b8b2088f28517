// The documents of the project in their modules: making, importing and showing them, opening a
// file by its type, and passing modifications and restored undo frames between them.

#include <strings.h>

#include "core/files/paths.h"
#include "core/text/strutil.h"
#include "framework/appln/applnprocess.h"
#include "framework/documents/applndocument.h"
#include "platform/hulvane/cdbcore.h"
#include "platform/win/files.h"
#include "platform/win/pathboundary.h"
#include "platform/win/userfolders.h"
#include "shell/project/projectentries.h"
#include "shell/project/projectmessages.h"
#include "shell/project/vktproject.h"

namespace {

constexpr int readable = 4;

APPLNDOCUMENT* documentof(IDOCSERVER* server)
{
    return server ? server->getdocument() : nullptr;
}

} // namespace

IDOCSERVER* VKTPROJECT::getdocserver(const char* module, int show)
{
    auto* server = static_cast<IDOCSERVER*>(process->getmoduleinterface(module, IID_DOCSERVER));
    if (!server)
        return nullptr;
    if (APPLNDOCUMENT* document = server->getdocument())
        document->setproject(this);
    if (show)
        process->loadmodulewindow(module, 0, 0);
    return server;
}

APPLNDOCUMENT* VKTPROJECT::design() const
{
    return documentof(designserver);
}

APPLNDOCUMENT* VKTPROJECT::layout() const
{
    return documentof(layoutserver);
}

APPLNDOCUMENT* VKTPROJECT::panel() const
{
    return documentof(panelserver);
}

APPLNDOCUMENT* VKTPROJECT::firmware() const
{
    return documentof(firmwareserver);
}

APPLNDOCUMENT* VKTPROJECT::mervale() const
{
    return documentof(notesserver);
}

APPLNWINDOW* VKTPROJECT::opendesign(int show)
{
    if (!designserver) {
        cdb->newdesign();
        if ((designserver = getdocserver("TAVI", 0)))
            designserver->newdocument(designentry);
    }
    return process->loadmodulewindow(designserver, show, 0);
}

APPLNWINDOW* VKTPROJECT::openlayout(int show)
{
    if (!layoutserver) {
        cdb->newlayout();
        readcurrentboard();
        if ((layoutserver = getdocserver("BRIX", 0)))
            layoutserver->newdocument(layoutentry);
    }
    return process->loadmodulewindow(layoutserver, show, 0);
}

APPLNWINDOW* VKTPROJECT::openpanel(int show)
{
    if (!panelserver && (panelserver = getdocserver("SPANDO", 0)))
        panelserver->newdocument(panelentry);
    return process->loadmodulewindow(panelserver, show, 0);
}

APPLNWINDOW* VKTPROJECT::openfirmware(int show)
{
    if (!firmwareserver && (firmwareserver = getdocserver("ZMVSTUDIO", 0))) {
        process->loadmodulewindow("ZMVSTUDIO", 0, 0);
        firmwareserver->newdocument(firmware_filename);
    }
    return process->loadmodulewindow(firmwareserver, show, 0);
}

APPLNWINDOW* VKTPROJECT::openmervale(int show)
{
    if (!notesserver && (notesserver = getdocserver("MERVALE", 0))) {
        process->loadmodulewindow("MERVALE", 0, 0);
        notesserver->newdocument(notesentry);
    }
    return process->loadmodulewindow(notesserver, show, 0);
}

int VKTPROJECT::importinto(IDOCSERVER*& server, APPLNWINDOW* (VKTPROJECT::*open)(int), const char* file,
    void (VKTPROJECT::*imported)())
{
    if (_access(file, readable) != 0)
        return 0;
    (this->*open)(0);
    if (!server)
        return 0;
    const int result = server->importfile(file);
    if (result == 1)
        process->loadmodulewindow(server, 1, 0);
    if (imported)
        (this->*imported)();
    return result;
}

int VKTPROJECT::importdesign(const char* file)
{
    return importinto(designserver, &VKTPROJECT::opendesign, file, &VKTPROJECT::ondesignimported);
}

void VKTPROJECT::ondesignimported()
{
    if (cdb->migratelegacyvariants())
        namelegacyvariants();
    if (firmwareserver)
        firmwareserver->closedocument();
}

int VKTPROJECT::importlayout(const char* file)
{
    return importinto(layoutserver, &VKTPROJECT::openlayout, file, nullptr);
}

int VKTPROJECT::importfirmware(const char* file)
{
    return importinto(firmwareserver, &VKTPROJECT::openfirmware, file, nullptr);
}

void VKTPROJECT::createdesignproject(int schematic, int pcb, int program)
{
    init();
    if (schematic)
        opendesign(1);
    if (pcb)
        openlayout(1);
    if (program)
        openfirmware(1);
}

void VKTPROJECT::createpanelproject()
{
    init();
    openpanel(1);
}

int VKTPROJECT::openbytype(const char* file)
{
    if (_access(file, readable) != 0) {
        showmessage(MSG_COULDNOTOPEN, toposixpath(file).c_str());
        return 0;
    }
    const char* extension = dotext(file);
    const bool isdesign = strcasecmp(extension, ".DSN") == 0;
    int result = 0;
    bool refused = false;
    if (isdesign || strcasecmp(extension, ".LYT") == 0) {
        init();
        setdocpath(file);
        process->addmrufile(file);
        result = isdesign ? importdesign(file) : importlayout(file);
        showmessage(MSG_DIRECTOPEN);
    } else if (std::unique_ptr<VKTARCHIVE> read = readfile(file)) {
        process->resetworkspace();
        result = takefile(std::move(read));
        // The frames and windows the user left this project in, kept beside it.
        if (result)
            process->restoreworkspace();
    } else {
        // A file refused whole leaves the project that was open as it was.
        refused = true;
    }
    if (result)
        SHAddToRecentDocs(SHARD_PATHA, file);
    else if (!refused)
        init();

    APPLNFRAME* frame = process->getactiveframe();
    if (frame && !frame->numwindows()) {
        const char* first = design() ? "TAVI"
            : layout()               ? "BRIX"
            : firmware()             ? "ZMVSTUDIO"
            : mervale()              ? "MERVALE"
                                     : "STARTUP";
        process->loadmodulewindow(first, 1, 0);
    }
    process->updateframecaptions();
    return result;
}

void VKTPROJECT::onmodified(APPLNDOCUMENT* document)
{
    if (document) {
        reloadboards();
        for (IDOCSERVER* server : { designserver, layoutserver, firmwareserver, notesserver })
            if (server)
                server->onmodified(document);
    }
    const char variant = cdb->getvariant();
    if (variant != lastvariant && variant != 'b' && document
        && (document == design() || document == layout())) {
        lastvariant = variant;
        QStringList names;
        getvariants(names);
        const int index = variant - 'A' + 1;
        const QByteArray name = index < names.size() ? names[index].toLocal8Bit() : QByteArray(1, variant);
        showmessage(MSG_EDITINGVARIANT, name.constData());
    }
    emit modified(document);
    cdb->tidysnippets();
}

void VKTPROJECT::onrestore(UNDOFRAME* frame)
{
    cdb->selectvariant(currentvariant());
    reloadboards();
    for (IDOCSERVER* server : { designserver, layoutserver, firmwareserver, notesserver })
        if (server)
            server->onrestore(frame);
    emit restore(frame);
    dirty = 1;
}

IMODULE* VKTPROJECT::getnetlistmaster()
{
    return designserver ? designserver->queryinterface(IID_NETSERVER) : nullptr;
}

IFIRMWAREBUILDER* VKTPROJECT::firmwarebuilder() const
{
    return firmwareserver
        ? static_cast<IFIRMWAREBUILDER*>(firmwareserver->queryinterface(IID_FIRMWAREBUILDER))
        : nullptr;
}

int VKTPROJECT::buildfirmware()
{
    IFIRMWAREBUILDER* builder = firmwarebuilder();
    return builder ? builder->build() : 1;
}

int VKTPROJECT::hasflowchart()
{
    IFIRMWAREBUILDER* builder = firmwarebuilder();
    return builder ? builder->hasflowchart() : 0;
}
