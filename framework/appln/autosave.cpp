#include "framework/appln/autosave.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "core/files/folders.h"
#include "core/files/lengthtext.h"
#include "core/text/strutil.h"
#include "platform/ombrel/dirsearch.h"
#include "platform/tirsk/exceptionhandler.h"
#include "platform/win/files.h"
#include "platform/win/handles.h"
#include "platform/win/pathboundary.h"
#include "platform/win/replacefile.h"
#include "platform/win/sharemodes.h"
#include "platform/win/userfolders.h"
#include "platform/win/winerror.h"

namespace {

constexpr const char* autosaveextension = "ASV";
constexpr const char* pendingextension = "DAZOD";
constexpr const char* checkedextension = "VASV";
constexpr unsigned highestnumber = 0xFFFF;
constexpr DWORD verifierexitwait = 5000;

long long timeofday()
{
    return static_cast<long long>(std::time(nullptr));
}

// The number of an autosave file's name: its four hexadecimal digits after the prefix; -1 when
// they are not.
long numberofname(const char* name, size_t prefixlength)
{
    if (std::strlen(name) < prefixlength + 4)
        return -1;
    char digits[5] = {};
    std::memcpy(digits, name + prefixlength, 4);
    char* end = nullptr;
    const unsigned long number = std::strtoul(digits, &end, 16);
    return end == digits + 4 ? static_cast<long>(number) : -1;
}

} // namespace

AUTOSAVE::AUTOSAVE()
    : clock(timeofday)
{
}

AUTOSAVE::~AUTOSAVE()
{
    term(0);
}

void AUTOSAVE::setclock(CLOCK replacement)
{
    clock = replacement ? std::move(replacement) : CLOCK(timeofday);
}

void AUTOSAVE::formnames(const char* folder, const char* name)
{
    addfilename(autosavepath, folder, name);
    addext(pendingpath, autosavepath, pendingextension);
    addext(checkedpath, autosavepath, checkedextension);
}

int AUTOSAVE::init(const char* fallbackfolder, const char* prefix)
{
    char folder[PATHBUFFER] = "";
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder) {
        strnzcpy(folder, fallbackfolder ? fallbackfolder : "", PATHBUFFER - 1);
        mkpath(folder);
    }
    char pattern[PATHBUFFER];
    snprintf(pattern, sizeof pattern, "%s????.%s", prefix, autosaveextension);
    const size_t prefixlength = std::strlen(prefix);

    unsigned next = 0;
    DIRSEARCH search;
    for (int more = search.findfirst(folder, pattern); more && !recovered; more = search.findnext()) {
        formnames(folder, search.name());
        FILE* found = _fsopen(autosavepath, "r+b", _SH_DENYRW);
        if (!found) {
            // Held: an instance that runs. Ours is numbered past it.
            const long number = numberofname(search.name(), prefixlength);
            if (GetLastError() == ERROR_SHARING_VIOLATION && number >= 0 && static_cast<unsigned>(number) >= next)
                next = static_cast<unsigned>(number) + 1;
            continue;
        }
        FILE* checked = _fsopen(checkedpath, "r+b", _SH_DENYRW);
        if (checked && recoverproject(checked)) {
            recovered = 1;
            file = found;
        } else {
            std::fclose(found);
            DeleteFileA(autosavepath);
        }
        if (!checked)
            continue;
        std::fclose(checked);
        // The verified copy stays with a recovered file until a newer one replaces it, so that a
        // second crash before the next save still finds the work.
        if (!recovered)
            DeleteFileA(checkedpath);
    }

    for (unsigned number = next; !recovered && !file && number <= highestnumber; ++number) {
        char name[PATHBUFFER];
        snprintf(name, sizeof name, "%s%04X.%s", prefix, number, autosaveextension);
        formnames(folder, name);
        file = _fsopen(autosavepath, "w+bc", _SH_DENYRW);
        // Another instance that started at the same moment took the number: the next one.
        if (!file && GetLastError() != ERROR_SHARING_VIOLATION)
            break;
    }
    lastsave = clock();
    return recovered;
}

