// Reads arbitrary bytes as a project file through the project archive, quietly, opening every
// entry it lists and unzipping the rest. Nothing may be read outside the bytes or written to disk,
// and a project that loaded whole must save and load back with the same entries. Seeds: the
// folder fuzz/corpus (sound projects) and tests/fixtures (the damaged ones the tests refuse).
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

#include "shell/project/vktarchive.h"

namespace {

// An open file in memory holding the bytes, at its start.
FILE* memoryfile(const uint8_t* data, size_t size)
{
    const int fd = memfd_create("project", MFD_CLOEXEC);
    FILE* file = fd < 0 ? nullptr : fdopen(fd, "w+b");
    if (!file) {
        if (fd >= 0)
            close(fd);
        return nullptr;
    }
    if ((size && fwrite(data, 1, size, file) != size) || fflush(file) != 0 || fseek(file, 0, SEEK_SET) != 0) {
        fclose(file);
        return nullptr;
    }
    return file;
}

class ARCHIVE : public VKTARCHIVE {
public:
    // Every entry with its contents, each opened through the archive.
    std::map<std::string, std::string> entries()
    {
        std::map<std::string, std::string> all;
        for (int i = 0; i < index.count; ++i) {
            const std::string key = index.ptr(i)->key;
            VFILE& file = openfile(key.c_str(), nullptr);
            std::string& contents = all[key];
            for (int c; (c = file.getc()) >= 0;)
                contents += static_cast<char>(c);
            closefile(file, 0);
        }
        return all;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* file = memoryfile(data, size);
    if (!file)
        return 0;
    ARCHIVE archive;
    const int began = archive.beginload(file, 1);
    std::map<std::string, std::string> loaded;
    if (began)
        loaded = archive.entries();
    fclose(file);
    if (!began || !archive.endload() || loaded.empty())
        return 0;

    FILE* saved = memoryfile(nullptr, 0);
    if (!saved)
        return 0;
    if (!archive.beginsave(saved) || !archive.endsave())
        __builtin_trap();
    fseek(saved, 0, SEEK_SET);
    ARCHIVE back;
    if (!back.beginload(saved, 1) || back.entries() != loaded || !back.endload())
        __builtin_trap();
    fclose(saved);
    return 0;
}
