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

// Why a run cannot be judged yet: the line naming a piece the engines or the models do not have;
// empty otherwise.
inline std::string missingpiece(const std::string& output)
{
    for (const char* piece :
        { "is not supported by the engine yet", "SPICE object type", "model is not available yet" }) {
        size_t at = output.find(piece);
        if (at != std::string::npos) {
            size_t start = output.rfind('\n', at) + 1;
            return output.substr(start, output.find('\n', at) - start);
        }
    }
    return {};
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

// An interactive run of the netlist file with the host's script (host/simrun/hostscript.h) and the
// options --tick and --until.
inline vkt::test::COMMANDRUN interactiverun(
    const std::string& netlist, const std::string& script, const std::string& options)
{
    std::string path = (vkt::test::tempFolder() / "host.txt").string();
    std::ofstream(path) << script;
    return vkt::test::runcommand(
        std::string(SIMRUN_PROGRAM) + " --interactive " + netlist + " " + options + " --events " + path);
}
