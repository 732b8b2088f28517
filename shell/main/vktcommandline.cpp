// The main program's command line: switches, module launches {NAME value} and one file, read
// before start-up and acted on once the first frame is there.

#include <cctype>
#include <cstring>
#include <strings.h>

#include "core/files/folders.h"
#include "core/text/scan.h"
#include "core/text/strutil.h"
#include "platform/drelm/messageboxes.h"
#include "platform/win/pathboundary.h"
#include "shell/main/vktprocess.h"
#include "shell/project/projectmessages.h"

namespace {

constexpr unsigned long MSG_BADARGUMENTS = 7;
constexpr unsigned long MSG_BADFILENAME = 8;
constexpr int longestname = 31;
constexpr const char* launchfailed = "Failed to launch module '%s'";
constexpr const char* stringsfile = "corvaneQJ.stf";

bool isidentifierchar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// A file name after a switch: ":" and a quoted text or one up to the next blank; without ":" the
// default (null: none). False for an empty name.
bool switchfile(char** cursor, char* file, const char* fallback)
{
    if (**cursor != ':') {
        strnzcpy(file, fallback, PATHBUFFER - 1);
        return fallback != nullptr;
    }
    ++*cursor;
    if (**cursor == ' ' || **cursor == '\t')
        return false;
    return getnzstr(cursor, file, " \t", PATHBUFFER - 1) && *file;
}

} // namespace

int VKTPROCESS::parsecommandline(char* line)
{
    badargument = nullptr;
    char* cursor = line ? line : const_cast<char*>("");
    while (skipspaces(&cursor)) {
        char* item = cursor;
        if (*cursor == '-' || *cursor == '/') {
            ++cursor;
            if (chktok(&cursor, "activex") || chktok(&cursor, "Embedding")) {
                embedding = 1;
                continue;
            }
            const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(*cursor)));
            if (*cursor)
                ++cursor;
            char file[PATHBUFFER];
            bool parsed = true;
            switch (letter) {
            case 'A':
                hidden = verifymode = 1;
                break;
            case 'H':
                hidden = 1;
                break;
            case 'P':
                if ((parsed = switchfile(&cursor, file, "QUARNEL.INI")))
                    launchargs.add("inifile", file);
                break;
            case 'Q':
                splashwanted = 0;
                break;
            case 'R':
                configflag = 1;
                break;
            case 'T': {
                // Without a name the strings file lies in the user's data, never in a folder of
                // the installation or of Qt.
                const bool named = *cursor == ':';
                char folder[PATHBUFFER];
                localdatafolder(folder);
                const std::string fallback = toposixpath(folder) + "/" + stringsfile;
                if (!(parsed = switchfile(&cursor, file, fallback.c_str())))
                    break;
                if (!named)
                    mkpath(folder);
                updatetranslationfile(file);
                break;
            }
            default:
                parsed = false;
            }
            if (!parsed || (*cursor && *cursor != ' ' && *cursor != '\t')) {
                badargument = cursor;
                return 0;
            }
            continue;
        }
        if (*cursor == '{' && std::strchr(cursor, '}')) {
            ++cursor;
            char name[longestname + 1];
            const bool named = getnztok(&cursor, name, longestname) && !isidentifierchar(*cursor);
            skipspaces(&cursor);
            char* end = std::strchr(cursor, '}');
            if (named)
                modulelaunches.emplace_back(name, std::string(cursor, static_cast<size_t>(end - cursor)));
            cursor = end + 1;
            continue;
        }
        char file[PATHBUFFER];
        getnzstr(&cursor, file, " \t", PATHBUFFER - 1);
        if (launchargs["file"]) {
            badargument = item;
            return 0;
        }
        char named[PATHBUFFER];
        launchargs.add("file", adddefext(named, file, "VKTPRJ"));
    }
    return 1;
}

int VKTPROCESS::executecommandline()
{
    APPLNFRAME* frame = getactiveframe();
    if (badargument)
        showmessage(MSG_BADARGUMENTS, badargument);
    char file[PATHBUFFER] = "";
    if (const char* named = launchargs["file"]) {
        if (!qualifyfilename(file, named)) {
            showmessage(MSG_BADFILENAME, named);
            file[0] = '\0';
        }
    }
    showsplashmessage("Initializing project...");
    project.init();
    // Verifying an autosave file is a run of its own; until the verifier is there such a run
    // ends at once and verifies nothing.
    if (*file && verifymode)
        return 1;
    if (*file)
        project.openbytype(file);

    bool launched = false;
    IMODULE* start = nullptr;
    for (auto& [name, value] : modulelaunches) {
        IMODULE* found = getmoduleinterface(name.c_str(), 0);
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
