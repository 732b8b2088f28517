#include <gmock/gmock.h>

#include "testsupport/temp_folder.h"

// Points every per-user store (registry hives, settings, caches) into the test's own folder
// before any test runs, so that tests never touch the user's files or each other's.
int main(int argc, char** argv)
{
    vkt::test::useTempFolderForStores();
    testing::InitGoogleMock(&argc, argv);
    int result = RUN_ALL_TESTS();
    vkt::test::removeTempFolder();
    return result;
}
