#pragma once

#include <filesystem>

namespace vkt::test {

// The temporary folder of the running test process; created before the first test and removed
// after the last. Every test writes only below it.
const std::filesystem::path& tempFolder();

// A fresh, empty subfolder of tempFolder() named after `name`.
std::filesystem::path makeTempSubfolder(const char* name);

// Points every per-user store (registry hives, settings, caches, home) below tempFolder(); the
// test mains call it before any test runs.
void useTempFolderForStores();

// Removes tempFolder() unless VKT_KEEP_TEST_FILES is set; the test main calls it at the end.
void removeTempFolder();

}  // namespace vkt::test
