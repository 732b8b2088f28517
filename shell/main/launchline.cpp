#include "shell/main/launchline.h"

#include <cctype>
#include <cstring>

#include "core/files/paths.h"
#include "core/text/scan.h"

namespace {

constexpr int longestname = 31;
constexpr const char* defaultinifile = "QUARNEL.INI";

bool isidentifierchar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

bool isblank(char c)
{
    return c == ' ' || c == '\t';
}

// A file name after a switch: ":" and a quoted text or one up to the next blank, else none (the
// caller's default). False for an empty name.
bool switchfile(char** cursor, std::string& file, bool& named)
{
    named = **cursor == ':';
    if (!named)
        return true;
    ++*cursor;
    if (isblank(**cursor))
        return false;
    char text[PATHBUFFER];
    if (!getnzstr(cursor, text, " \t", PATHBUFFER - 1) || !*text)
        return false;
    file = text;
    return true;
}

} // namespace

LAUNCHLINE readlaunchline(const char* text)
{
    LAUNCHLINE line;
    std::string copy = text ? text : "";
    char* const start = copy.data();
    char* cursor = start;
    const auto fail = [&](const char* item, const char* at, bool inswitch) {
        line.baditem = static_cast<size_t>(item - start);
        line.bad = static_cast<size_t>(at - start);
        line.badswitch = inswitch;
        return line;
    };
    while (skipspaces(&cursor)) {
        char* item = cursor;
        if (*cursor == '-' || *cursor == '/') {
            ++cursor;
            if (chktok(&cursor, "activex") || chktok(&cursor, "Embedding")) {
                line.embedding = true;
                continue;
            }
            const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(*cursor)));
            if (*cursor)
                ++cursor;
            bool known = true;
            bool named = false;
            switch (letter) {
            case 'A':
                line.hidden = line.verify = true;
                break;
            case 'H':
                line.hidden = true;
                break;
            case 'P':
                known = switchfile(&cursor, line.inifile, named);
                if (known && !named)
                    line.inifile = defaultinifile;
                break;
            case 'Q':
                line.nosplash = true;
                break;
            case 'R':
                line.reloadconfig = true;
                break;
            case 'T':
                known = switchfile(&cursor, line.translationfile, named);
                line.translate = known;
                break;
            default:
                known = false;
            }
            if (!known || (*cursor && !isblank(*cursor)))
                return fail(item, cursor, true);
            continue;
        }
        if (*cursor == '{' && std::strchr(cursor, '}')) {
            ++cursor;
            char name[longestname + 1];
            const bool readable = getnztok(&cursor, name, longestname) && !isidentifierchar(*cursor);
            skipspaces(&cursor);
            char* end = std::strchr(cursor, '}');
            if (readable)
                line.modules.emplace_back(name, std::string(cursor, static_cast<size_t>(end - cursor)));
            cursor = end + 1;
            continue;
        }
        char file[PATHBUFFER];
        getnzstr(&cursor, file, " \t", PATHBUFFER - 1);
        if (!line.file.empty())
            return fail(item, item, false);
        char named[PATHBUFFER];
        line.file = adddefext(named, file, "vktprj");
    }
    return line;
}

const char* const LAUNCHUSAGE
    = "Usage: vkt [SWITCH]... [PROJECT] [{MODULE VALUE}]...\n"
      "Starts the design suite and opens PROJECT: a project (.vktprj, .vktpnl), a design (.DSN) or\n"
      "a layout (.LYT); a name without extension gets \".vktprj\".\n"
      "\n"
      "Switches (also with \"/\", letters in either case):\n"
      "  -q             start without the splash screen\n"
      "  -r             every module reads its settings afresh\n"
      "  -h             run hidden: no window, no splash, no questions\n"
      "  -p[:FILE]      start from the launch file of a programmer's IDE (QUARNEL.INI)\n"
      "  -t[:FILE]      collect the texts to translate into FILE\n"
      "  -a FILE        check an autosave file (the program runs this itself)\n"
      "  {MODULE VALUE} hand VALUE to the module MODULE once the program has started\n"
      "  --help         show this text and end\n"
      "\n"
      "A FILE after ':' is quoted when it holds blanks (-p:\"my launch.ini\").\n"
      "The exit status is 0, or 2 for a wrong switch.\n"
      "\n"
      "Example:\n"
      "  vkt -q ~/designs/amplifier.vktprj\n";
