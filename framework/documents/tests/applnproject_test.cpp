#include "framework/documents/applnproject.h"

#include <gtest/gtest.h>

#include <QString>

#include <filesystem>
#include <string>
#include <vector>

#include "core/containers/proplist.h"
#include "platform/win/messagebox.h"
#include "testsupport/temp_folder.h"

namespace {

std::vector<std::string> boxes;

int recordbox(HWND, const char* text, const char*, UINT)
{
    boxes.emplace_back(text);
    return IDOK;
}

// A frame that notes its own deletion, holds something unless told otherwise and restores
// as told.
class FRAME : public UNDOFRAME {
public:
    FRAME(int id, std::vector<int>& deleted, int holds = 1, int restores = 1)
        : id(id)
        , deleted(deleted)
        , holds(holds)
        , restores(restores)
    {
    }
    ~FRAME() override { deleted.push_back(id); }
    int isowner(APPLNMODULE*) override { return 0; }
    int iscommitted() override { return holds; }
    int commit(UNDOMODES) override { return 1; }
    int restore(UNDOMODES) override { return restores; }

    const int id;
    std::vector<int>& deleted;
    const int holds;
    const int restores;
};

class Undo : public testing::Test {
protected:
    void SetUp() override
    {
        boxes.clear();
        previous = setmessageboxhook(recordbox);
    }
    void TearDown() override { setmessageboxhook(previous); }

    // An ordinary edit: its frame added and committed.
    int edit(int id, UNDOMODES mode = UNDO_EDIT)
    {
        project.addundoframe(mode, new FRAME(id, deleted));
        return project.commit(mode);
    }
    int newestframe(UNDOMODES mode) { return static_cast<FRAME*>(project.getundoframe(mode))->id; }

    std::vector<int> deleted; // outlives the project, whose frames note their deletion in it
    APPLNPROJECT project;
    MESSAGEBOXHOOK previous = nullptr;
};

} // namespace

TEST_F(Undo, TheTwentyFirstEditDropsTheOldestFrame)
{
    for (int id = 1; id <= 20; ++id)
        EXPECT_EQ(edit(id), 1);
    EXPECT_TRUE(deleted.empty());
    EXPECT_EQ(edit(21), 1);
    EXPECT_EQ(deleted, std::vector<int> { 1 });
    EXPECT_EQ(newestframe(UNDO_EDIT), 21);

    project.setmaxundolevels(2);
    EXPECT_EQ(edit(22), 1);
    EXPECT_EQ(deleted.size(), 20u) << "every frame beyond the two newest goes";
}

TEST_F(Undo, UndoMovesWorkToTheRedoStackAndANewEditEndsIt)
{
    edit(1);
    edit(2);
    EXPECT_TRUE(project.canundo(UNDO_UNDOING));
    EXPECT_FALSE(project.canundo(UNDO_REDOING));

    // Undoing frame 2: its restore records the state before the undo on the redo stack.
    project.addundoframe(UNDO_UNDOING, new FRAME(3, deleted));
    EXPECT_EQ(project.commit(UNDO_UNDOING), 0) << "only an ordinary edit commits with 1";
    EXPECT_EQ(project.restore(UNDO_UNDOING), 1);
    EXPECT_EQ(deleted, std::vector<int> { 2 });
    EXPECT_TRUE(project.isdirty());
    EXPECT_TRUE(project.canundo(UNDO_REDOING));
    EXPECT_EQ(newestframe(UNDO_UNDOING), 3);

    EXPECT_EQ(edit(4), 1);
    EXPECT_EQ(deleted, (std::vector<int> { 2, 3 }));
    EXPECT_FALSE(project.canundo(UNDO_REDOING));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Undo, RedoRestoresFromTheRedoStackAndDropsAFrameThatRecordedNothing)
{
    project.addundoframe(UNDO_UNDOING, new FRAME(1, deleted));
    project.addundoframe(UNDO_REDOING, new FRAME(2, deleted, 0));
    EXPECT_EQ(project.commit(UNDO_REDOING), 0);
    EXPECT_EQ(deleted, std::vector<int> { 2 });
    EXPECT_FALSE(project.canundo(UNDO_UNDOING)) << "no empty frame stays on the undo stack";

    EXPECT_EQ(project.restore(UNDO_REDOING), 1);
    EXPECT_EQ(deleted, (std::vector<int> { 2, 1 }));
    EXPECT_FALSE(project.canundo(UNDO_REDOING));
}

