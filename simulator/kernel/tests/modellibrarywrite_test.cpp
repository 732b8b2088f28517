#include "simulator/kernel/modellibrary.h"

#include "platform/win/pathboundary.h"
#include "simulator/kernel/modellibrarybytes.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <filesystem>

namespace {

// The stamp field of the first directory record of a library without prefixes.
constexpr long firststamp = DLIB_HEADERSIZE + 68;

TEST(ModelLibraryWrite, StampPastTheLargestWrapsInsteadOfOverflowing)
{
    const std::filesystem::path file = vkt::test::makeTempSubfolder("stamps") / "S.SML";
    const std::string path = towindowspath(file.string());
    ASSERT_EQ(DLIB::create(path.c_str(), SPICELIBRARYSIGNATURE, 0), 1);
    {
        DLIB library(0, nullptr);
        ASSERT_EQ(library.open(path.c_str(), SPICELIBRARYSIGNATURE, 0), 1);
        ASSERT_EQ(library.putmember("OLD", "x", 1), 1);
    }
    FILE* stream = std::fopen(file.c_str(), "r+b");
    ASSERT_NE(stream, nullptr);
    uint8_t largest[4];
    putle32(largest, INT32_MAX);
    std::fseek(stream, firststamp, SEEK_SET);
    std::fwrite(largest, 1, 4, stream);
    std::fclose(stream);

    DLIB library(0, nullptr);
    ASSERT_EQ(library.open(path.c_str(), SPICELIBRARYSIGNATURE, 0), 1);
    ASSERT_EQ(library.find("OLD")->stamp, INT32_MAX);
    ASSERT_EQ(library.putmember("NEW", "y", 1), 1);
    library.close();
    DLIB again(0, nullptr);
    ASSERT_EQ(again.open(path.c_str(), SPICELIBRARYSIGNATURE, 0), 1);
    EXPECT_EQ(again.find("OLD")->stamp, INT32_MAX);
    EXPECT_EQ(again.find("NEW")->stamp, INT32_MIN);
}

} // namespace
