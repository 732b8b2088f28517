#include <gmock/gmock.h>

#include <cstdlib>

#include "testsupport/temp_folder.h"

// Points every per-user store (registry hives, settings, caches) into the test's own folder
// before any test runs, so that tests never touch the user's files or each other's.
int main(int argc, char** argv)
{
    const auto& folder = vkt::test::tempFolder();
    setenv("VKT_REGISTRY_DIR", (folder / "registry").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (folder / "cache").c_str(), 1);
    setenv("HOME", (folder / "home").c_str(), 1);
    testing::InitGoogleMock(&argc, argv);
    int result = RUN_ALL_TESTS();
    vkt::test::removeTempFolder();
    return result;
}
