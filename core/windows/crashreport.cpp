#include "core/windows/crashreport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/files/folders.h"
#include "core/text/strutil.h"
#include "core/windows/process.h"
#include "core/windows/registry.h"
#include "platform/win/files.h"
#include "platform/win/modules.h"
#include "platform/win/pathboundary.h"
#include "platform/win/privatefolder.h"
#include "platform/win/system.h"

CRASHREPORT crashreport;

namespace {

const char debugkey[] = "Software\\Venthorne\\Debug";
const char reportsubfolder[] = "Venthorne\\Reports\\";
// Dump levels with any of the top four bits set are not taken.
constexpr uint32_t dumplevelmask = 0xF0000000;

std::string environment(const char* name)
{
    const char* value = getenv(name);
    return value && *value ? value : "";
}

// For a process without a home: a folder of the user's own in the temporary folder; empty when
// it cannot be had. A folder everybody shares would let others read the reports or plant links
// where they are written.
std::string privatetemporaryfolder()
{
    std::string temporary = environment("TMPDIR");
    std::string folder = (temporary.empty() ? "/tmp" : temporary) + "/vkt-" + std::to_string(::getuid());
    return makeprivatefolder(folder) ? folder : std::string();
}

// Room a report name needs after the folder: "logfile.txt" and "<pfx>xxxx.dmp" alike.
constexpr size_t reportnameroom = 12;

// The reports folder below base, in Windows form; empty when base is empty or the report paths
// would not fit a path buffer, since a cut folder would scatter reports.
std::string reportsfolderin(const std::string& base)
{
    if (base.empty())
        return {};
    std::string folder = towindowspath(base);
    if (folder.back() != '\\')
        folder += '\\';
    folder += reportsubfolder;
    return folder.size() + reportnameroom <= PATHBUFFER - 1 ? folder : std::string();
}

// The folder where the user's reports belong, in Windows form, ending in '\': the first of the
// candidates that fits, the private temporary folder only when no other does.
std::string reportsfolder()
{
    std::string home = environment("HOME");
    for (const std::string& base : { environment("XDG_STATE_HOME"), home.empty() ? home : home + "/.local/state" })
        if (std::string folder = reportsfolderin(base); !folder.empty())
            return folder;
    if (std::string folder = reportsfolderin(privatetemporaryfolder()); !folder.empty())
        return folder;
    return std::string(".\\") + reportsubfolder;
}

// A file name with every '.' replaced by '_' ("_" for an empty one), as report comments carry it.
std::string dotless(const char* name)
{
    std::string text = *name ? name : "_";
    for (char& c : text)
        if (c == '.')
            c = '_';
    return text;
}

std::string versionpart(const char* module)
{
    VERSIONINFO version;
    if (!getversioninfo(module, &version))
        return {};
    char text[64];
    snprintf(
        text, sizeof text, "/%i_%i_%i_%i", version.major, version.minor, version.build, version.revision);
    return text;
}

// The report's path without extension: the log and the dump share it, so the tick is read once.
std::string reportstem(const CRASHREPORT& record)
{
    char name[32];
    snprintf(name, sizeof name, "%.4s%04x.", record.prefix, (GetTickCount() >> 3) & 0xFFFF);
    return std::string(record.reportsfolder) + name;
}

// A report replaces one of its name, but is never written through a link put in its place.
bool writecomment(const std::string& file, const std::string& comment)
{
    std::string path = pathforwriting(file.c_str());
    if (path.empty())
        return false;
    ::unlink(path.c_str());
    int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (out < 0)
        return false;
    bool written = ::write(out, comment.data(), comment.size()) == static_cast<ssize_t>(comment.size());
    return ::close(out) == 0 && written;
}

void writemessage(CRASHREPORT& record, uint32_t code, uint32_t offset)
{
    const char* name = record.modulename;
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
        snprintf(record.text, sizeof record.text,
            "Internal Exception: access violation in module '%s' [%08X].", name, offset);
        break;
    case EXCEPTION_STACK_OVERFLOW:
        snprintf(record.text, sizeof record.text, "Internal Exception: stack overflow in module '%s' [%08X].",
            name, offset);
        break;
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
        snprintf(record.text, sizeof record.text, "Internal Exception: divide by zero in module '%s' [%08X].",
            name, offset);
        break;
    case EXCEPTION_ABORT:
        snprintf(record.text, sizeof record.text, "Internal Exception: abort called in module '%s' [%08X].",
            name, offset);
        break;
    default:
        snprintf(record.text, sizeof record.text, "Internal Exception: SEH trap %08X in module '%s' [%08X].",
            code, name, offset);
        break;
    }
}

} // namespace

void initcrashreports(CRASHREPORT& record)
{
    strnzcpy(record.reportsfolder, reportsfolder().c_str(), PATHBUFFER - 1);
    mkpath(record.reportsfolder);
    addfilename(record.logfile, record.reportsfolder, "logfile.txt");
    _unlink(record.logfile);

    char program[PATHBUFFER];
    const char* name = GetModuleFileNameA(nullptr, program, sizeof program) ? filename(program) : "";
    strnzcpy(record.prefix, *name ? name : "dump", 4);
    std::string head = dotless(name) + versionpart(*name ? program : "") + "/";
    strnzcpy(record.commenthead, head.c_str(), PATHBUFFER - 1);

    REGISTRY32 debug(HKEY_CURRENT_USER, debugkey);
    DWORD level = 0;
    REGISTRY& settings = debug;
    bool valid
        = settings.getdata(nullptr, "DumpLevel", REG_DWORD, &level, sizeof level, nullptr, 0) == sizeof level
        && !(level & dumplevelmask);
    record.dumplevel = valid ? level : DEFAULTDUMPLEVEL;
}

void throwfatal(CRASHREPORT& record, uint32_t code, const char* format, ...)
{
    record.code = code;
    record.text[0] = '\0';
    if (format) {
        va_list arguments;
        va_start(arguments, format);
        vsnprintf(record.text, sizeof record.text, format, arguments);
        va_end(arguments);
    }
    throw static_cast<char*>(record.text);
}

int exceptionreport(CRASHREPORT& record, uint32_t code, EXCEPTION_POINTERS*, void* address)
{
    record.faultaddress = reinterpret_cast<uintptr_t>(address);
    record.code = 0;
    findfaultmodule(record);
    auto offset = static_cast<uint32_t>(record.faultaddress - record.modulebase);

    const std::string stem = reportstem(record);
    MoveFileA(record.logfile, (stem + "log").c_str());

    std::string comment = std::string(record.commenthead) + dotless(record.modulename);
    if (record.modulebase) {
        char path[PATHBUFFER];
        if (GetModuleFileNameA(reinterpret_cast<HMODULE>(record.modulebase), path, sizeof path))
            comment += versionpart(path);
    }
    if (code || offset) {
        char where[32];
        snprintf(where, sizeof where, "/%08X/%08X", offset, code);
        comment += where;
    }
    std::string dump = stem + "dmp";
    if (!writecomment(dump, comment))
        writecomment(filename(dump.c_str()), comment);

    writemessage(record, code, offset);
    return 1;
}
