#include "shell/main/aboutbox.h"

#include <QString>
#include <QSysInfo>
#include <QtGlobal>
#include <cstdio>
#include <gnu/libc-version.h>
#include <unistd.h>

#include "framework/context/applncontext.h"
#include "platform/drelm/control.h"
#include "platform/drelm/form.h"
#include "platform/win/system.h"

namespace {

constexpr unsigned long STR_RELEASE = 133;
constexpr COLORREF highlight = 0xC00000;
constexpr const char* website = "https://www.venthorne.example/corvane";

// "major.minor" with the minor in two digits, from a "major.minor..." text.
std::string twodigits(const char* text)
{
    int major = 0;
    int minor = 0;
    std::sscanf(text, "%d.%d", &major, &minor);
    char out[32];
    std::snprintf(out, sizeof out, "%d.%02d", major, minor);
    return out;
}

unsigned long long availablememory()
{
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long size = sysconf(_SC_PAGESIZE);
    return pages > 0 && size > 0 ? static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(size) : 0;
}

} // namespace

std::string memorytext(unsigned long long bytes)
{
    if (bytes > 0x7FFFFFFFull)
        return "> 2G";
    std::string digits = std::to_string(bytes);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

ABOUTTEXTS abouttexts(const VERSIONINFO& version, unsigned long long freememory)
{
    ABOUTTEXTS texts;
    char line[256];
    const char* format = getapplnstring(STR_RELEASE);
    std::snprintf(line, sizeof line, format ? format : "Release %d.%d SP%d (Build %d)", version.major,
        version.minor, version.build, version.revision);
    texts.release = line;
    texts.website = website;
    // The pins of the design's netlist are counted once the schematic has a netlist server.
    texts.pins = "0";
    texts.memory = memorytext(freememory);
    texts.system = QSysInfo::prettyProductName().toStdString() + " (" + QSysInfo::kernelType().toStdString() + " "
        + QSysInfo::kernelVersion().toStdString() + ")";
    std::snprintf(line, sizeof line, "(Common Controls v%s, Shell v%s)", twodigits(qVersion()).c_str(),
        twodigits(gnu_get_libc_version()).c_str());
    texts.controls = line;
    return texts;
}

void showabout()
{
    VERSIONINFO version {};
    getversioninfo(programfile().c_str(), &version);
    const ABOUTTEXTS texts = abouttexts(version, availablememory());
    rm_get("HELP_ABOUT", getapplntitle(), texts.release.c_str(), texts.website.c_str(), texts.pins.c_str(),
        texts.memory.c_str(), texts.system.c_str(), texts.controls.c_str());
}

DLGCODES help_about(FORM& form, unsigned msg, unsigned, long)
{
    if (msg != DLGM_START)
        return DLG_DEFAULT;
    for (const char* name : { "WEBSITE", "MEMORY" })
        if (CONTROL* control = form.getctrl(name))
            control->settextcolour(highlight);
    return DLG_DEFAULT;
}
