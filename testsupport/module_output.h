#pragma once

#include "core/files/pathopen.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace vkt::test {

// Collects what the module writes on its own standard output and standard error (the streams of
// core/files/pathopen.h) while it lives; afterwards they write to the process's again. Header
// only: a test using it links the core.
class MODULEOUTPUT {
public:
    MODULEOUTPUT()
        : files { tmpfile(), tmpfile() }
    {
        attachstdout(dup(fileno(files[0])));
        attachstderr(dup(fileno(files[1])));
    }
    MODULEOUTPUT(const MODULEOUTPUT&) = delete;
    MODULEOUTPUT& operator=(const MODULEOUTPUT&) = delete;
    ~MODULEOUTPUT()
    {
        attachstdout(dup(STDOUT_FILENO));
        attachstderr(dup(STDERR_FILENO));
        fclose(files[0]);
        fclose(files[1]);
    }
    std::string out() const { return contents(files[0]); }
    std::string err() const { return contents(files[1]); }

private:
    static std::string contents(FILE* file)
    {
        struct stat status { };
        fstat(fileno(file), &status);
        std::string text(static_cast<size_t>(status.st_size), '\0');
        ssize_t got = pread(fileno(file), text.data(), text.size(), 0);
        text.resize(got > 0 ? static_cast<size_t>(got) : 0);
        return text;
    }
    FILE* files[2];
};

} // namespace vkt::test
