// The program's side of the autosave. The file holds the project's path as a length-prefixed text
// (a zero length alone while the project has no changes), then the project file as a zip. A copy
// is checked by a child run of the program, "vkt -a FILE", which loads it with the ordinary loader:
// it leaves a project file "<stem> [Autosaved].vktprj" in the backup folder (or
// "<stem> [Autosaved].vktbak" beside the project) and renames the copy to the verified ".VASV"
// that a later start recovers from, then exits 0; a copy that does not load leaves everything in
// place and exits 1.

#include <cstdio>
#include <string>

#include "core/files/lengthtext.h"
#include "core/files/paths.h"
#include "core/windows/registry.h"
#include "platform/drelm/messageboxes.h"
#include "platform/tirsk/exceptionhandler.h"
#include "platform/win/childprocess.h"
#include "platform/win/files.h"
#include "platform/win/sharemodes.h"
#include "platform/win/pathboundary.h"
#include "shell/main/vktprocess.h"
#include "shell/project/projectmessages.h"

namespace {

constexpr const char* verifyoff = "autosaveVerifyOff";
constexpr const char* exitbutton = "&Exit";

} // namespace

int VKTPROCESS::writeproject(FILE* stream)
{
    if (!project.isdirty()) {
        fputl(0, stream);
        return 0;
    }
    return fputlstr(project.pathname(), stream) && project.saveinto(stream);
}

int VKTPROCESS::recoverproject(FILE* stream)
{
    char name[PATHBUFFER];
    const long length = fgetlstr(name, sizeof name, stream);
    if (length < 0) {
        showmessage(MSG_DAMAGEDAUTOSAVE, toposixpath(getcheckedpath()).c_str());
        return 0;
    }
    if (length == 0 || !noyes(formatmessage(MSG_RECOVERAUTOSAVE, toposixpath(name).c_str()).c_str()))
        return 0;
    if (!project.recoverfrom(stream, name))
        return 0;
    if (APPLNFRAME* frame = getactiveframe()) {
        if (!frame->numwindows())
            loadmodulewindow("STARTUP", 1, 0);
        else
            frame->selectwindow(0);
    }
    return 1;
}

int VKTPROCESS::verifyproject(const char* path)
{
    FILE* stream = _fsopen(path, "rb", _SH_DENYWR);
    if (!stream)
        return 1;
    try {
        const DWORD skip = reg_getdw(getregistrykey(), verifyoff, 0);
        char name[PATHBUFFER];
        if (fgetlstr(name, sizeof name, stream) <= 0 || (!skip && !project.recoverfrom(stream, name))) {
            std::fclose(stream);
            excp.log("Failure to load project");
            excp.reportlog("Autosave verify failed/Load failed");
            abort();
            return 1;
        }
        char stem[PATHBUFFER];
        filestem(stem, name);
        char copy[PATHBUFFER];
        if (const char* folder = project.getbackupfolder()) {
            addfilename(copy, folder, (std::string(stem) + " [Autosaved].vktprj").c_str());
        } else {
            char projectfolder[PATHBUFFER];
            pathtrim(projectfolder, name);
            addfilename(copy, projectfolder, (std::string(stem) + " [Autosaved].vktbak").c_str());
        }
        std::rewind(stream);
        copyto(stream, copy);
        std::fclose(stream);
        stream = nullptr;
        char checked[PATHBUFFER];
        addext(checked, path, "VASV");
        if (CopyFileA(path, checked, FALSE))
            DeleteFileA(path);
        abort();
        return 0;
    } catch (...) {
        if (stream)
            std::fclose(stream);
        abort();
        return 1;
    }
}

int VKTPROCESS::startverifier(const char* path)
{
    char program[PATHBUFFER];
    addfilename(program, getbinpath(), "VKT.EXE");
    std::string line = "VKT.EXE -a \"" + std::string(path) + "\"";
    STARTUPINFOA startup { sizeof startup };
    if (CreateProcessA(program, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &verifier))
        return 1;
    verifier = {};
    return 0;
}

void VKTPROCESS::onverifyfailed()
{
    alert(ALERT_ERROR, exitbutton, getapplnmessage(MSG_CORRUPTED));
    // What the autosave last held goes beside the project, whatever became of it.
    if (*getautosavepath() && _access(getautosavepath(), 0) == 0) {
        char bad[PATHBUFFER];
        addext(bad, project.pathname(), "vktbad");
        CopyFileA(getautosavepath(), bad, FALSE);
    }
    term(1);
    abort();
}
