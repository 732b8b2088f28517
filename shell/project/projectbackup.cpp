// Backups of a project file before a save replaces it. With a backup folder each save keeps a copy
// named after the time the replaced file was saved, "<stem> [yyyyMMdd, HH-mm-ss].vktprj", and the
// oldest of these go past the number kept; a file of an older format is kept once as
// "<stem> [Corvane 8.12].vktprj" and never pruned. Without a folder one copy, "Backup of
// <stem>.vktbak" (or "<stem> [Corvane 8.12].vktbak"), lies beside the project.

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/files/paths.h"
#include "platform/drelm/messageboxes.h"
#include "platform/ombrel/dirsearch.h"
#include "platform/tirsk/datetext.h"
#include "platform/win/files.h"
#include "platform/win/pathboundary.h"
#include "platform/win/sharemodes.h"
#include "shell/project/projectmessages.h"
#include "shell/project/vktproject.h"

namespace {

constexpr int readable = 4;
constexpr int writable = 2;
// The format version message 20 names: 8.12.
constexpr int formatmajor = 8;
constexpr int formatminor = 12;

} // namespace

int VKTPROJECT::backup(const char* name)
{
    XML::ELEMENT timestamp = root.getchild("TIMESTAMP", 0);
    const int version = timestamp.isNull() ? 0 : timestamp.getinteger("FILEVER", 0);
    const int release = timestamp.isNull() ? 0 : timestamp.getinteger("RELEASE", 0);
    const time_t modified
        = timestamp.isNull() ? 0 : static_cast<time_t>(std::atoll(timestamp.getattribute("MODIFIED", "0")));
    const bool current = version == FILEVERSION;

    char stem[PATHBUFFER];
    char projectfolder[PATHBUFFER];
    filestem(stem, name);
    pathtrim(projectfolder, name);
    const char* folder = getbackupfolder();
    std::string copyname;
    if (current) {
        const std::string date = fmtwindate(modified, 0, "yyyyMMdd");
        const std::string time = fmtwintime(modified, 0, "HH-mm-ss");
        copyname = folder ? std::string(stem) + " [" + date + ", " + time + "].vktprj"
                          : "Backup of " + std::string(stem) + ".vktbak";
    } else {
        copyname = std::string(stem) + " [Corvane " + std::to_string(release / 100) + "."
            + std::to_string(release % 100) + (folder ? "].vktprj" : "].vktbak");
    }
    char copy[PATHBUFFER];
    addfilename(copy, folder ? folder : projectfolder, copyname.c_str());

    if (!current && !confirm(formatmessage(MSG_OLDERFORMAT, formatmajor, formatminor, copyname.c_str()).c_str()))
        return 0;
    const std::string shown = toposixpath(name);
    if (_access(name, readable) == 0 && _access(name, writable) != 0) {
        showmessage(MSG_READONLY, shown.c_str());
        return 0;
    }
    if (folder && _access(folder, 0) != 0) {
        showmessage(MSG_NOBACKUPFOLDER);
        return 0;
    }
    if (_access(name, 0) != 0)
        return 1;
    if (!*copy || !CopyFileA(name, copy, FALSE)) {
        showmessage(MSG_COULDNOTBACKUP, shown.c_str(), toposixpath(*copy ? copy : copyname.c_str()).c_str());
        return 0;
    }
    if (folder)
        prunebackups(folder, stem);
    return 1;
}

void VKTPROJECT::prunebackups(const char* folder, const char* stem)
{
    const std::string pattern = std::string(stem) + " [????????, \?\?-\?\?-\?\?].vktprj";
    // A stem holding '?' or '*' matches other projects' backups too: only this stem's are counted.
    const std::string own = std::string(stem) + " [";
    DIRSEARCH search;
    std::vector<std::string> dated;
    if (search.findfirst(folder, pattern.c_str()) && search.sortbytime()) {
        do {
            if (std::strncmp(search.name(), own.c_str(), own.size()) == 0)
                dated.emplace_back(search.name());
        } while (search.findnext());
    }
    const size_t kept = getbackuplevels() > 0 ? static_cast<size_t>(getbackuplevels()) : 0;
    for (size_t i = 0; i + kept < dated.size(); ++i) {
        char file[PATHBUFFER];
        addfilename(file, folder, dated[i].c_str());
        if (!DeleteFileA(file))
            showmessage(MSG_COULDNOTDELETEBACKUP, toposixpath(file).c_str());
    }
}
