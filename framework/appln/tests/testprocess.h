#pragma once

// A process for the tests: it records the steps of its run, and runs a script of its own in the
// place of the command line (before the main loop) and on the idle passes of the main loop.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/text/strutil.h"
#include "framework/appln/applnprocess.h"
#include "platform/win/modules.h"
#include "platform/win/qt/winqt.h"

namespace appltest {

struct QtLayer : testing::Environment {
    void SetUp() override { ASSERT_TRUE(winqt::install()); }
    void TearDown() override { winqt::uninstall(); }
};

inline testing::Environment* const qtlayer = testing::AddGlobalTestEnvironment(new QtLayer);

class TESTPROCESS : public APPLNPROCESS {
public:
    TESTPROCESS() { setapplnname("TESTAPP", "Test Application"); }

    // Runs the process; the command line step runs `start`, each idle pass `idle`.
    int runall() { return run(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), 1); }

    std::function<int()> start;
    std::function<void(int pass)> idle;
    std::vector<std::string> steps;
    int idlepasses = 0;

    void appln_init() override { steps.push_back("appln_init"); }
    void appln_term() override { steps.push_back("appln_term"); }
    int executecommandline() override
    {
        steps.push_back("executecommandline");
        return start ? start() : 0;
    }
    APPLNFRAME* createnewframe(HMONITOR monitor) override
    {
        steps.push_back("createnewframe");
        return APPLNPROCESS::createnewframe(monitor);
    }
    int onidle() override
    {
        ++idlepasses;
        if (idle)
            idle(idlepasses);
        return APPLNPROCESS::onidle();
    }
    void onfirstrun(unsigned long newversion, unsigned long oldversion) override
    {
        steps.push_back("onfirstrun");
    }

    void onsessionactive() override
    {
        ++activity;
        APPLNPROCESS::onsessionactive();
    }
    int activity = 0;

    // Help files are looked for below this folder in place of the program's parent folder.
    void setrootpath(const char* path) { strnzcpy(rootpath, path, PATHBUFFER - 1); }
    APPLNFRAME* gettoclose() const { return frametoclose; }
};

} // namespace appltest
