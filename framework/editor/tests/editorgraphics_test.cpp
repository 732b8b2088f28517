// The editor's graphics modes through the demo editor: the first run's choice kept as the
// application's default, and a chosen mode applied to the view and kept.

#include <gtest/gtest.h>

#include "core/windows/registry.h"
#include "framework/appln/applnprocess.h"
#include "framework/tests/demoeditor/demofixture.h"

using demotest::runwithdemo;

namespace {

DWORD defaultmode(APPLNPROCESS& process)
{
    MODULESCOPE scope(&process);
    return reg_getdw(nullptr, "Default Graphics Mode", 99);
}

} // namespace

TEST(EditorGraphics, TheFirstRunDoubleBuffersAndEveryChoiceIsKeptAsTheDefault)
{
    runwithdemo(10, [](auto& process, DEMOEDITOR& demo, APPLNVIEWDVC& device) {
        EXPECT_EQ(demo.getsupportedgraphicsmodes(), 3) << "plain drawing and double buffering";
        device.setgdidoublebuffer(0);
        demo.choosegraphicsmode();
        EXPECT_EQ(demo.getcurrentgraphicsmode(), 1);
        EXPECT_EQ(defaultmode(process), 1u);
        demo.setgraphicsmode(0);
        EXPECT_EQ(demo.getcurrentgraphicsmode(), 0);
        EXPECT_EQ(defaultmode(process), 0u);
        demo.setgraphicsmode(1);
        EXPECT_EQ(demo.getcurrentgraphicsmode(), 1);
        EXPECT_EQ(defaultmode(process), 1u);
    });
}
