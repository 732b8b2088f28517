#pragma once

#include <csetjmp>
#include <exception>
#include <new>

// The guard every export puts around its work (and the netlist load around its own). A fatal
// message (the text throwfatal throws), running out of memory, any other exception, or a hardware
// fault (turned into a jump back here by the fault translator, after the crash report is written)
// ends the guarded work: the guard logs the crash record's text with class 'X' unless its code is 1
// (a fatal message logged already) and sets the run status to 3.
//
// A fault leaves the frames between it and the guard without running their destructors, as the
// structured exceptions this stands in for did; the caller releases what it can afterwards.
// A run that makes no progress for `stallseconds` (stallwatch.h) is ended by its guard in the
// same way, with a message that says where it was stuck; abort() is taken as a fault.
//
// Fault signals are taken over only while a guard is active on the calling thread; the host's
// handlers are put back when the outermost guard ends. The crash reports are prepared when the
// library is loaded (a program that links the kernel itself calls initcrashreports first).

struct GUARDFRAME {
    sigjmp_buf jump;
    GUARDFRAME* outer;
};

void enterguard(GUARDFRAME& frame);
void leaveguard(GUARDFRAME& frame);
// Fills the crash record for an exception that is not a fatal text; code LANGUAGEEXCEPTION.
void recordexception(const char* what);
// Fills the crash record for a failed allocation, as the allocation failure handler does.
void recordoutofmemory();
// The guard's handler: logs the record's text unless its code is 1, sets the run status to 3.
void guardfailed();

// Runs body under a guard; true when it ran to its end.
template <class Body>
bool guarded(Body&& body)
{
    GUARDFRAME frame;
    enterguard(frame);
    if (sigsetjmp(frame.jump, 1) != 0) {
        leaveguard(frame);
        guardfailed();
        return false;
    }
    try {
        body();
        leaveguard(frame);
        return true;
    } catch (const char*) {
    } catch (const std::bad_alloc&) {
        recordoutofmemory();
    } catch (const std::exception& error) {
        recordexception(error.what());
    } catch (...) {
        recordexception("unknown exception");
    }
    leaveguard(frame);
    guardfailed();
    return false;
}
