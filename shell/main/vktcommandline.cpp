// The main program's command line: switches, module launches {NAME value} and one file, read
// before start-up and acted on once the first frame is there.

#include <cstring>
#include <strings.h>

#include "core/files/folders.h"
#include "core/text/strutil.h"
#include "platform/drelm/messageboxes.h"
#include "platform/win/modules.h"
#include "platform/win/pathboundary.h"
#include "shell/main/launchline.h"
#include "shell/main/vktprocess.h"
#include "shell/project/projectmessages.h"

namespace {

constexpr unsigned long MSG_BADARGUMENTS = 7;
constexpr unsigned long MSG_BADFILENAME = 8;
constexpr const char* launchfailed = "Failed to launch module '%s'";
constexpr const char* stringsfile = "corvaneQJ.stf";

} // namespace

int VKTPROCESS::parsecommandline(char* line)
{
    const LAUNCHLINE read = readlaunchline(line);
    if (!read.file.empty())
        launchargs.add("file", read.file.c_str());
    if (!read.inifile.empty())
        launchargs.add("inifile", read.inifile.c_str());
    modulelaunches = read.modules;
    verifymode |= read.verify;
    hidden |= read.hidden;
    embedding |= read.embedding;
    if (read.nosplash)
        splashwanted = 0;
    if (read.reloadconfig)
        configflag = 1;
    if (read.translate && !read.translationfile.empty()) {
        updatetranslationfile(read.translationfile.c_str());
    } else if (read.translate) {
        // Without a name the strings file lies in the user's data, never in a folder of the
        // installation or of Qt.
        char folder[PATHBUFFER];
        localdatafolder(folder);
        mkpath(folder);
        updatetranslationfile((toposixpath(folder) + "/" + stringsfile).c_str());
    }
    badargument = read.parsed() ? nullptr : line + read.bad;
    return read.parsed();
}

int VKTPROCESS::executecommandline()
{
    APPLNFRAME* frame = getactiveframe();
    if (badargument)
        showmessage(MSG_BADARGUMENTS, badargument);
    char file[PATHBUFFER] = "";
    if (const char* named = launchargs["file"]) {
        if (!qualifyfilename(file, named)) {
            showmessage(MSG_BADFILENAME, toposixpath(named).c_str());
            file[0] = '\0';
        }
    }
    showsplashmessage("Initializing project...");
    project.init();
    // Verifying an autosave file is a run of its own, hidden: without a file it ends at once.
    if (verifymode)
        return *file ? verifyproject(file) : 1;
    if (*file)
        project.openbytype(file);
    else if (const char* inifile = launchargs["inifile"])
        idelaunch(inifile);

    bool launched = false;
    IMODULE* start = nullptr;
    for (auto& [name, value] : modulelaunches) {
        // A module that is not there is told and skipped, never the end of the program.
        const bool present = findmodule(name.c_str()) || moduleexists(name.c_str());
        IMODULE* found = present ? getmoduleinterface(name.c_str(), 0) : nullptr;
        if (!found) {
            char text[PATHBUFFER];
            snprintf(text, sizeof text, launchfailed, name.c_str());
            errbox(text);
            continue;
        }
        launched = true;
        if (strcasecmp(name.c_str(), "STARTUP") == 0)
            start = found;
        static_cast<APPLNMODULE*>(static_cast<IWINDOWMODULE*>(found))->run(frame, value.data());
    }
    if (isquitpending() || !frame)
        return 0;
    if (frame->getactivewindow())
        return 0;
    if (launched) {
        frame->loadwindow(frame->getwindow(0));
        return 0;
    }
    if (!frame->numwindows())
        loadmodulewindow(start ? start : getmoduleinterface("STARTUP", 0), 1, 0);
    return 0;
}
