#include "platform/casq/outputfile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/win/replacefile.h"

namespace {

std::atomic<FDIERRORHANDLER> errorhandler { nullptr };

} // namespace

FDIERRORHANDLER fdi_seterrorhandler(FDIERRORHANDLER handler)
{
    return errorhandler.exchange(handler);
}

namespace casq {

int fdi_errorcode(int error)
{
    return error == ENOSPC || error == EDQUOT ? FDI_DISKFULL : FDI_WRITEFAILED;
}

OUTPUTFILE::OUTPUTFILE(std::string path)
    : target(std::move(path))
{
}

OUTPUTFILE::~OUTPUTFILE()
{
    discard();
}

bool OUTPUTFILE::open()
{
    if (stream) {
        return true;
    }
    if (error != FDI_OK) {
        return false;
    }
    if (target.empty()) {
        report(FDI_CANNOTCREATE, "No file was named for the output.", 0);
        return false;
    }
    stream = openbeside(target, temporary);
    if (!stream) {
        report(FDI_CANNOTCREATE, "Cannot create the file '%s':\n%s", errno);
        return false;
    }
    return true;
}

bool OUTPUTFILE::write(const void* data, size_t size)
{
    if (!open()) {
        return false;
    }
    if (size && std::fwrite(data, 1, size, stream) != size) {
        int fault = errno;
        discard();
        report(fdi_errorcode(fault), "Cannot write the file '%s':\n%s", fault);
        return false;
    }
    return true;
}

bool OUTPUTFILE::commit()
{
    if (!open()) {
        return false;
    }
    std::FILE* closing = stream;
    stream = nullptr;
    if (!replacetarget(closing, temporary, target)) {
        int fault = errno;
        report(fdi_errorcode(fault), "Cannot write the file '%s':\n%s", fault);
        return false;
    }
    return true;
}

void OUTPUTFILE::discard()
{
    if (stream) {
        discardbeside(stream, temporary);
        stream = nullptr;
    }
}

void OUTPUTFILE::abort()
{
    discard();
    if (error == FDI_OK) {
        error = FDI_ABORTED;
    }
}

void OUTPUTFILE::fail(int code, const std::string& why)
{
    discard();
    if (error == FDI_OK) {
        error = code;
        std::vector<char> text(why.begin(), why.end());
        text.push_back('\0');
        if (auto handler = errorhandler.load()) {
            handler(text.data());
        }
    }
}

void OUTPUTFILE::report(int code, const char* what, int systemerror)
{
    const char* reason = code == FDI_DISKFULL ? "The disk is full." : std::strerror(systemerror);
    std::vector<char> text(target.size() + std::strlen(what) + std::strlen(reason) + 1);
    std::snprintf(text.data(), text.size(), what, target.c_str(), reason);
    fail(code, text.data());
}

std::string pagefilename(const std::string& target, int page)
{
    if (page <= 1) {
        return target;
    }
    size_t slash = target.find_last_of('/');
    size_t dot = target.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        dot = target.size();
    }
    return target.substr(0, dot) + "-" + std::to_string(page) + target.substr(dot);
}

} // namespace casq
