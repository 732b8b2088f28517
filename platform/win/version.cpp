#include "platform/win/version.h"

#include <elf.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win/files.h"
#include "platform/win/winerror.h"

namespace {

// Reads size bytes at offset; false when the file is shorter.
bool readat(FILE* file, uint64_t offset, void* to, size_t size)
{
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0 && fread(to, 1, size, file) == size;
}

// The contents of the named section of a 64-bit little-endian ELF file; empty when absent.
std::vector<BYTE> elfsection(const char* path, const char* wanted)
{
    FILE* file = fopenpath(path, "rb");
    if (!file)
        return {};
    std::vector<BYTE> contents;
    Elf64_Ehdr header;
    bool ok = readat(file, 0, &header, sizeof header) && memcmp(header.e_ident, ELFMAG, SELFMAG) == 0
        && header.e_ident[EI_CLASS] == ELFCLASS64 && header.e_ident[EI_DATA] == ELFDATA2LSB
        && header.e_shentsize == sizeof(Elf64_Shdr) && header.e_shstrndx < header.e_shnum;
    std::vector<Elf64_Shdr> sections(ok ? header.e_shnum : 0);
    ok = ok && readat(file, header.e_shoff, sections.data(), sections.size() * sizeof(Elf64_Shdr));
    std::vector<char> names;
    if (ok) {
        const Elf64_Shdr& table = sections[header.e_shstrndx];
        ok = table.sh_size < (1u << 24);
        names.resize(ok ? table.sh_size + 1 : 0);
        ok = ok && readat(file, table.sh_offset, names.data(), table.sh_size);
    }
    for (size_t i = 0; ok && i < sections.size(); ++i) {
        const Elf64_Shdr& section = sections[i];
        if (section.sh_name >= names.size() - 1 || strcmp(names.data() + section.sh_name, wanted) != 0)
            continue;
        if (section.sh_type == SHT_NOBITS || section.sh_size > (1u << 20))
            break;
        contents.resize(section.sh_size);
        if (!readat(file, section.sh_offset, contents.data(), contents.size()))
            contents.clear();
        break;
    }
    fclose(file);
    return contents;
}

bool holdsfixedinfo(const std::vector<BYTE>& block)
{
    DWORD signature = 0;
    if (block.size() >= sizeof(VS_FIXEDFILEINFO))
        memcpy(&signature, block.data(), sizeof signature);
    return signature == VS_FFI_SIGNATURE;
}

} // namespace

DWORD GetFileVersionInfoSizeA(const char* path, DWORD* handle)
{
    if (handle)
        *handle = 0;
    std::vector<BYTE> block = elfsection(path, versionSectionName);
    if (!holdsfixedinfo(block)) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return 0;
    }
    return static_cast<DWORD>(block.size());
}

BOOL GetFileVersionInfoA(const char* path, DWORD, DWORD size, void* data)
{
    std::vector<BYTE> block = elfsection(path, versionSectionName);
    if (!holdsfixedinfo(block) || !data) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return FALSE;
    }
    memcpy(data, block.data(), std::min<size_t>(size, block.size()));
    return TRUE;
}

BOOL VerQueryValueA(const void* block, const char* subblock, void** buffer, UINT* length)
{
    if (!block || !subblock || !buffer || strcmp(subblock, "\\") != 0)
        return FALSE;
    DWORD signature = 0;
    memcpy(&signature, block, sizeof signature);
    if (signature != VS_FFI_SIGNATURE)
        return FALSE;
    *buffer = const_cast<void*>(block);
    if (length)
        *length = sizeof(VS_FIXEDFILEINFO);
    return TRUE;
}
