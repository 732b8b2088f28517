#include "platform/win/childprocess.h"

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/win/pathboundary.h"
#include "platform/win/textcase.h"
#include "platform/win/winerror.h"

extern char** environ;

namespace {

class ChildProcess : public WaitableObject {
public:
    explicit ChildProcess(pid_t id)
        : pid(id)
    {
    }
    ~ChildProcess() override
    {
        // Closing the handle leaves the child running; someone must still reap it when it ends.
        if (!poll()) {
            const pid_t id = pid;
            std::thread([id] { waitpid(id, nullptr, 0); }).detach();
        }
    }

    bool signalled() override { return poll(); }

    // True once the child has ended (or its state is lost); reaps it.
    bool poll()
    {
        if (ended)
            return true;
        int status = 0;
        const pid_t result = waitpid(pid, &status, WNOHANG);
        if (result == 0)
            return false;
        ended = true;
        if (result < 0) {
            readable = false;
        } else if (WIFEXITED(status)) {
            code = static_cast<DWORD>(WEXITSTATUS(status));
        } else {
            code = killedwith ? forcedcode : 128 + static_cast<DWORD>(WTERMSIG(status));
        }
        return true;
    }

    pid_t pid;
    bool ended = false;
    bool readable = true;
    bool killedwith = false;
    DWORD forcedcode = 0;
    DWORD code = 0;
};

// The child's first thread: only a handle to close.
class ChildThread : public KernelObject { };

ChildProcess* childfromhandle(HANDLE handle)
{
    return dynamic_cast<ChildProcess*>(KernelObject::fromhandle(handle));
}

std::string programpath(const char* application)
{
    std::string found = findexistingpath(application);
    const std::string name = application;
    if (found.empty() && name.size() > 4 && win::equalnocase(name.substr(name.size() - 4), ".exe"))
        found = findexistingpath(name.substr(0, name.size() - 4).c_str());
    struct stat status;
    if (found.empty() || stat(found.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return {};
    return found;
}

} // namespace

std::vector<std::string> splitcommandline(const char* commandline)
{
    std::vector<std::string> words;
    if (!commandline)
        return words;
    const char* c = commandline;
    for (;;) {
        while (*c == ' ' || *c == '\t')
            ++c;
        if (!*c)
            return words;
        std::string word;
        bool quoted = false;
        while (*c && (quoted || (*c != ' ' && *c != '\t'))) {
            size_t backslashes = 0;
            while (*c == '\\') {
                ++backslashes;
                ++c;
            }
            if (*c == '"') {
                word.append(backslashes / 2, '\\');
                if (backslashes % 2)
                    word += '"';
                else
                    quoted = !quoted;
                ++c;
                continue;
            }
            word.append(backslashes, '\\');
            if (*c && (quoted || (*c != ' ' && *c != '\t')))
                word += *c++;
        }
        words.push_back(word);
    }
}

BOOL CreateProcessA(const char* application, char* commandline, void*, void*, BOOL, DWORD, void*,
    const char* currentdir, STARTUPINFOA*, PROCESS_INFORMATION* info)
{
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *info = {};
    std::vector<std::string> words = splitcommandline(commandline);
    if (!application && words.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string program = programpath(application ? application : words[0].c_str());
    if (program.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (words.empty())
        words.push_back(application);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // No handle is inherited: only the standard streams reach the child.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    std::string folder;
    if (currentdir) {
        folder = findexistingpath(currentdir);
        if (folder.empty()) {
            posix_spawn_file_actions_destroy(&actions);
            SetLastError(ERROR_PATH_NOT_FOUND);
            return FALSE;
        }
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    }
    pid_t pid = 0;
    const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        SetLastError(error == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED);
        return FALSE;
    }
    info->hProcess = (new ChildProcess(pid))->handle();
    info->hThread = (new ChildThread)->handle();
    info->dwProcessId = static_cast<DWORD>(pid);
    info->dwThreadId = static_cast<DWORD>(pid);
    return TRUE;
}

BOOL GetExitCodeProcess(HANDLE process, DWORD* code)
{
    ChildProcess* child = childfromhandle(process);
    if (!child || !code) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!child->poll()) {
        *code = STILL_ACTIVE;
        return TRUE;
    }
    if (!child->readable) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    *code = child->code;
    return TRUE;
}

BOOL TerminateChildProcess(HANDLE process, UINT exitcode)
{
    ChildProcess* child = childfromhandle(process);
    if (!child) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (child->poll())
        return TRUE;
    child->killedwith = true;
    child->forcedcode = exitcode;
    kill(child->pid, SIGKILL);
    return TRUE;
}
