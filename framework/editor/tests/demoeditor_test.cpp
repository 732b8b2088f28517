// The editor base in a real window, through the demo editor: its commands run in undo frames of
// the project, redraw what they changed, and its view answers through the editor.

#include <gtest/gtest.h>

#include "framework/tests/demoeditor/demofixture.h"
#include "platform/win/paint.h"

using demotest::runwithdemo;

TEST(DemoEditor, CommandsRunInUndoFramesOfTheProjectAndRedrawWhatTheyChanged)
{
    runwithdemo(10, [](auto&, DEMOEDITOR& demo, APPLNVIEWDVC& device) {
        UpdateWindow(device.gethwnd());
        ASSERT_EQ(device.getrepaintmode(), 0);
        APPLNPROJECT* project = demo.getdocument().getproject();
        EXPECT_EQ(demo.docommand(DEMO_ADDBOX), 1);
        EXPECT_EQ(demo.numboxes(), 1);
        EXPECT_EQ(device.getrepaintmode(), 0) << "the new box is repainted at once";
        EXPECT_TRUE(project->canundo(UNDO_UNDOING));
        EXPECT_TRUE(demo.getdocument().isdirty());

        UpdateWindow(device.gethwnd());
        EXPECT_EQ(demo.docommand(DEMO_SELECTALL), 1);
        EXPECT_EQ(demo.geteditstatus().tags.count(), 1);
        EXPECT_EQ(demo.getctxobj(), &demo.geteditstatus().tags) << "the view asks its editor";
        BOX before = demo.geteditstatus().tags.getarea(AREA_SELECT);
        EXPECT_EQ(demo.docommand(DEMO_MOVERIGHT), 1);
        EXPECT_EQ(demo.geteditstatus().tags.getarea(AREA_SELECT).x1, before.x1 + 254000);

        EXPECT_EQ(demo.docommand(EDITCMD_UNDO), 1);
        EXPECT_EQ(demo.docommand(EDITCMD_UNDO), 1);
        EXPECT_EQ(demo.numboxes(), 0) << "both edits undone";
        EXPECT_FALSE(project->canundo(UNDO_UNDOING));

        demo.geteditstatus().tags.reset();
        EXPECT_EQ(demo.docommand(DEMO_MOVERIGHT), 1) << "a refused move counts as handled";
        EXPECT_FALSE(project->canundo(UNDO_UNDOING)) << "a command that failed leaves no step";
    });
}

TEST(DemoEditor, TheViewCountsModalEditsOnTheEditorAndItsModule)
{
    runwithdemo(10, [](auto&, DEMOEDITOR& demo, APPLNVIEWDVC& device) {
        APPLNVIEWHOST* host = device.gethost();
        host->setmodal(1);
        EXPECT_EQ(demo.geteditstatus().modal, 1);
        EXPECT_EQ(host->ismodal(), 1);
        EXPECT_EQ(demo.APPLNMODULE::ismodal(), 1);
        host->setmodal(0);
        EXPECT_EQ(host->ismodal(), 0);
        EXPECT_EQ(demo.APPLNMODULE::ismodal(), 0);
    });
}
