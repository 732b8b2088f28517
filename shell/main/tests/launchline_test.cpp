// The program's command line read as a table of lines and what each gives.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "shell/main/launchline.h"

namespace {

using MODULES = std::vector<std::pair<std::string, std::string>>;

struct CASE {
    const char* line;
    std::string file;
    std::string inifile;
    MODULES modules;
    std::string flags; // letters: v verify, h hidden, e embedding, q no splash, r config, t translate
    std::string translationfile;
    std::string rest; // what the error reports; empty when all was read
    bool badswitch;
};

std::string flagsof(const LAUNCHLINE& line)
{
    std::string flags;
    for (auto [set, letter] : { std::pair { line.verify, 'v' }, { line.hidden, 'h' }, { line.embedding, 'e' },
             { line.nosplash, 'q' }, { line.reloadconfig, 'r' }, { line.translate, 't' } })
        if (set)
            flags += letter;
    return flags;
}

const CASE cases[] = {
    { "", "", "", {}, "", "", "", false },
    { "-q -r myproj", "myproj.vktprj", "", {}, "qr", "", "", false },
    { "/Q /R amp.DSN", "amp.DSN", "", {}, "qr", "", "", false },
    { "\"my designs/amp v1.2.vktpnl\"", "my designs/amp v1.2.vktpnl", "", {}, "", "", "", false },
    { "\"say \"\"hi\"\"\"", "say \"hi\".vktprj", "", {}, "", "", "", false },
    { "-h", "", "", {}, "h", "", "", false },
    { "-a backup.ASV", "backup.ASV", "", {}, "vh", "", "", false },
    { "-activex", "", "", {}, "e", "", "", false },
    { "/Embedding -q", "", "", {}, "eq", "", "", false },
    { "/p", "", "QUARNEL.INI", {}, "", "", "", false },
    { "-p:launch.ini", "", "launch.ini", {}, "", "", "", false },
    { "-P:\"my launch.ini\" -q", "", "my launch.ini", {}, "q", "", "", false },
    { "/p:", "", "", {}, "", "", "", true },
    { "/p: x", "", "", {}, "", "", " x", true },
    { "-t", "", "", {}, "t", "", "", false },
    { "-t:out.stf", "", "", {}, "t", "out.stf", "", false },
    { "{TUMBRAL export.txt}", "", "", { { "TUMBRAL", "export.txt" } }, "", "", "", false },
    { "{STARTUP} {VKTPROBE report a; close} x", "x.vktprj", "", { { "STARTUP", "" }, { "VKTPROBE", "report a; close" } },
        "", "", "", false },
    { "{1bad value} -q", "", "", {}, "q", "", "", false },
    { "{no-close", "{no-close.vktprj", "", {}, "", "", "", false },
    // Everything before an error is kept; the error names the rest of the line.
    { "-q -x foo", "", "", {}, "q", "", " foo", true },
    { "-qr", "", "", {}, "q", "", "r", true },
    { "-", "", "", {}, "", "", "", true },
    { "--help", "", "", {}, "", "", "help", true },
    { "-r first.vktprj second.vktprj -q", "first.vktprj", "", {}, "r", "", "second.vktprj -q", false },
};

TEST(LaunchLine, EachLineGivesItsSwitchesModulesAndFileOrTheRestFromItsError)
{
    for (const CASE& c : cases) {
        for (const std::string& line : { std::string(c.line), std::string(c.line) + "  \t" }) {
            SCOPED_TRACE("line: [" + line + "]");
            const LAUNCHLINE read = readlaunchline(line.c_str());
            EXPECT_EQ(read.file, c.file);
            EXPECT_EQ(read.inifile, c.inifile);
            EXPECT_EQ(read.modules, c.modules);
            EXPECT_EQ(flagsof(read), c.flags);
            EXPECT_EQ(read.translationfile, c.translationfile);
            const bool failed = !c.rest.empty() || c.badswitch;
            EXPECT_EQ(!read.parsed(), failed);
            EXPECT_EQ(read.badswitch, c.badswitch);
            if (failed && read.bad <= line.size()) {
                EXPECT_EQ(line.substr(read.bad, c.rest.size()), c.rest);
            }
        }
    }
}

TEST(LaunchLine, AWrongSwitchNamesTheItemThatFailed)
{
    const std::string line = "-q \"my file\" -zap now";
    const LAUNCHLINE read = readlaunchline(line.c_str());
    ASSERT_TRUE(read.badswitch);
    EXPECT_EQ(line.substr(read.baditem, 4), "-zap");
    EXPECT_EQ(line.substr(read.bad), "ap now");
}

TEST(LaunchLine, ANameTooLongForAPathIsCutNotOverrun)
{
    const std::string name(2000, 'n');
    const LAUNCHLINE read = readlaunchline(("-p:" + name + " " + name).c_str());
    EXPECT_LE(read.inifile.size(), 516u);
    EXPECT_FALSE(read.parsed()) << "the rest of a cut name is no blank";
}

} // namespace
