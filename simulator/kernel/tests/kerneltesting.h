#pragma once

#include "core/files/pathopen.h"
#include "core/windows/crashreport.h"
#include "simulator/kernel/analysis.h"
#include "simulator/kernel/circuit.h"
#include "simulator/kernel/frontend.h"
#include "simulator/kernel/hostlink.h"
#include "simulator/kernel/runstate.h"
#include "simulator/kernel/signon.h"
#include "simulator/kernel/simlog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// Sets the engines the test program links back as loaded: the recording fakes forget their calls
// and scripts; the real engines keep nothing between circuits, so for them it does nothing.
void resetengines();

// The link to a host window of this process that is alive and has ESC up, whose messages go to
// `send`.
inline HOSTLINK testhostlink(LRESULT (*send)(HWND, UINT, WPARAM, LPARAM))
{
    return HOSTLINK { sizeof(HOSTLINK), send, [](HWND) -> BOOL { return TRUE; },
        []() -> HWND { return nullptr; }, [](int) -> SHORT { return 0; },
        [](HWND window, UINT) { return window; },
        [](HWND, DWORD* process) -> DWORD {
            *process = static_cast<DWORD>(getpid());
            return 1;
        } };
}

// A kernel signed on against the engines the test program links (the real ones, or the recording
// fakes), its log lines captured in a file.
class KernelTest : public testing::Test {
protected:
    void SetUp() override
    {
        // What HELIXSIM does when it is loaded, once the stores point into the test's folder.
        static const bool reportsprepared = (initcrashreports(crashreport), true);
        (void)reportsprepared;
        resetengines();
        memset(traceflags, 0, sizeof traceflags);
        simstatus = 0;
        currentanalysis = nullptr;
        sethostlink(nullptr);
        recordedhostmessages().clear();
        setpausetest(esctest);
        output = tmpfile();
    }

    void TearDown() override
    {
        sethostlink(nullptr);
        fclose(output);
    }

    // Signs on with the capture file as output; the log so far (the banner) is left out of log().
    void signon(int interactive = 0, HWND host = nullptr)
    {
        simsignon(fileno(output), host, interactive);
        mark = size();
    }

    // The log lines written since the sign-on.
    std::string log()
    {
        std::string text(size() - mark, '\0');
        ssize_t n = pread(fileno(output), text.data(), text.size(), static_cast<off_t>(mark));
        text.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return text;
    }

    // The lines of the log since the mark that start with `prefix`.
    std::vector<std::string> lines(const std::string& prefix)
    {
        std::vector<std::string> found;
        std::istringstream text(log());
        for (std::string line; std::getline(text, line);)
            if (line.rfind(prefix, 0) == 0)
                found.push_back(line);
        return found;
    }

    size_t size()
    {
        struct stat status {};
        fstat(fileno(output), &status);
        return static_cast<size_t>(status.st_size);
    }

    FILE* output = nullptr;
    size_t mark = 0;
};

// An analysis whose time a test sets; negative: unknown.
class TimedAnalysis : public ANALYSIS {
public:
    TimedAnalysis(CIRCUIT* circuit, IFtask* task)
        : ANALYSIS("TRAN", circuit, task, nullptr)
    {
    }
    int gettime(double* value) override
    {
        *value = time;
        return time >= 0;
    }
    double time = -1;
};

// A circuit with its task, made on a signed-on kernel.
struct TestCircuit {
    TestCircuit()
    {
        spicesimulator->newTask(circuit.spice, &task, "TASK");
    }
    CIRCUIT circuit;
    IFtask* task = nullptr;
};
