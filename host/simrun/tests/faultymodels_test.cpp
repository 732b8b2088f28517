// Model libraries that abort or hang, run through the run tool as the host runs them: each such run
// ends alone with its message and result 3, the host goes on to its next run, and no results
// temporary is left beside the netlist.
#include "host/simrun/tests/endtoend.h"

#include "core/windows/registry.h"
#include "simulator/kernel/runlimits.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace {

class FaultyModels : public EndToEnd {
protected:
    void SetUp() override
    {
        EndToEnd::SetUp();
        folder = vkt::test::makeTempSubfolder("faulty");
        setenv("RESULTS", folder.c_str(), 1);
        setenv("MODELS", FAULTYMODELS, 1);
        const DWORD seconds = 1;
        settings().putdata(nullptr, STALLLIMITVALUE, REG_DWORD, &seconds, sizeof seconds);
    }

    void TearDown() override
    {
        unsetenv("MODELS");
        settings().removevalue(nullptr, STALLLIMITVALUE);
    }

    static REGISTRY& settings()
    {
        static REGISTRY32 main(HKEY_CURRENT_USER, MAINSETTINGSKEY);
        return main;
    }

    // The RC low-pass of live.net with a part of FAULTY of that type on its output, beside its
    // results.
    std::string netlist(const std::string& type)
    {
        std::ifstream in(fixture("live.net"));
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        auto replace = [&](const std::string& from, const std::string& to) {
            text.replace(text.find(from), from.size(), to);
        };
        replace("*PARTLIST,4\n", "*PARTLIST,5\nU1,FAULTY,,PRIMITIVE=ANALOG,PRIMTYPE=" + type + ",MODDLL=FAULTY\n");
        replace("OUT,3\n", "OUT,4\nU1,PS,OUT\n");
        const std::filesystem::path path = folder / (type + ".net");
        std::ofstream(path) << text;
        return path.string();
    }

    // The files the runs left beside the netlists that are temporaries of a results file.
    std::vector<std::string> temporaries() const
    {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().filename().string().find(".tmp") != std::string::npos)
                found.push_back(entry.path().filename());
        return found;
    }

    std::filesystem::path folder;
};

// A host that hangs would hang the test: the runs are ended after this long.
const std::string simrun = std::string("timeout 60 ") + SIMRUN_PROGRAM;

struct FAULT {
    const char* type;
    const char* message;
};
const FAULT faults[] = {
    { "ABORT", "\n#X:Internal Exception: abort called in module 'FAULTY.so' [" },
    { "HANG", "\n#X:The simulation made no progress for 1 seconds (in module 'FAULTY.so') and was stopped.\n" },
};

TEST_F(FaultyModels, BatchRunEndsAloneWithItsMessageAndTheHostRunsTheNext)
{
    for (const FAULT& fault : faults) {
        run = runcommand(simrun + " " + netlist(fault.type) + " " + fixture("rc.net"));
        EXPECT_EQ(run.exitcode, 0) << fault.type << "\n" << run.output;
        const size_t message = run.output.find(fault.message);
        EXPECT_NE(message, std::string::npos) << fault.type << "\n" << run.output;
        const size_t failed = run.output.find("result: 3\n");
        EXPECT_LT(message, failed) << fault.type << "\n" << run.output;
        EXPECT_NE(run.output.find("result: 0\n", failed), std::string::npos) << fault.type << "\n" << run.output;
        EXPECT_TRUE(temporaries().empty()) << fault.type;
    }
}

TEST_F(FaultyModels, InteractiveRunEndsWithItsMessage)
{
    for (const FAULT& fault : faults) {
        run = runcommand(simrun + " --interactive " + netlist(fault.type) + " --tick 1ms --until 3ms");
        EXPECT_EQ(run.exitcode, 3) << fault.type << "\n" << run.output;
        EXPECT_NE(run.output.find(fault.message), std::string::npos) << fault.type << "\n" << run.output;
        EXPECT_NE(run.output.find("result: 3\n"), std::string::npos) << fault.type << "\n" << run.output;
        EXPECT_TRUE(temporaries().empty()) << fault.type;
    }
}

} // namespace
