#pragma once

// Hardware faults as the structured exceptions they stand in for. A fault signal (SIGSEGV,
// SIGBUS, SIGFPE, SIGILL) of any thread is handled on the thread's alternate stack, turned into an
// exception record with the system's code and the faulting instruction's address, and passed to
// the installed translator. A translator that returns lets the fault take its default course
// (the process ends by the signal).
//
// Only threads that have an alternate stack survive a stack overflow long enough to report it:
// _set_se_translator gives one to its caller, preparefaultstack to any other thread.

#include "platform/win/scalars.h"

constexpr DWORD EXCEPTION_DATATYPE_MISALIGNMENT = 0x80000002;
constexpr DWORD EXCEPTION_ACCESS_VIOLATION = 0xC0000005;
constexpr DWORD EXCEPTION_IN_PAGE_ERROR = 0xC0000006;
constexpr DWORD EXCEPTION_ILLEGAL_INSTRUCTION = 0xC000001D;
constexpr DWORD EXCEPTION_ARRAY_BOUNDS_EXCEEDED = 0xC000008C;
constexpr DWORD EXCEPTION_FLT_DIVIDE_BY_ZERO = 0xC000008E;
constexpr DWORD EXCEPTION_FLT_INEXACT_RESULT = 0xC000008F;
constexpr DWORD EXCEPTION_FLT_INVALID_OPERATION = 0xC0000090;
constexpr DWORD EXCEPTION_FLT_OVERFLOW = 0xC0000091;
constexpr DWORD EXCEPTION_FLT_UNDERFLOW = 0xC0000093;
constexpr DWORD EXCEPTION_INT_DIVIDE_BY_ZERO = 0xC0000094;
constexpr DWORD EXCEPTION_INT_OVERFLOW = 0xC0000095;
constexpr DWORD EXCEPTION_STACK_OVERFLOW = 0xC00000FD;
// abort(): the code a process that aborts ends with on the system this layer stands in for (its
// fail-fast exception).
constexpr DWORD EXCEPTION_ABORT = 0xC0000409;

struct EXCEPTION_RECORD {
    DWORD ExceptionCode;
    DWORD ExceptionFlags;
    EXCEPTION_RECORD* ExceptionRecord;
    void* ExceptionAddress;
    DWORD NumberParameters;
    ULONG_PTR ExceptionInformation[15]; // access violation: 0 read, 1 write (0 when unknown); address
};

struct EXCEPTION_POINTERS {
    EXCEPTION_RECORD* ExceptionRecord;
    void* ContextRecord; // the signal's ucontext_t
};

using _se_translator_function = void (*)(unsigned code, EXCEPTION_POINTERS* info);

// Installs translator for the faults of every thread (null stops handling them) and gives the
// calling thread an alternate stack; returns the previous translator.
_se_translator_function _set_se_translator(_se_translator_function translator);

// Gives the calling thread an alternate signal stack, once.
void preparefaultstack();

// Hands abort() of any thread (SIGABRT) to the installed translator too, as EXCEPTION_ABORT at the
// place abort was called from (the first frame outside the system's libraries), until SIGABRT's handling is set otherwise (sigaction). A translator
// that returns lets the abort take its course.
void translateabort();

// Whether address lies in the system's runtime libraries (the C and C++ libraries, the unwinder,
// the loader), where code that a signal interrupts may hold their locks. They are found by the
// first translateabort; false before.
bool insystemlibrary(uintptr_t address);

// The instruction a signal interrupted, from the context a handler of SA_SIGINFO receives; 0 where
// the context does not tell.
uintptr_t interruptedinstruction(const void* context);

// Whether the calling thread is inside the fault handler.
bool infaulthandler();
