// The key translator's bindings written to and read from a key-map file.

#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/ascii.h"
#include "framework/commands/keytranslator.h"
#include "framework/context/applncontext.h"
#include "platform/drelm/fileselector.h"
#include "platform/tirsk/datetext.h"
#include "platform/tirsk/reporting.h"
#include "platform/win/boundedread.h"
#include "platform/win/pathboundary.h"
#include "platform/win/replacefile.h"
#include "platform/win/system.h"

namespace {

constexpr unsigned long MSG_CANNOTWRITE = 0xF103;
constexpr unsigned long MSG_CANNOTREAD = 0xF104;
constexpr unsigned long MSG_NOTAKEYMAP = 0xF108;
constexpr const char* keymapfilter = "Keymap Files|*.KMF|Text Files|*.TXT|All Files|*.*";
constexpr const char* keymapextension = "KMF";
constexpr const char* defaultkeymap = "DEFAULT.KMF";

struct KEYLINE {
    std::string name;
    uint32_t key;
};

bool isblank(char c)
{
    return c == ' ' || c == '\t';
}

// A binding line: blanks, the name in double quotes (a quote inside the name is kept: the name
// ends at the last quote before the last '='), '=', blanks, the key in 1 to 8 hexadecimal digits
// and blanks. Nothing when the line does not start with a quote; false when it does but is no
// binding.
bool parseline(std::string_view line, std::vector<KEYLINE>& lines)
{
    size_t open = line.find_first_not_of(" \t");
    if (open == std::string_view::npos || line[open] != '"')
        return true;
    size_t equals = line.rfind('=');
    size_t close = equals == std::string_view::npos ? equals : line.rfind('"', equals);
    if (close == std::string_view::npos || close <= open)
        return false;
    size_t at = equals + 1;
    while (at < line.size() && isblank(line[at]))
        ++at;
    uint32_t key = 0;
    size_t digits = 0;
    for (; at < line.size() && asciixdigit(line[at]); ++at, ++digits)
        key = key << 4
            | static_cast<uint32_t>(asciidigit(line[at]) ? line[at] - '0' : asciiupper(line[at]) - 'A' + 10);
    while (at < line.size() && isblank(line[at]))
        ++at;
    if (!digits || digits > 8 || at != line.size())
        return false;
    lines.push_back({ std::string(line.substr(open + 1, close - open - 1)), key });
    return true;
}

// The binding lines of a key-map file's text; false, with the number of the first line that is
// no binding, when the text is not a key map.
bool parsekeymap(const std::string& text, std::vector<KEYLINE>& lines, int& badline)
{
    badline = 1;
    for (size_t start = 0; start < text.size(); ++badline) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find('\0') != std::string_view::npos || !parseline(line, lines))
            return false;
        start = end + 1;
    }
    return true;
}

} // namespace

int KEYTRANSLATOR::exportsettings()
{
    FILESELECTOR selector("Export Key Map To File", keymapfilter, keymapextension);
    if (!selector.save(getapplnwinhdl()))
        return 0;
    return exportfile(withdefaultextension(selector.getpath(), keymapextension).c_str());
}

int KEYTRANSLATOR::importsettings(int usedefault)
{
    if (usedefault) {
        const std::string program = programfile();
        const std::string path = towindowspath(program.substr(0, program.rfind('/') + 1) + defaultkeymap);
        return findexistingpath(path.c_str()).empty() ? 0 : importfile(path.c_str());
    }
    FILESELECTOR selector("Import Key Map To File", keymapfilter, keymapextension);
    if (!selector.open(getapplnwinhdl()))
        return 0;
    return importfile(withdefaultextension(selector.getpath(), keymapextension).c_str());
}

int KEYTRANSLATOR::exportfile(const char* path)
{
    const std::string target = pathforwriting(path);
    std::string temporary;
    FILE* file = openbeside(target, temporary);
    if (!file) {
        errorbox(getapplnmessage(MSG_CANNOTWRITE), path);
        return 0;
    }
    const time_t now = time(nullptr);
    std::string date = fmtwindate(now, DATE_LONGDATE);
    fprintf(file, "; Keymap file generated %s at %s.\n", date.c_str(), fmtwintime(now));
    for (const KEYCMD* binding : bycommand) {
        const CMDINFO* entry = ownentry(*binding);
        if (!entry)
            continue;
        std::string name = std::string("\"") + (entry->text ? entry->text.get() : "") + "\"";
        fprintf(file, "%-40s (%08X:%08X) = %08X\n", name.c_str(), entry->context, entry->id, binding->key);
    }
    if (!replacetarget(file, temporary, target)) {
        errorbox(getapplnmessage(MSG_CANNOTWRITE), path);
        return 0;
    }
    return 1;
}

int KEYTRANSLATOR::importfile(const char* path)
{
    std::string text;
    std::string error;
    const std::string found = findexistingpath(path);
    if (found.empty() || !readbounded(found.c_str(), text, error)) {
        errorbox(getapplnmessage(MSG_CANNOTREAD), path);
        return 0;
    }
    std::vector<KEYLINE> lines;
    int badline = 0;
    if (!parsekeymap(text, lines, badline)) {
        errorbox(getapplnmessage(MSG_NOTAKEYMAP), path, badline);
        return 0;
    }
    zap();
    for (const KEYLINE& line : lines)
        for (int i = 0; const CMDINFO* entry = cmdtable.item(i); ++i)
            if (entry->id && entry->text && asciicasecmp(entry->text, line.name.c_str()) == 0)
                addrecord(entry->context, entry->id, line.key);
    resort_keys();
    resort_cmds();
    return 1;
}
