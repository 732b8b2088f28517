#pragma once

// Small zips for the archive tests: written whole by libzip itself, so that names and sizes the
// archives refuse to write can be made, and read back into memory.

#include <zip.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace vkt::test {

using ZIPFILES = std::vector<std::pair<std::string, std::string>>; // name, contents

// Writes files into a new zip at path with libzip, deflated; false when libzip failed.
inline bool writezip(const std::filesystem::path& path, const ZIPFILES& files)
{
    int failure = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &failure);
    if (!archive)
        return false;
    for (const auto& [name, contents] : files) {
        zip_source_t* source = zip_source_buffer(archive, contents.data(), contents.size(), 0);
        if (!source || zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

inline std::string readbytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), {} };
}

inline void writebytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace vkt::test
