#include "core/windows/process.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <exception>
#include <mutex>
#include <new>
#include <ostream>
#include <vector>

#include "core/text/strutil.h"
#include "core/windows/applncontext.h"
#include "core/windows/stringtable.h"
#include "platform/win/dialogmessage.h"
#include "platform/win/handles.h"
#include "platform/win/messagebox.h"
#include "platform/win/messagequeue.h"
#include "platform/win/modules.h"
#include "platform/win/system.h"
#include "platform/win/toolhelp.h"
#include "platform/win/version.h"

namespace {

constexpr uint32_t outofmemory = 0xC000008C;
constexpr size_t messagebuffer = 1024;
constexpr size_t modulepathbuffer = 261;

thread_local HWND modelessdialog = nullptr;
std::terminate_handler previousterminate = nullptr;

void nomemory()
{
    onnomemory(0);
}

// A fatal text thrown and never caught ends the process as a fault would, without a report.
[[noreturn]] void onterminate()
{
    if (std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const char*) {
            fatalexit(crashreport, LANGUAGEEXCEPTION, nullptr);
        } catch (...) {
        }
    }
    if (previousterminate)
        previousterminate();
    std::abort();
}

bool isuserinput(UINT message)
{
    return (message >= WM_MOUSEFIRST && message <= WM_XBUTTONDBLCLK)
        || (message >= WM_NCMOUSEFIRST && message <= WM_NCMOUSELAST) || message == WM_KEYDOWN
        || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

} // namespace

void installfatalhandlers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        CRASHREPORT& record = crashreport;
        record.text[0] = '\0';
        record.faultaddress = 0;
        record.callback = nullptr;
        record.passon = 0;
        record.handled = 0;
        record.code = 0;
        record.quiet = 0;
        initcrashreports(record);
        std::set_new_handler(nomemory);
        _set_se_translator(onsystemexception);
        previousterminate = std::set_terminate(onterminate);
    });
}

void onnomemory(size_t)
{
    throwfatal(crashreport, outofmemory, "Internal exception: out of memory.");
}

void onsystemexception(unsigned code, EXCEPTION_POINTERS* info)
{
    fatalexit(crashreport, code, info);
}

int fatalexit(CRASHREPORT& record, unsigned code, EXCEPTION_POINTERS* info)
{
    if (code != LANGUAGEEXCEPTION) {
        void* address = nullptr;
        if (info && info->ExceptionRecord) {
            code = info->ExceptionRecord->ExceptionCode;
            address = info->ExceptionRecord->ExceptionAddress;
        }
        exceptionreport(record, code, info, address);
    }
    if (!__atomic_exchange_n(&record.handled, 1, __ATOMIC_SEQ_CST)) {
        if (record.callback)
            record.callback(&record);
        if (record.passon)
            return 0;
    }
    if (!record.quiet) {
        MessageBeep(0);
        MessageBoxA(nullptr, record.text, "Fatal Error", MB_ICONHAND | MB_TASKMODAL);
    }
    TerminateProcess(GetCurrentProcess(), 1);
    return 0;
}

void findfaultmodule(CRASHREPORT& record)
{
    strcpy(record.modulename, "UNKNOWN");
    record.modulebase = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    MODULEENTRY32 entry {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32First(snapshot, &entry); more; more = Module32Next(snapshot, &entry)) {
        auto base = reinterpret_cast<uintptr_t>(entry.modBaseAddr);
        if (base < record.faultaddress && base + entry.modBaseSize > record.faultaddress) {
            strnzcpy(record.modulename, entry.szModule, sizeof record.modulename - 1);
            record.modulebase = base;
            break;
        }
    }
    CloseHandle(snapshot);
}

HWND setmodelessdialog(HWND dialog)
{
    HWND previous = modelessdialog;
    modelessdialog = dialog;
    return previous;
}

HWND getmodelessdialog()
{
    return modelessdialog;
}

int pumpmessages(int all, int wait, UINT first, UINT last)
{
    MSG message;
    auto fetch = [&] {
        return wait ? GetMessageA(&message, nullptr, first, last) > 0
                    : PeekMessageA(&message, nullptr, first, last, PM_REMOVE) != FALSE;
    };
    int dispatched = 0;
    while (fetch()) {
        if (!all && isuserinput(message.message))
            continue;
        if (!modelessdialog || !IsDialogMessageA(modelessdialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        dispatched = 1;
    }
    return dispatched;
}

void waitticks(unsigned ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return;
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT) == WAIT_OBJECT_0) {
            // A message came and stays queued: note it as seen, so that waiting goes on until
            // the next one or the end of the time.
            MSG seen;
            PeekMessageA(&seen, nullptr, 0, 0, PM_NOREMOVE);
        }
    }
}

std::ostream& writeapplnmessage(std::ostream& out, unsigned long id, ...)
{
    const STRINGTABLE* table = getapplncontext()->stringtable;
    const char* format = table ? table->string(id) : "";
    char text[messagebuffer];
    va_list arguments;
    va_start(arguments, id);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    const char* line = text;
    for (const char* feed; (feed = strchr(line, '\n')); line = feed + 1)
        out.write(line, feed - line) << std::endl;
    return out << line;
}

int getversioninfo(const char* module, VERSIONINFO* info)
{
    char path[modulepathbuffer] = {};
    strnzcpy(path, module, modulepathbuffer - 1);
    if (HMODULE loaded = GetModuleHandleA(module))
        GetModuleFileNameA(loaded, path, modulepathbuffer);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (!size)
        return 0;
    std::vector<BYTE> block(size);
    void* fixed = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoA(path, handle, size, block.data())
        || !VerQueryValueA(block.data(), "\\", &fixed, &length))
        return 0;
    const auto* version = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    *info = { HIWORD(version->dwFileVersionMS), LOWORD(version->dwFileVersionMS),
        HIWORD(version->dwFileVersionLS), LOWORD(version->dwFileVersionLS) };
    return 1;
}
