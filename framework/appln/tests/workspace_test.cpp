#include <gtest/gtest.h>

#include <QCoreApplication>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "framework/appln/tests/testprocess.h"
#include "framework/xml/xmldocument.h"
#include "framework/xml/xmlelement.h"
#include "platform/win/input.h"
#include "platform/win/messagebox.h"
#include "platform/win/pathboundary.h"
#include "platform/win/window.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> boxes;

int recordbox(HWND, const char* text, const char*, UINT)
{
    boxes.emplace_back(text);
    return IDOK;
}

// A process whose workspace is one file of the test's.
class WORKSPACEPROCESS : public appltest::TESTPROCESS {
public:
    char* getworkspacename(char* buffer) override
    {
        strnzcpy(buffer, towindowspath(file.string()).c_str(), PATHBUFFER - 1);
        return buffer;
    }
    fs::path file;
};

// Runs body inside a started process whose workspace is file, message boxes recorded.
void withworkspace(const fs::path& file, const std::function<void(WORKSPACEPROCESS&)>& body)
{
    WORKSPACEPROCESS process;
    process.file = file;
    process.start = [&] {
        MESSAGEBOXHOOK previous = setmessageboxhook(recordbox);
        boxes.clear();
        body(process);
        setmessageboxhook(previous);
        return 1;
    };
    process.runall();
}

// Each frame as the names of its windows' modules, the selected one marked.
std::vector<std::string> layout(APPLNPROCESS& process)
{
    QCoreApplication::processEvents();
    std::vector<std::string> frames;
    for (int i = 0; i < process.numframes(); ++i) {
        APPLNFRAME* frame = process.getframe(i);
        std::string windows;
        for (int w = 0; w < frame->numwindows(); ++w) {
            APPLNWINDOW* window = frame->getwindow(w);
            windows += std::string(w ? " " : "") + window->getparentmodule()->getapplnname()
                + (window == frame->getactivewindow() ? "*" : "");
        }
        frames.push_back(windows);
    }
    return frames;
}

RECT normalposition(APPLNFRAME* frame)
{
    WINDOWPLACEMENT placement {};
    placement.length = sizeof placement;
    GetWindowPlacement(frame->hwnd, &placement);
    return placement.rcNormalPosition;
}

TEST(Workspace, TheFramesWithTheirPlacesAndWindowsComeBackAsTheyWereSaved)
{
    const fs::path file = vkt::test::makeTempSubfolder("roundtrip") / "design.vktprj.workspace";
    withworkspace(file, [&](WORKSPACEPROCESS& process) {
        process.loadmodulewindow("alpha", 1, 0);
        process.loadmodulewindow("beta", 1, 0);
        APPLNFRAME* second = process.createnewframe(nullptr);
        ASSERT_NE(second, nullptr);
        auto* keeper = static_cast<APPLNMODULE*>(static_cast<IWINDOWMODULE*>(process.getmoduleinterface("keeper", 0)));
        ASSERT_NE(keeper, nullptr);
        keeper->getprimarywindow(second, 0);
        second->selectwindow(0);
        MoveWindow(second->hwnd, 120, 80, 700, 500, TRUE);
        const std::vector<std::string> saved = layout(process);
        ASSERT_EQ(saved, (std::vector<std::string> { "alpha beta*", "keeper*" }));
        const RECT place = normalposition(second);

        process.saveworkspace();
        ASSERT_TRUE(fs::exists(file));
        // Kept for readers outside the tests: what a workspace file looks like.
        fs::copy_file(file, fs::path(VKT_ARTIFACTS_DIR) / "workspace.xml", fs::copy_options::overwrite_existing);

        process.resetworkspace();
        EXPECT_EQ(layout(process), std::vector<std::string> { "" });
        process.restoreworkspace();
        EXPECT_EQ(layout(process), saved);
        ASSERT_EQ(process.numframes(), 2);
        const RECT restored = normalposition(process.getframe(1));
        EXPECT_EQ(restored.left, place.left);
        EXPECT_EQ(restored.top, place.top);
        EXPECT_EQ(restored.right, place.right);
        EXPECT_EQ(restored.bottom, place.bottom);
        EXPECT_TRUE(boxes.empty()) << boxes.front();
    });

    std::ifstream in(file);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("<WORKSPACE>"), std::string::npos);
    EXPECT_NE(text.find("module=\"keeper\""), std::string::npos);
}

TEST(Workspace, ADamagedOrHostileFileChangesNothingButWhatItCanSafelyGive)
{
    struct CASE {
        const char* text;
        std::vector<std::string> layout;
        bool told;
    };
    const CASE cases[] = {
        { "<WORKSPACE><FRAME><WINDOW module='beta'/>", { "alpha*" }, true }, // cut short
        { "not xml at all", { "alpha*" }, true },
        // Modules the program does not have, or names that would be paths: skipped, and a frame
        // that gets no window is not made.
        { "<WORKSPACE><FRAME><WINDOW module='nosuch'/><WINDOW module='../alpha'/>"
          "<WINDOW module='/tmp/x.so'/><WINDOW module='beta'/></FRAME>"
          "<FRAME><WINDOW module='nosuch'/></FRAME><MODULE name='nosuch'/></WORKSPACE>",
            { "beta*" }, false },
        // No frame in it: the frames stay.
        { "<WORKSPACE><MODULE name='alpha'/></WORKSPACE>", { "alpha*" }, false },
    };
    for (const CASE& c : cases) {
        const fs::path file = vkt::test::makeTempSubfolder("damaged") / "x.workspace";
        std::ofstream(file) << c.text;
        withworkspace(file, [&](WORKSPACEPROCESS& process) {
            process.loadmodulewindow("alpha", 1, 0);
            process.restoreworkspace();
            EXPECT_EQ(layout(process), c.layout) << c.text;
            ASSERT_EQ(boxes.size(), c.told ? 1u : 0u) << c.text;
            if (c.told) {
                EXPECT_EQ(boxes[0].rfind("The workspace file '" + file.string() + "' cannot be read: Error:", 0), 0u)
                    << boxes[0];
            }
        });
    }
}

TEST(Workspace, AHiddenRunReadsNoWorkspace)
{
    const fs::path file = vkt::test::makeTempSubfolder("hidden") / "x.workspace";
    std::ofstream(file) << "<WORKSPACE><FRAME><WINDOW module='beta'/></FRAME></WORKSPACE>";
    withworkspace(file, [&](WORKSPACEPROCESS& process) {
        process.loadmodulewindow("alpha", 0, 0);
        process.abort();
        process.restoreworkspace();
        EXPECT_EQ(layout(process), std::vector<std::string> { "alpha*" }) << "only the first window selected";
    });
}

} // namespace
