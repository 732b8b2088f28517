// The entry of the main program: Qt with the translations for the system's language, then the
// process object runs the whole program.

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/tirsk/exceptionhandler.h"
#include "platform/win/modules.h"
#include "platform/win/qt/winqt.h"
#include "platform/win/styles.h"
#include "shell/main/launchline.h"
#include "shell/main/vktprocess.h"

namespace {

// The arguments as one command line of the program's own syntax: an argument with a blank, and an
// absolute path (which the syntax would read as a "/X" switch), is quoted (a quote doubled), only
// its file name after "-X:" for a switch; a module launch "{...}" keeps its braces as its delimiters.
std::string commandline(int argc, char** argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        size_t from = 0;
        if (argument[0] == '-' && argument.size() > 2 && argument[2] == ':')
            from = 3;
        const bool quoted = argument[0] == '/'
            || (argument.find_first_of(" \t\"") != std::string::npos && argument[0] != '{');
        if (!line.empty())
            line += ' ';
        if (!quoted) {
            line += argument;
            continue;
        }
        line += argument.substr(0, from) + '"';
        for (char c : argument.substr(from))
            line += c == '"' ? std::string("\"\"") : std::string(1, c);
        line += '"';
    }
    return line;
}

// Without a window system Qt ends the program with its own words; users are told plainly.
bool hasdisplay()
{
    for (const char* variable : { "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY" }) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return true;
    }
    return false;
}

void installtranslator(QTranslator& translator, const char* name, const char* loaded)
{
    if (!translator.load(QLocale(), name, "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    QCoreApplication::installTranslator(&translator);
    excp.log(loaded);
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(LAUNCHUSAGE, stdout);
            return 0;
        }
    }
    std::string line = commandline(argc, argv);
    // A wrong switch ends the program at once, as a command-line program does: the rest of the
    // line's errors are told in the program (message 7).
    const LAUNCHLINE read = readlaunchline(line.c_str());
    if (read.badswitch) {
        const std::string item = line.substr(read.baditem, line.find(' ', read.bad) - read.baditem);
        std::fprintf(stderr, "vkt: wrong switch %s\n%s", item.c_str(), LAUNCHUSAGE);
        return 2;
    }
    if (!hasdisplay()) {
        std::fprintf(stderr,
            "vkt needs a display: start it in a desktop session (DISPLAY or WAYLAND_DISPLAY set), or "
            "set QT_QPA_PLATFORM=offscreen to run it without one.\n");
        return 1;
    }
    excp.installdefaulttrap();
    static char name[] = "Corvane 8 Professional";
    char* arguments[] = { name, line.data(), nullptr };
    int count = 2;
    QApplication application(count, arguments);
    // Desktops find the program's entry (vkt.desktop) by this name under Wayland.
    QGuiApplication::setDesktopFileName("vkt");
    winqt::install();

    const std::string locale = "System locale " + QLocale::system().name().toStdString();
    excp.log(locale.c_str());
    QTranslator qt;
    installtranslator(qt, "qt", "Qt translation loaded");
    QTranslator corvane;
    installtranslator(corvane, "corvane", "Corvane translation loaded");
    QApplication::setLayoutDirection(Qt::LeftToRight);

    int result = 0;
    {
        VKTPROCESS process;
        result = process.run(GetModuleHandleA(nullptr), nullptr, line.data(), SW_SHOWDEFAULT);
    }
    return result;
}
