#include "framework/editor/applneditor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/appln/tests/testprocess.h"
#include "framework/context/windowmessages.h"
#include "framework/documents/applndocument.h"
#include "framework/documents/applnproject.h"

namespace {

class TESTPROJECT : public APPLNPROJECT {
public:
    void setreadonly(int flag) { readonly = flag; }
};

struct TESTSTATE {
    TESTPROJECT testproject;
    APPLNDOCUMENT testdocument;
    APPLNEDITSTATUS teststatus;
};

// An editor without a window that records what the base asks of it.
class TESTEDITOR : private TESTSTATE, public APPLNEDITOR {
public:
    TESTEDITOR(APPLNPROCESS* process, const EDITCOMMAND* table)
        : APPLNEDITOR(process, testdocument, teststatus, table)
    {
        testdocument.setproject(&testproject);
    }
    TESTPROJECT& getproject() { return testproject; }

    std::vector<std::string> ran; // handlers, by name
    std::vector<int> frames; // undoframectl's modes
    std::vector<int> errors;
    int precommands = 0;
    int postcommands = 0;
    int refreshes = 0;
    unsigned short commandinside = 0; // the current command just after a nested one returned

    void openlibraries() override { }
    void closelibraries() override { }
    void refreshlibrary(int kind) override { }
    void drawcontent(BOX area, int full, APPLNVIEWDVC* device, int mode) override { }
    void undoframectl(int mode) override { frames.push_back(mode); }
    void oncmderror(CMDERRORS code) override { errors.push_back(code); }
    void editor_precommand() override { ++precommands; }
    void editor_postcommand() override { ++postcommands; }
    int editor_refresh() override { return ++refreshes; }

    int first() { return note("first"); }
    int second() { return note("second"); }
    int failing()
    {
        note("failing");
        return 0;
    }
    int marking()
    {
        geteditstatus().changenew = BOX(0, 0, 10, 10);
        return note("marking");
    }
    int modifying()
    {
        geteditstatus().modified = 1;
        return note("modifying");
    }
    int nesting()
    {
        note("nesting");
        docommand(0x805); // marking, nested
        commandinside = geteditstatus().command;
        return 1;
    }

private:
    int note(const char* name)
    {
        ran.push_back(name);
        return 1;
    }
};

const EDITCOMMAND table[] = {
    { 0x801, edithandler(&TESTEDITOR::first), 0 },
    { 0x802, nullptr, EDITCMDF_UNDO | EDITCMDF_WRITES },
    { 0x803, edithandler(&TESTEDITOR::failing), EDITCMDF_UNDO | 2 },
    { 0x804, edithandler(&TESTEDITOR::nesting), EDITCMDF_UNDO | 1 },
    { 0x805, edithandler(&TESTEDITOR::marking), EDITCMDF_UNDO },
    { 0x806, edithandler(&TESTEDITOR::modifying), 0 },
    { 0x807, edithandler(&TESTEDITOR::first), EDITCMDF_WRITES },
    { 0x808, edithandler(&TESTEDITOR::first), EDITCMDF_UNDO | EDITCMDF_WRITES | 2 },
    { 0x121, edithandler(&TESTEDITOR::first), 0 },
    { 0x801, edithandler(&TESTEDITOR::second), 0 }, // the later row wins
    { 0, nullptr, 0 },
};

struct EditorTest : testing::Test {
    appltest::TESTPROCESS process;
    TESTEDITOR editor { &process, table };
};

} // namespace

TEST_F(EditorTest, TheLastRowOfAnIdWinsWhateverItsArgument)
{
    EXPECT_EQ(editor.docommand(0x801), 1);
    EXPECT_EQ(editor.docommand(0x3801), 1) << "bits 12-15 carry an argument";
    EXPECT_EQ(editor.ran, (std::vector<std::string> { "second", "second" }));
    EXPECT_EQ(editor.docommand(0x899), 0) << "no row: the caller tries elsewhere";
    EXPECT_EQ(editor.docommand(0), 0);
    EXPECT_EQ(editor.geteditstatus().command, 0) << "between commands";
}

TEST_F(EditorTest, ANullHandlerAnswersOneWithoutAnyCheckOrFrame)
{
    editor.getproject().setreadonly(1);
    editor.getdocument().updatelock(1);
    EXPECT_EQ(editor.docommand(0x802), 1);
    EXPECT_TRUE(editor.errors.empty());
    EXPECT_TRUE(editor.frames.empty());
}

