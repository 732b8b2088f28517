#include "platform/win/system.h"

#include "platform/win/childprocess.h"

#include <unistd.h>

#include <ctime>
#include <vector>

namespace {
HANDLE const currentProcess = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
}

DWORD GetTickCount()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<DWORD>(ms);
}

HANDLE GetCurrentProcess()
{
    return currentProcess;
}

BOOL TerminateProcess(HANDLE process, UINT exitcode)
{
    if (process != currentProcess)
        return TerminateChildProcess(process, exitcode);
    _exit(static_cast<int>(exitcode));
}

std::string programfile()
{
    std::vector<char> buffer(4096);
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return {};
    return std::string(buffer.data(), static_cast<size_t>(n));
}
