#pragma once

// The output-file interface of the devices: every file a device writes goes to a temporary beside
// its target and takes the target's place only when the device closes its output without a fault,
// so that a full disk, a refused folder or an abort leaves no partial file (and an older file of
// the name stays whole). The first fault sticks as the output's error code and is reported once
// to the process's error handler, in words a user can act on.
// Callers: the devices (casq); the drawing operations of the editors, which install the handler
// and read the code (framework, TAVI).

#include <cstddef>
#include <cstdio>
#include <string>

// Error codes of an output.
constexpr int FDI_OK = 0;
constexpr int FDI_CANNOTCREATE = 301; // the file could not be made (folder missing or refused)
constexpr int FDI_DISKFULL = 302;
constexpr int FDI_WRITEFAILED = 303; // any other fault while writing
constexpr int FDI_UNSUPPORTED = 304; // the device cannot write this kind of output
constexpr int FDI_ABORTED = 305;

// Shows a fault's text to the user; its answer is not used. Null: faults are only recorded.
using FDIERRORHANDLER = int (*)(char* text);
// Installs the handler for the process; answers the one it replaces.
FDIERRORHANDLER fdi_seterrorhandler(FDIERRORHANDLER handler);

namespace casq {

// The code of a failed system call's errno: FDI_DISKFULL for a full disk or quota, else
// FDI_WRITEFAILED.
int fdi_errorcode(int error);

class OUTPUTFILE {
public:
    OUTPUTFILE() = default;
    explicit OUTPUTFILE(std::string target);
    OUTPUTFILE(const OUTPUTFILE&) = delete;
    OUTPUTFILE& operator=(const OUTPUTFILE&) = delete;
    // An output never committed leaves no file.
    ~OUTPUTFILE();

    void settarget(std::string path) { target = std::move(path); }
    const std::string& gettarget() const { return target; }
    bool hastarget() const { return !target.empty(); }

    // Opens the temporary (again a no-op once open); false, with the error set, when it cannot.
    bool open();
    bool isopen() const { return stream != nullptr; }
    // Writes through the temporary, opening it first; false once any fault happened.
    bool write(const void* data, size_t size);
    bool write(const std::string& text) { return write(text.data(), text.size()); }
    // Puts the temporary in the target's place; false (the target untouched) after a fault.
    bool commit();
    // Drops the temporary; the error stays.
    void discard();
    // The user stopped the output: nothing will be written; the error becomes FDI_ABORTED.
    void abort();
    // Records a fault of the writer itself (an unsupported output, a toolkit that failed).
    void fail(int code, const std::string& why);

    int geterror() const { return error; }

private:
    void report(int code, const char* what, int systemerror);

    std::string target;
    std::string temporary;
    std::FILE* stream = nullptr;
    int error = FDI_OK;
};

// The file of page n (from 1) of an output that keeps one page to a file: the target itself for
// page 1, else "<name>-<n><.extension>".
std::string pagefilename(const std::string& target, int page);

} // namespace casq
