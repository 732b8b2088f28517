#include <gmock/gmock.h>

#include <QApplication>
#include <cstdlib>

#include "testsupport/temp_folder.h"

// Leaks that the sanitizer build finds in the system's libraries, not ours: the message bus
// library keeps a buffer for the process's life once Qt has talked to it.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so\n";
}

// The test main of suites that need a QApplication: the stores point into the test's own folder
// as in the plain main, and without a display platform named the tests run offscreen.
int main(int argc, char** argv)
{
    vkt::test::useTempFolderForStores();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    int result = RUN_ALL_TESTS();
    vkt::test::removeTempFolder();
    return result;
}
