#include "platform/win/faults.h"

#include <execinfo.h>
#include <signal.h>
#include <ucontext.h>

#include "platform/win/modules.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int faultSignals[] = { SIGSEGV, SIGBUS, SIGFPE, SIGILL };
// A write this close to the stack pointer is taken as the stack running out.
constexpr uintptr_t stackOverflowReach = 64 * 1024;

std::atomic<_se_translator_function> translator { nullptr };
thread_local bool handlingFault = false;

// The thread's alternate stack: kept for the thread's life, since the kernel may switch to it at
// any time, and given back when the thread (or, for the main thread, the process) ends.
struct FaultStack {
    void* memory = nullptr;
    ~FaultStack()
    {
        if (!memory)
            return;
        stack_t off {};
        off.ss_flags = SS_DISABLE;
        sigaltstack(&off, nullptr);
        free(memory);
    }
};
thread_local FaultStack faultStack;

// The mappings of the system's runtime libraries, by the start of their file names; found once,
// outside any handler, and only read by the handlers.
constexpr const char* systemlibrarynames[] = { "libc.so", "libstdc++.so", "libgcc_s.so", "libm.so", "ld-linux" };
struct Span {
    uintptr_t begin;
    uintptr_t end;
};
std::vector<Span> systemlibraries;

void findsystemlibraries()
{
    for (const LoadedModule& loaded : loadedmodules()) {
        const std::string name = loaded.path.substr(loaded.path.rfind('/') + 1);
        for (const char* system : systemlibrarynames) {
            if (name.starts_with(system))
                systemlibraries.push_back({ reinterpret_cast<uintptr_t>(loaded.module), loaded.end });
        }
    }
}

// Where abort() was called: below the handler's own frames and the system libraries' (abort
// itself, or std::terminate calling it), the first frame outside them; `raised` when the walk does
// not get there.
uintptr_t abortcaller(uintptr_t raised)
{
    void* frames[64];
    int count = backtrace(frames, 64);
    bool passedsystem = false;
    for (int i = 0; i < count; ++i) {
        auto address = reinterpret_cast<uintptr_t>(frames[i]);
        if (insystemlibrary(address))
            passedsystem = true;
        else if (passedsystem)
            return address - 1; // a return address: the call lies just before it
    }
    return raised;
}

uintptr_t stackpointer(const ucontext_t* context)
{
#if defined(__x86_64__)
    return static_cast<uintptr_t>(context->uc_mcontext.gregs[REG_RSP]);
#elif defined(__aarch64__)
    return static_cast<uintptr_t>(context->uc_mcontext.sp);
#else
    return 0;
#endif
}

DWORD exceptioncode(int signal, const siginfo_t* info, const ucontext_t* context)
{
    switch (signal) {
    case SIGSEGV: {
        auto address = reinterpret_cast<uintptr_t>(info->si_addr);
        uintptr_t sp = stackpointer(context);
        bool nearStack = sp && (address > sp ? address - sp : sp - address) < stackOverflowReach;
        return nearStack ? EXCEPTION_STACK_OVERFLOW : EXCEPTION_ACCESS_VIOLATION;
    }
    case SIGBUS:
        return info->si_code == BUS_ADRALN ? EXCEPTION_DATATYPE_MISALIGNMENT : EXCEPTION_ACCESS_VIOLATION;
    case SIGILL:
        return EXCEPTION_ILLEGAL_INSTRUCTION;
    case SIGABRT:
        return EXCEPTION_ABORT;
    default:
        break;
    }
    switch (info->si_code) {
    case FPE_INTDIV:
        return EXCEPTION_INT_DIVIDE_BY_ZERO;
    case FPE_INTOVF:
        return EXCEPTION_INT_OVERFLOW;
    case FPE_FLTDIV:
        return EXCEPTION_FLT_DIVIDE_BY_ZERO;
    case FPE_FLTOVF:
        return EXCEPTION_FLT_OVERFLOW;
    case FPE_FLTUND:
        return EXCEPTION_FLT_UNDERFLOW;
    case FPE_FLTRES:
        return EXCEPTION_FLT_INEXACT_RESULT;
    case FPE_FLTSUB:
        return EXCEPTION_ARRAY_BOUNDS_EXCEEDED;
    default:
        return EXCEPTION_FLT_INVALID_OPERATION;
    }
}

void onfault(int signal, siginfo_t* info, void* raw)
{
    auto* context = static_cast<ucontext_t*>(raw);
    EXCEPTION_RECORD record {};
    record.ExceptionCode = exceptioncode(signal, info, context);
    uintptr_t ip = interruptedinstruction(context);
    if (signal == SIGABRT)
        ip = abortcaller(ip);
    record.ExceptionAddress = reinterpret_cast<void*>(ip ? ip : reinterpret_cast<uintptr_t>(info->si_addr));
    if (signal == SIGSEGV || signal == SIGBUS) {
        record.NumberParameters = 2;
        record.ExceptionInformation[1] = reinterpret_cast<ULONG_PTR>(info->si_addr);
    }
    EXCEPTION_POINTERS pointers { &record, context };

    if (_se_translator_function handler = translator.load()) {
        handlingFault = true;
        handler(record.ExceptionCode, &pointers);
        handlingFault = false;
    }
    // Passed on: the fault takes its default course once the handler returns (a signal that was
    // sent rather than raised by an instruction does not recur by itself).
    struct sigaction fallback { };
    fallback.sa_handler = SIG_DFL;
    sigaction(signal, &fallback, nullptr);
    if (info->si_code <= 0)
        raise(signal);
}

} // namespace

void preparefaultstack()
{
    if (faultStack.memory)
        return;
    size_t size = 256 * 1024;
    stack_t stack {};
    stack.ss_sp = malloc(size);
    stack.ss_size = size;
    if (stack.ss_sp && sigaltstack(&stack, nullptr) == 0) {
        faultStack.memory = stack.ss_sp;
        return;
    }
    free(stack.ss_sp);
}

_se_translator_function _set_se_translator(_se_translator_function handler)
{
    preparefaultstack();
    _se_translator_function previous = translator.exchange(handler);
    struct sigaction action { };
    if (handler) {
        action.sa_sigaction = onfault;
        action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    } else {
        action.sa_handler = SIG_DFL;
    }
    sigemptyset(&action.sa_mask);
    for (int signal : faultSignals)
        sigaction(signal, &action, nullptr);
    return previous;
}

bool infaulthandler()
{
    return handlingFault;
}

void translateabort()
{
    static const bool prepared = [] {
        findsystemlibraries();
        // The first walk loads the unwinder, which must not happen inside a handler.
        void* frame = nullptr;
        backtrace(&frame, 1);
        return true;
    }();
    (void)prepared;
    struct sigaction action { };
    action.sa_sigaction = onfault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    sigaction(SIGABRT, &action, nullptr);
}

bool insystemlibrary(uintptr_t address)
{
    return std::any_of(systemlibraries.begin(), systemlibraries.end(),
        [address](const Span& span) { return address >= span.begin && address < span.end; });
}

uintptr_t interruptedinstruction(const void* raw)
{
    const auto* context = static_cast<const ucontext_t*>(raw);
#if defined(__x86_64__)
    return static_cast<uintptr_t>(context->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return static_cast<uintptr_t>(context->uc_mcontext.pc);
#else
    return 0;
#endif
}