TEST_F(EditorTest, ReadOnlyIsRefusedBeforeLockedAndEachOnlyForItsFlag)
{
    struct Case {
        int readonly, locked;
        unsigned short id;
        std::vector<int> errors;
        bool runs;
    };
    const Case cases[] = {
        { 1, 1, 0x808, { CMDERR_READONLY }, false }, // both flags: read-only first
        { 0, 1, 0x808, { CMDERR_LOCKED }, false },
        { 1, 0, 0x805, {}, true }, // read-only refuses only rows that write
        { 0, 1, 0x807, {}, true }, // locked refuses only rows in an undo frame
        { 1, 0, 0x807, { CMDERR_READONLY }, false },
        { 0, 0, 0x808, {}, true },
    };
    for (const Case& c : cases) {
        TESTEDITOR fresh(&process, table);
        fresh.getproject().setreadonly(c.readonly);
        if (c.locked)
            fresh.getdocument().updatelock(1);
        EXPECT_EQ(fresh.docommand(c.id), 1) << "a refused command counts as handled";
        EXPECT_EQ(fresh.errors, c.errors) << std::hex << c.id;
        EXPECT_EQ(!fresh.ran.empty(), c.runs) << std::hex << c.id;
        EXPECT_EQ(fresh.frames.empty(), !c.runs) << "no frame for a refused command";
    }
}

TEST_F(EditorTest, UndoFramesOpenWithTheRowsModeAndCloseAfterEveryCommand)
{
    struct Case {
        unsigned short id;
        std::vector<int> frames;
    };
    const Case cases[] = {
        { 0x808, { 2, 3 } }, // opened in mode 2, closed as succeeded
        { 0x803, { 2, 4 } }, // the handler failed
        { 0x805, { 0, 3 } },
        { 0x801, { 3 } }, // no frame asked for, closed all the same
    };
    for (const Case& c : cases) {
        TESTEDITOR fresh(&process, table);
        fresh.docommand(c.id);
        EXPECT_EQ(fresh.frames, c.frames) << std::hex << c.id;
    }
}

TEST_F(EditorTest, ANestedCommandRunsAloneAndTheOuterOneRefreshesWhatItMarked)
{
    EXPECT_EQ(editor.docommand(0x804), 1);
    EXPECT_EQ(editor.ran, (std::vector<std::string> { "nesting", "marking" }));
    EXPECT_EQ(editor.frames, (std::vector<int> { 1, 3 })) << "only the outer command's frame";
    EXPECT_EQ(editor.precommands, 1);
    EXPECT_EQ(editor.postcommands, 1);
    EXPECT_EQ(editor.refreshes, 1) << "the nested command's change box is refreshed once, at the end";
    EXPECT_EQ(editor.commandinside, 0x805) << "the nested command's id stays until the outer one ends";
    EXPECT_EQ(editor.geteditstatus().command, 0);
    EXPECT_EQ(editor.geteditstatus().nesting, 0);
}

TEST_F(EditorTest, ARefreshOnlyWhenAChangeBoxIsSet)
{
    editor.docommand(0x801);
    EXPECT_EQ(editor.refreshes, 0) << "both change boxes void";
    editor.docommand(0x805);
    EXPECT_EQ(editor.refreshes, 1);
    editor.docommand(0x801);
    EXPECT_EQ(editor.refreshes, 1) << "the boxes are void again at each command's start";
    BOX changed(5, 5, 20, 20);
    editor.msghlr(nullptr, WM_AREACHANGED, 0, reinterpret_cast<LPARAM>(&changed));
    EXPECT_EQ(editor.refreshes, 2) << "an area changed between commands";
    EXPECT_EQ(editor.geteditstatus().changenew, changed);
}

TEST_F(EditorTest, ACommandThatChangedTheDocumentMarksItDirty)
{
    editor.docommand(0x801);
    EXPECT_FALSE(editor.getdocument().isdirty());
    editor.docommand(0x806);
    EXPECT_TRUE(editor.getdocument().isdirty());
    EXPECT_TRUE(editor.getproject().isdirty());
}

TEST_F(EditorTest, ToolboxCommandsWithoutASelectorHandlerGoToTheTable)
{
    EXPECT_EQ(editor.docommand(0x121), 1);
    EXPECT_EQ(editor.ran, (std::vector<std::string> { "first" }));
}
