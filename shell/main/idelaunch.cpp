// The launch file a programmer's IDE starts the program with: it names a design, the program image
// built for its processor, the clock and the device, and whether to make a new design, start the
// simulation or serve the IDE's debugger:
//   [CORVANE]
//   DESIGNFILE="/home/me/blinky/blinky.vktprj"
//   PROGRAM=/home/me/blinky/out/blinky.hex
//   CLOCK=4MHz
//   FAMILY=PIC
//   DEVICE=PIC16F877
//   AUTORUN=1

#include <cstdlib>
#include <string>
#include <strings.h>

#include "platform/win/boundedread.h"
#include "core/files/paths.h"
#include "core/text/strutil.h"
#include "platform/win/inifile.h"
#include "platform/win/pathboundary.h"
#include "shell/main/outsidemodules.h"
#include "shell/main/vktprocess.h"
#include "shell/project/projectmessages.h"

namespace {

constexpr unsigned long MSG_INIFILEUNREADABLE = 9;
constexpr unsigned long MSG_INIFILEINCOMPLETE = 10;
constexpr unsigned long MSG_NOMATCHINGPROCESSOR = 13;
constexpr const char* section = "CORVANE";
constexpr const char* none = "None";
constexpr int propertyflags = 3;
constexpr int propertyoptions = 1;

struct LAUNCHFILE {
    std::string text;

    // The value of key cut to most characters, or fallback.
    std::string get(const char* key, const char* fallback, size_t most) const
    {
        std::string value;
        if (!inilookup(text, section, key, value))
            value = fallback;
        return value.substr(0, most);
    }
    int getint(const char* key) const { return std::atoi(get(key, "0", 31).c_str()); }
};

bool isnone(const std::string& value)
{
    return strcasecmp(value.c_str(), none) == 0;
}

// The path from folder to target when they share their first level (levels compared ignoring
// case), else target as it is; both full Windows paths.
std::string relativepath(const std::string& target, const std::string& folder)
{
    const auto levels = [](const std::string& path) {
        std::vector<std::string> parts;
        size_t start = 0;
        for (size_t end; (end = path.find('\\', start)) != std::string::npos; start = end + 1)
            parts.push_back(path.substr(start, end - start));
        parts.push_back(path.substr(start));
        return parts;
    };
    const std::vector<std::string> to = levels(target);
    std::vector<std::string> from = levels(folder);
    if (!from.empty() && from.back().empty())
        from.pop_back();
    size_t common = 0;
    while (common < from.size() && common + 1 < to.size()
        && strcasecmp(from[common].c_str(), to[common].c_str()) == 0)
        ++common;
    // Only the root in common ("\" of both) leaves nothing to share.
    if (common <= 1)
        return target;
    std::string relative;
    for (size_t i = common; i < from.size(); ++i)
        relative += "..\\";
    for (size_t i = common; i < to.size(); ++i)
        relative += to[i] + (i + 1 < to.size() ? "\\" : "");
    return relative;
}

std::string fullpath(const std::string& path)
{
    char full[PATHBUFFER];
    return qualifyfilename(full, path.c_str()) ? std::string(full) : path;
}

// Names match ignoring case: the processor's name is the family and the device, or the device.
bool matches(const std::string& name, const std::string& family, const std::string& device)
{
    if (strcasecmp(name.c_str(), device.c_str()) == 0)
        return true;
    return name.size() > family.size() && strncasecmp(name.c_str(), family.c_str(), family.size()) == 0
        && strcasecmp(name.c_str() + family.size(), device.c_str()) == 0;
}

} // namespace

void VKTPROCESS::idelaunch(const char* inifile)
{
    LAUNCHFILE launch;
    std::string error;
    const std::string found = findexistingpath(inifile);
    if (found.empty() || !readbounded(found.c_str(), launch.text, error)) {
        showmessage(MSG_INIFILEUNREADABLE, toposixpath(inifile).c_str());
        return;
    }
    const std::string design = launch.get("DESIGNFILE", none, PATHBUFFER - 1);
    const std::string program = launch.get("PROGRAM", none, PATHBUFFER - 1);
    const std::string clock = launch.get("CLOCK", none, 19);
    const std::string family = launch.get("FAMILY", "PIC", 50);
    std::string device = launch.get("DEVICE", none, 50);
    if (strncasecmp(device.c_str(), family.c_str(), family.size()) == 0)
        device.erase(0, family.size());
    if (isnone(design) || isnone(program) || isnone(clock)) {
        showmessage(MSG_INIFILEINCOMPLETE);
        return;
    }
    const std::string designfile = fullpath(design);
    if (launch.getint("NEWDESIGN")) {
        project.init();
        project.save(designfile.c_str());
        return;
    }
    auto* host = static_cast<ISIMHOST*>(getmoduleinterface(SIMULATIONHOST, 14));
    project.openbytype(designfile.c_str());
    if (!host) {
        reportmissingmodule(SIMULATIONHOST);
        return;
    }
    if (const int port = launch.getint("VDMPORT")) {
        host->debugport(port);
    } else {
        char folder[PATHBUFFER];
        pathtrim(folder, designfile.c_str());
        const std::string image = relativepath(fullpath(program), folder);
        bool matched = false;
        for (const PROCESSORINSTANCE& processor : host->processors()) {
            if (processor.device.empty() || !matches(processor.device, family, device))
                continue;
            matched = true;
            host->setproperty(processor.handle, "CLOCK", clock.c_str(), propertyflags, propertyoptions);
            host->setproperty(processor.handle, "PROGRAM", image.c_str(), propertyflags, propertyoptions);
        }
        if (!matched) {
            showmessage(MSG_NOMATCHINGPROCESSOR, family.c_str(), device.c_str());
            return;
        }
    }
    if (launch.getint("AUTORUN"))
        host->sendcommand(ISIMHOST::CMD_RUN);
}
