#include <gtest/gtest.h>

#include <filesystem>

#include "host/plotdemo/demopage.h"
#include "platform/casq/outputfile.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

TEST(PlotDemo, WritesEveryKind)
{
    fs::path folder = vkt::test::makeTempSubfolder("kinds");
    for (const plotdemo::KIND& kind : plotdemo::kinds()) {
        fs::path file = folder / ("plotdemo." + kind.extension);
        EXPECT_EQ(plotdemo::writekind(kind.extension, file.string()), FDI_OK) << kind.extension;
        EXPECT_GT(fs::file_size(file), 100u) << kind.extension;
    }
}
