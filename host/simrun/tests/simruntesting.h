#pragma once

#include "testsupport/command.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

// What the run tool's tests share: their netlist fixtures and the check of a run's output.

inline std::string fixture(const char* name)
{
    return std::string(VKT_TEST_SOURCE_DIR) + "/fixtures/" + name;
}

// Expects each piece in the output, each after the one before.
inline void expectinorder(const std::string& output, const std::vector<std::string>& pieces)
{
    size_t at = 0;
    for (const std::string& piece : pieces) {
        size_t found = output.find(piece, at);
        EXPECT_NE(found, std::string::npos) << "missing, or out of order:\n" << piece << "\nin:\n" << output;
        if (found != std::string::npos)
            at = found + piece.size();
    }
}

// An interactive run of the fixture with the host's script (host/simrun/hostscript.h) and the
// options --tick and --until.
inline vkt::test::COMMANDRUN interactiverun(
    const char* netlist, const std::string& script, const std::string& options)
{
    std::string path = (vkt::test::tempFolder() / "host.txt").string();
    std::ofstream(path) << script;
    return vkt::test::runcommand(std::string(SIMRUN_PROGRAM) + " --interactive " + fixture(netlist) + " "
        + options + " --events " + path);
}