TEST_F(Undo, AnEmptyStackReportsErrorE00CAndChangesNothing)
{
    EXPECT_EQ(project.restore(UNDO_UNDOING), 0);
    EXPECT_EQ(project.restore(UNDO_REDOING), 0);
    EXPECT_EQ(boxes, (std::vector<std::string> { "Error E00C", "Error E00C" }));
    EXPECT_FALSE(project.isdirty());
    EXPECT_EQ(project.commit(UNDO_EDIT), 0);
}

TEST_F(Undo, AFrameThatFailsToRestoreStays)
{
    project.addundoframe(UNDO_EDIT, new FRAME(1, deleted, 1, 0));
    project.commit(UNDO_EDIT);
    EXPECT_EQ(project.restore(UNDO_UNDOING), 0);
    EXPECT_TRUE(deleted.empty());
    EXPECT_TRUE(project.canundo(UNDO_UNDOING));
    EXPECT_FALSE(project.isdirty());
}

TEST_F(Undo, ALockedProjectCommitsNothingAndResetEmptiesBothStacks)
{
    project.locked = 1;
    EXPECT_EQ(edit(1), 0);
    project.locked = 0;
    project.addundoframe(UNDO_UNDOING, new FRAME(2, deleted));
    project.resetundostacks();
    EXPECT_EQ(deleted, (std::vector<int> { 1, 2 }));
    EXPECT_FALSE(project.canundo(UNDO_UNDOING));
    EXPECT_FALSE(project.canundo(UNDO_REDOING));
}

TEST(ApplnProject, BackupFolderIsMadeFromTwoLevelsOn)
{
    APPLNPROJECT project;
    EXPECT_EQ(project.getbackuplevels(), 10);
    EXPECT_EQ(project.getmaxundolevels(), 20);
    const std::filesystem::path folder = vkt::test::makeTempSubfolder("backups") / "Project Backups";
    project.setbackupfolder(folder.c_str());
    project.setbackuplevels(1);
    EXPECT_EQ(project.getbackupfolder(), nullptr);
    EXPECT_FALSE(std::filesystem::exists(folder));
    project.setbackuplevels(2);
    EXPECT_STREQ(project.getbackupfolder(), folder.c_str());
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

namespace {

// A project keeping its properties as texts, as the program's project does.
class TEXTPROJECT : public APPLNPROJECT {
public:
    const char* getproperty(const char* name) override { return properties[name]; }
    void setproperty(const char* name, const char* text) override { properties.add(name, text); }
    using APPLNPROJECT::getproperty;
    using APPLNPROJECT::setproperty;

    PROPLIST properties { 0, 1 };
};

} // namespace

TEST(ApplnProject, PropertiesCrossTheQtBoundaryAsUtf8)
{
    TEXTPROJECT project;
    project.setproperty("TITLE", QString::fromUtf8("Verstärker µ"));
    EXPECT_STREQ(project.properties["TITLE"], "Verstärker µ");
    QString value;
    EXPECT_EQ(project.getproperty("TITLE", value), 1);
    EXPECT_EQ(value, QString::fromUtf8("Verstärker µ"));

    project.setproperty("TITLE", QString(""));
    EXPECT_EQ(project.properties["TITLE"], nullptr);
    EXPECT_EQ(project.getproperty("TITLE", value), 0);
    EXPECT_TRUE(value.isEmpty());

    APPLNPROJECT plain;
    EXPECT_EQ(plain.getscript("startup", value), 0);
}
