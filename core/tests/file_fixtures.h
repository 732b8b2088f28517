#pragma once

#include "core/files/diskfile.h"
#include "core/files/ramfile.h"
#include "testsupport/temp_folder.h"

#include <cstdio>
#include <memory>
#include <string>

namespace vkt::test {

// A scratch disk file opened for update in the test's temporary folder, closed at the end.
struct ScratchDiskFile {
    explicit ScratchDiskFile(const char* name)
        : stream(std::fopen((tempFolder() / name).c_str(), "w+b"))
        , file(stream)
    {
    }
    ~ScratchDiskFile() { std::fclose(stream); }

    FILE* stream;
    DISKFILE file;
};

// Every byte of a file, read from its start; the position is left at the end.
inline std::string allBytes(VFILE& f)
{
    f.seek(0, 0);
    std::string bytes;
    for (int c; (c = f.getc()) != -1;)
        bytes += static_cast<char>(c);
    return bytes;
}

// A memory file holding exactly these bytes, positioned at the start.
inline std::unique_ptr<RAMFILE> ramFileWith(const std::string& bytes)
{
    auto f = std::make_unique<RAMFILE>();
    f->write(bytes.data(), static_cast<int>(bytes.size()));
    f->seek(0, 0);
    return f;
}

} // namespace vkt::test