long long AUTOSAVE::minutessincesave() const
{
    return (clock() - lastsave) / 60;
}

void AUTOSAVE::poll()
{
    if (!interval || !file)
        return;
    const long long minutes = minutessincesave();
    if (minutes < static_cast<long long>(interval))
        return;
    if (active && rewrite([this](FILE* stream) { return writeproject(stream); }))
        verify();
    lastsave = clock();
    active = 0;
}

int AUTOSAVE::rewrite(const std::function<int(FILE*)>& write)
{
    const std::string target = pathforwriting(autosavepath);
    std::string temporary;
    FILE* fresh = openbeside(target, temporary);
    if (!fresh)
        return 0;
    if (!locksharemode(fresh, _SH_DENYRW) || !write(fresh) || !renameopen(fresh, temporary, target)) {
        discardbeside(fresh, temporary);
        return 0;
    }
    std::fclose(file);
    file = fresh;
    return 1;
}

void AUTOSAVE::verify()
{
    if (verifier.hProcess) {
        DWORD code = 0;
        const BOOL known = GetExitCodeProcess(verifier.hProcess, &code);
        if (known && code == STILL_ACTIVE) {
            const long long minutes = minutessincesave();
            if (minutes > 2LL * interval) {
                // Saves stopped for long (the machine slept): the verifier is not taken to hang.
                closeverifier();
                return;
            }
            endverifier();
            excp.log("Autosave verification process did not exit.");
            excp.reportlog("Autosave verify failed/Hang");
            onverifyfailed();
            return;
        }
        if (known && code != 0) {
            closeverifier();
            excp.log("Autosave verification process exited with error.");
            excp.reportlog("Autosave verify failed/Crash");
            onverifyfailed();
            return;
        }
        closeverifier();
        if (_access(pendingpath, 0) == 0) {
            onverifyfailed();
            return;
        }
    }
    std::rewind(file);
    if (copyto(file, pendingpath))
        startverifier(pendingpath);
}

void AUTOSAVE::endverifier()
{
    if (!verifier.hProcess)
        return;
    DWORD code = 0;
    if (GetExitCodeProcess(verifier.hProcess, &code) && code == STILL_ACTIVE) {
        TerminateChildProcess(verifier.hProcess, 1);
        WaitForSingleObject(verifier.hProcess, verifierexitwait);
    }
    closeverifier();
}

void AUTOSAVE::closeverifier()
{
    if (verifier.hProcess)
        CloseHandle(verifier.hProcess);
    if (verifier.hThread)
        CloseHandle(verifier.hThread);
    verifier = {};
}

void AUTOSAVE::reset()
{
    if (!file)
        return;
    rewrite([](FILE* stream) { return fputl(0, stream); });
    // A verifier still at work on the last piece of work would leave its copy behind.
    endverifier();
    DeleteFileA(pendingpath);
    DeleteFileA(checkedpath);
    active = 1;
    recovered = 0;
}

void AUTOSAVE::term(int keep)
{
    endverifier();
    if (!file)
        return;
    std::fclose(file);
    file = nullptr;
    if (!keep)
        deletefiles();
}

void AUTOSAVE::deletefiles()
{
    for (const char* path : { autosavepath, pendingpath, checkedpath })
        if (*path)
            DeleteFileA(path);
}

int AUTOSAVE::copyto(FILE* stream, const char* path)
{
    if (!stream || !path || !*path)
        return 0;
    const std::string target = pathforwriting(path);
    std::string temporary;
    FILE* copy = openbeside(target, temporary);
    if (!copy)
        return 0;
    char block[8192];
    size_t copied = 0;
    bool written = true;
    for (size_t count; written && (count = std::fread(block, 1, sizeof block, stream)) > 0; copied += count)
        written = std::fwrite(block, 1, count, copy) == count;
    if (!written || std::ferror(stream) || !copied) {
        discardbeside(copy, temporary);
        return 0;
    }
    return replacetarget(copy, temporary, target) ? 1 : 0;
}
