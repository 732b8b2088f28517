// The command line of every tool (host/commandline.h): help, usage errors and options after the file.
#include "testsupport/command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using vkt::test::runcommand;

// The tool in the folder the build puts every program in.
std::string tool(const char* name)
{
    return (std::filesystem::path(SIMRUN_PROGRAM).parent_path() / name).string();
}

// What the command line writes on standard output alone, and on standard error alone.
vkt::test::COMMANDRUN out(const std::string& line)
{
    return runcommand("(" + line + " 2>/dev/null)");
}
vkt::test::COMMANDRUN err(const std::string& line)
{
    return runcommand("(" + line + " 2>&1 >/dev/null)");
}

} // namespace

TEST(Tools, AnswerHelpAndRefuseWrongUse)
{
    for (const char* name : { "deckrun", "simrun", "netdump", "partdump", "deckexpand" }) {
        SCOPED_TRACE(name);
        const std::string program = tool(name);
        ASSERT_TRUE(std::filesystem::exists(program)) << program << " is not built";
        for (const char* help : { "--help", "-h", "some.file -h" }) {
            const auto run = out(program + " " + help);
            EXPECT_EQ(run.exitcode, 0) << help;
            EXPECT_EQ(run.output.rfind(std::string("usage: ") + name, 0), 0u) << run.output;
            EXPECT_NE(run.output.find("\nexample: "), std::string::npos) << run.output;
        }
        // A wrong option, before or after the file, and a missing file: the error and the usage on
        // standard error, nothing on standard output, exit status 2.
        for (const char* wrong : { "--bogus some.file", "some.file -x", "" }) {
            const auto run = err(program + " " + wrong);
            EXPECT_EQ(run.exitcode, 2) << wrong;
            EXPECT_EQ(run.output.rfind(std::string(name) + ": ", 0), 0u) << run.output;
            EXPECT_NE(run.output.find("usage: "), std::string::npos) << run.output;
            EXPECT_EQ(out(program + " " + wrong).output, "") << wrong;
        }
    }
    // An option after the file is taken: the file then fails as no results partition.
    const auto run = err(tool("partdump") + " /dev/null --records");
    EXPECT_EQ(run.exitcode, 1);
    EXPECT_NE(run.output.find("is not a results partition"), std::string::npos) << run.output;
}
