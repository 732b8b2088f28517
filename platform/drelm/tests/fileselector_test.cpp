#include <QFileDialog>
#include <QLineEdit>
#include <filesystem>
#include <fstream>

#include "platform/drelm/filefilter.h"
#include "platform/drelm/fileselector.h"
#include "platform/drelm/tests/drelmtest.h"
#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

using namespace drelmtest;

TEST(FileFilter, BothSyntaxesGiveNamesWithTheirPatterns)
{
    using Filters = std::vector<std::pair<std::string, std::vector<std::string>>>;
    const struct {
        const char* text;
        Filters expected;
    } cases[] = {
        { "Project Files|*.vktprj;*.vktpnl|Design Files|*.DSN|All Files|*.*",
            { { "Project Files", { "*.vktprj", "*.vktpnl" } }, { "Design Files", { "*.DSN" } },
                { "All Files", { "*.*" } } } },
        { "Printer Files/*.prn/All Files/*.*",
            { { "Printer Files", { "*.prn" } }, { "All Files", { "*.*" } } } },
        { "Key Maps|*.KMF|", { { "Key Maps", { "*.KMF" } } } },
        { "Data files/*.DAT/All Files/*.*/", { { "Data files", { "*.DAT" } }, { "All Files", { "*.*" } } } },
        { "Pin Files/*.csv; *.txt /", { { "Pin Files", { "*.csv", "*.txt" } } } },
        { "In/Out|*.io", { { "In/Out", { "*.io" } } } },
        { "Nothing|| Blank | ;", {} },
        { "Odd|*.x|Dangling", { { "Odd", { "*.x" } } } },
        { "", {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Filters got;
        for (const FILEFILTER& f : parsefilefilter(c.text))
            got.push_back({ f.name, f.patterns });
        EXPECT_EQ(got, c.expected);
    }
    EXPECT_TRUE(parsefilefilter(nullptr).empty());
}

TEST(FileFilter, TheDefaultExtensionIsComparedWithoutCaseAndWrittenInTheCallersCase)
{
    const struct {
        const char* name;
        const char* defext;
        const char* expected;
    } cases[] = {
        { "/p/proj", "vktprj", "/p/proj.vktprj" },
        { "/p/proj.", "vktprj", "/p/proj.vktprj" },
        { "/p/proj.VKTPRJ", "vktprj", "/p/proj.vktprj" },
        { "/p/map.kmf", "KMF", "/p/map.KMF" },
        { "/p/notes.txt", "KMF", "/p/notes.txt" },
        { "/p.d/map", "KMF", "/p.d/map.KMF" },
        { "/p/map", "", "/p/map" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(withdefaultextension(c.name, c.defext), c.expected) << c.name;
}

TEST(FileSelector, SavingAddsTheDefaultExtensionAndAnswersAWindowsPath)
{
    Started started;
    const std::filesystem::path folder = vkt::test::makeTempSubfolder("selector");
    FILESELECTOR selector("Save Corvane Project File", "Project Files|*.vktprj", "vktprj",
        towindowspath(folder.string()).c_str());
    QString title;
    later([&] {
        auto* dialog = modal<QFileDialog>();
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        EXPECT_EQ(dialog->directory().absolutePath().toStdString(), folder.string());
        EXPECT_EQ(dialog->nameFilters(), QStringList { "Project Files (*.vktprj)" });
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("amplifier.VKTPRJ");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    ASSERT_EQ(selector.save(nullptr), 1);
    EXPECT_EQ(title, "Save Corvane Project File");
    EXPECT_EQ(selector.count(), 1);
    EXPECT_EQ(std::string(selector.getpath()), towindowspath((folder / "amplifier.vktprj").string()));
    EXPECT_STREQ(selector.getpath(1), "");
}

TEST(FileSelector, OpeningChoosesSeveralFilesAndCancellingKeepsThePaths)
{
    Started started;
    const std::filesystem::path folder = vkt::test::makeTempSubfolder("several");
    std::ofstream(folder / "a.DSN") << "a";
    std::ofstream(folder / "b.dsn") << "b";
    std::ofstream(folder / "c.txt") << "c";
    FILESELECTOR selector(
        "Open", "Design Files/*.dsn/All Files/*.*", nullptr, towindowspath(folder.string()).c_str());
    selector.setmultiselect(1);
    later([&] {
        auto* dialog = modal<QFileDialog>();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("\"a.DSN\" \"b.dsn\"");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    ASSERT_EQ(selector.open(nullptr), 1);
    ASSERT_EQ(selector.count(), 2);
    EXPECT_EQ(std::string(selector.getpath(0)), towindowspath((folder / "a.DSN").string()));
    EXPECT_EQ(std::string(selector.getpath(1)), towindowspath((folder / "b.dsn").string()));
    EXPECT_EQ(selector.getfilterindex(), 0);

    later([] { QMetaObject::invokeMethod(modal<QFileDialog>(), "reject"); });
    EXPECT_EQ(selector.folder(nullptr), 0);
    EXPECT_EQ(selector.count(), 2) << "a cancelled choice changes nothing";
}
