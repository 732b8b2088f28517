#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <QColor>
#include <QComboBox>
#include <QImage>

#include "framework/appln/applnmenu.h"
#include "framework/bars/combobar.h"
#include "framework/appln/tests/testprocess.h"
#include "framework/documents/applndocument.h"
#include "platform/drelm/combobox.h"
#include "platform/hulvane/cdbcore.h"
#include "platform/ombrel/stringlist.h"
#include "platform/win/messagebox.h"
#include "platform/win/pathboundary.h"
#include "shell/project/vktproject.h"
#include "shell/tests/modules/recordingtavi.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> boxes;
int answer = IDOK;

int recordbox(HWND, const char* text, const char*, UINT)
{
    boxes.emplace_back(text);
    return answer;
}

std::string windows(const fs::path& path)
{
    return towindowspath(path.string());
}

// A process whose Save Project command saves the project under its own name.
class PROJECTPROCESS : public appltest::TESTPROCESS {
public:
    int docommand(unsigned short id) override
    {
        if (id == 516 && project)
            project->save(project->pathname());
        return 1;
    }
    VKTPROJECT* project = nullptr;
};

// Runs body inside a started process with a fresh untitled project, message boxes recorded.
void withproject(const std::function<void(VKTPROJECT&, PROJECTPROCESS&)>& body)
{
    PROJECTPROCESS process;
    process.start = [&] {
        VKTPROJECT project;
        project.bind(&process, IID_VKTPROJECT);
        process.project = &project;
        MESSAGEBOXHOOK previous = setmessageboxhook(recordbox);
        boxes.clear();
        answer = IDOK;
        project.init();
        body(project, process);
        setmessageboxhook(previous);
        process.project = nullptr;
        return 1;
    };
    process.runall();
}

RECORDINGSERVER& tavi(VKTPROJECT& project)
{
    return *static_cast<RECORDINGSERVER*>(getmoduleinterface("TAVI", IID_DOCSERVER));
}

// A project file whose PROJECT.XML is the text given, with a design entry.
void writeproject(const fs::path& path, const std::string& description)
{
    VKTARCHIVE archive;
    ASSERT_TRUE(archive.beginsave(windows(path).c_str()));
    for (auto [entry, text] :
        { std::pair { "PROJECT.XML", description }, std::pair { "ROOT.DSN", std::string("U1") } }) {
        VFILE& file = archive.openfile(entry, nullptr);
        file.write(text.data(), static_cast<int>(text.size()));
        ASSERT_TRUE(archive.closefile(file, 0));
    }
    ASSERT_TRUE(archive.endsave());
}

XML::ELEMENT timestampof(VKTARCHIVE& archive, XML::DOCUMENT& description)
{
    EXPECT_TRUE(description.load(archive, "PROJECT.XML", nullptr));
    return XML::ELEMENT(description.documentElement()).getchild("TIMESTAMP", 0);
}

TEST(Project, SavedAsOneFileAndLoadedBackWithItsDesignScriptsPropertiesAndVariants)
{
    fs::path file = vkt::test::makeTempSubfolder("roundtrip") / "amp.vktprj";
    withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
        EXPECT_TRUE(project.isuntitled());
        EXPECT_NE(project.opendesign(1), nullptr);
        tavi(project).document.text = "R1 10k";
        project.setscript("STARTUP", "print 'hello'");
        project.setproperty("AUTHOR", QString::fromUtf8("Zoë"));
        project.setvariants({ "Lite", "Full" });
        project.selectvariant('B');
        ASSERT_EQ(project.save(windows(file.parent_path() / "amp").c_str()), 1);
        EXPECT_EQ(project.pathname(), windows(file));
        EXPECT_FALSE(project.isdirty());
        EXPECT_FALSE(project.isuntitled());

        VKTARCHIVE written;
        ASSERT_TRUE(written.beginload(windows(file).c_str(), 0));
        for (const char* entry : { "PROJECT.XML", "ROOT.CDB", "ROOT.DSN", "SCRIPTS/STARTUP" })
            EXPECT_TRUE(written.exists(entry, nullptr)) << entry;
        XML::DOCUMENT description("ROOT");
        XML::ELEMENT timestamp = timestampof(written, description);
        EXPECT_EQ(timestamp.getinteger("FILEVER", 0), 830);
        EXPECT_EQ(timestamp.getinteger("RELEASE", 0), 812);
        EXPECT_GT(timestamp.getinteger("CREATED", 0), 0);
        written.endload();

        project.init();
        tavi(project).calls.clear();
        EXPECT_EQ(project.getscript("STARTUP"), nullptr);
        ASSERT_EQ(project.load(windows(file).c_str()), 1);
        EXPECT_EQ(tavi(project).calls, std::vector<std::string> { "load ROOT.DSN" });
        EXPECT_EQ(tavi(project).document.text, "R1 10k");
        EXPECT_EQ(tavi(project).document.getproject(), &project);
        EXPECT_STREQ(project.getscript("STARTUP"), "print 'hello'");
        QString author;
        EXPECT_EQ(project.getproperty("AUTHOR", author), 1);
        EXPECT_EQ(author, QString::fromUtf8("Zoë"));
        EXPECT_EQ(project.currentvariant(), 'B');
        EXPECT_EQ(project.getcdb()->getvariant(), 'B');
        EXPECT_EQ(project.pathname(), windows(file));
        EXPECT_FALSE(project.isdirty());
        EXPECT_TRUE(boxes.empty()) << boxes.front();
    });
}

TEST(Project, ThePathStaysTheOneTheUserChoseThroughASaveAndALoad)
{
    fs::path folder = vkt::test::makeTempSubfolder("names");
    for (const char* name : { "amp2.zip", "amp.vktpnl", "amp v1.2", "AMP.VKTPRJ" }) {
        const std::string chosen = windows(folder / name);
        withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
            project.opendesign(1);
            tavi(project).document.text = name;
            ASSERT_EQ(project.save(chosen.c_str()), 1) << name;
            EXPECT_EQ(project.pathname(), chosen);
            EXPECT_STREQ(APPLNMENU::mrufile(0), chosen.c_str());
            EXPECT_TRUE(fs::exists(folder / name)) << name;

            project.init();
            ASSERT_EQ(project.load(chosen.c_str()), 1) << name;
            EXPECT_EQ(project.pathname(), chosen);
            EXPECT_STREQ(APPLNMENU::mrufile(0), chosen.c_str());
            EXPECT_EQ(tavi(project).document.text, name);
            EXPECT_FALSE(project.isuntitled());
        });
    }
}

TEST(Project, ADamagedProjectIsRefusedWithWhatIsWrongAndTheOpenProjectStays)
{
    struct CASE {
        const char* file;
        const char* message; // after "File '<path>' cannot be loaded: " or in the zip error box
    };
    const CASE cases[] = {
        { "endrecord.vktprj", "it holds no PROJECT.XML." },
        { "emptydescription.vktprj", "its PROJECT.XML is damaged.\n\nError: " },
        { "malformed.vktprj", "its PROJECT.XML is damaged.\n\nError: " },
        { "noroot.vktprj", "its PROJECT.XML is damaged.\n\nError: " },
        { "otherroot.vktprj",
            "its PROJECT.XML is damaged.\n\nError: The root element is 'WORKSPACE', not 'ROOT'." },
        { "deepnesting.vktprj",
            "its PROJECT.XML is damaged.\n\nError: Elements are nested deeper than 256 levels.\nLine 1," },
        { "badencoding.vktprj", "its PROJECT.XML is damaged.\n\nError: " },
        { "unknownencoding.vktprj", "its PROJECT.XML is damaged.\n\nError: " },
        { "bigdescription.vktprj",
            "its PROJECT.XML is damaged.\n\nError: The document is longer than 1048576 bytes." },
        { "wrongcrc.vktprj", "the file 'PROJECT.XML' cannot be read in full (error 7, errno 0).\nCRC error" },
        { "designcrc.vktprj", "the file 'ROOT.DSN' cannot be read in full (error 7, errno 0).\nCRC error" },
        { "manyentries.vktprj", "The archive holds 20000 files, more than the 10000 allowed." },
        { "climbing.vktprj", "The file '../evil.txt' climbs out of the archive" },
    };
    fs::path folder = vkt::test::makeTempSubfolder("damaged");
    const fs::path good = folder / "good.vktprj";
    writeproject(good, "<ROOT><TIMESTAMP FILEVER='830' RELEASE='812'/></ROOT>");
    withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
        for (const CASE& c : cases) {
            const fs::path path = folder / c.file;
            fs::copy_file(fs::path(VKT_TEST_SOURCE_DIR) / "fixtures" / c.file, path, fs::copy_options::overwrite_existing);
            ASSERT_EQ(project.openbytype(windows(good).c_str()), 1);
            project.setproperty("AUTHOR", "kept");
            boxes.clear();
            EXPECT_EQ(project.openbytype(windows(path).c_str()), 0) << c.file;
            ASSERT_EQ(boxes.size(), 1u) << c.file;
            EXPECT_NE(boxes[0].find(c.message), std::string::npos) << c.file << ": " << boxes[0];
            EXPECT_TRUE(boxes[0].find(windows(path)) != std::string::npos || boxes[0].find(path.string()) != std::string::npos)
                << c.file << " is named: " << boxes[0];
            EXPECT_EQ(project.pathname(), windows(good)) << c.file;
            EXPECT_EQ(tavi(project).document.text, "U1") << c.file;
            EXPECT_STREQ(project.getproperty("AUTHOR"), "kept") << c.file;
            EXPECT_STREQ(APPLNMENU::mrufile(0), windows(good).c_str()) << c.file;
        }
    });
}

TEST(Project, ALaterFileVersionIsRefusedWithTheReleaseThatWroteItAndNothingLoads)
{
    fs::path folder = vkt::test::makeTempSubfolder("later");
    writeproject(
        folder / "new.vktprj", "<?xml version='1.0'?><ROOT><TIMESTAMP FILEVER='831' RELEASE='905'/></ROOT>");
    withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
        EXPECT_EQ(project.load(windows(folder / "new.vktprj").c_str()), 0);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0],
            "File 'new.vktprj' was created in a later version of Corvane than this version.\n\n"
            "In order to load this project you must use Corvane version 9.5 or later.\n"
            "Information on the version of Corvane you are running is available on the Home Page.");
        EXPECT_EQ(project.design(), nullptr);
        EXPECT_EQ(project.getarchive().getfiletext("ROOT.DSN", nullptr), nullptr);
    });
}

TEST(Project, SavingWritesThisVersionWhateverTheFileHad)
{
    fs::path folder = vkt::test::makeTempSubfolder("older");
    for (const char* description :
        { "<ROOT><TIMESTAMP FILEVER='700' RELEASE='701'/><PROPERTIES/></ROOT>", "<ROOT/>" }) {
        writeproject(folder / "old.vktprj", description);
        withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
            ASSERT_EQ(project.load(windows(folder / "old.vktprj").c_str()), 1) << description;
            EXPECT_EQ(tavi(project).document.text, "U1");
            EXPECT_TRUE(XML::ELEMENT(project.getxmlroot()).getchild("PROPERTIES", 0).isNull());
            ASSERT_EQ(project.save(project.pathname()), 1);
        });
        VKTARCHIVE written;
        ASSERT_TRUE(written.beginload(windows(folder / "old.vktprj").c_str(), 0));
        XML::DOCUMENT saved("ROOT");
        XML::ELEMENT timestamp = timestampof(written, saved);
        EXPECT_EQ(timestamp.getinteger("FILEVER", 0), 830) << description;
        EXPECT_EQ(timestamp.getinteger("RELEASE", 0), 812) << description;
        EXPECT_EQ(std::string(written.getfiletext("ROOT.DSN", nullptr)), "U1");
        written.endload();
    }
}

TEST(Project, AProjectFileWithBytesBeforeItsZipOpens)
{
    fs::path folder = vkt::test::makeTempSubfolder("prefixed");
    writeproject(folder / "plain.vktprj", "<ROOT><TIMESTAMP FILEVER='830' RELEASE='812'/></ROOT>");
    {
        std::ifstream plain(folder / "plain.vktprj", std::ios::binary);
        std::ofstream prefixed(folder / "copy.vktprj", std::ios::binary);
        prefixed << std::string("\x20\x00\x00\x00/home/someone/autosaved/design.vktprj", 36) << plain.rdbuf();
    }
    withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
        EXPECT_EQ(project.load(windows(folder / "copy.vktprj").c_str()), 1);
        EXPECT_EQ(tavi(project).document.text, "U1");
    });
}

TEST(Project, AFailedSaveKeepsTheOldFileAndTheWork)
{
    fs::path file = vkt::test::makeTempSubfolder("failed") / "kept.vktprj";
    writeproject(file, "<ROOT/>");
    withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
        ASSERT_EQ(project.load(windows(file).c_str()), 1);
        tavi(project).document.text = "U1 U2";
        tavi(project).document.setdirty(1);
        tavi(project).failsave = 1;
        EXPECT_EQ(project.save(project.pathname()), 0);
        EXPECT_TRUE(project.isdirty());
        tavi(project).failsave = 0;
    });
    VKTARCHIVE old;
    ASSERT_TRUE(old.beginload(windows(file).c_str(), 0));
    EXPECT_EQ(std::string(old.getfiletext("ROOT.DSN", nullptr)), "U1");
    old.endload();
}

TEST(Project, CloseQueryAsksOnlyForChangedWorkAndNeverDropsWhatCouldNotBeSaved)
{
    struct CASE {
        int quitpending;
        int answered;
        int savefails;
        int result;
        int stilldirty;
    };
    const CASE cases[] = {
        { 0, IDYES, 0, 1, 0 },
        { 0, IDYES, 1, 0, 1 },
        { 0, IDNO, 0, 1, 1 },
        { 0, IDCANCEL, 0, 0, 1 },
        { 1, IDYES, 0, 1, 0 },
        { 1, IDYES, 1, 0, 1 },
        { 1, IDNO, 0, 1, 1 },
    };
    fs::path file = vkt::test::makeTempSubfolder("query") / "query.vktprj";
    // Of this version: saving asks nothing before the save itself.
    writeproject(file, "<ROOT><TIMESTAMP FILEVER='830' RELEASE='812'/></ROOT>");
    withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
        ASSERT_EQ(project.load(windows(file).c_str()), 1);
        EXPECT_EQ(project.closequery(0), 1);
        EXPECT_TRUE(boxes.empty());
        for (const CASE& each : cases) {
            boxes.clear();
            project.setdirty(1);
            answer = each.answered;
            tavi(project).failsave = each.savefails;
            EXPECT_EQ(project.closequery(each.quitpending), each.result) << each.quitpending << each.answered;
            EXPECT_EQ(project.isdirty(), each.stilldirty) << each.quitpending << each.answered;
            ASSERT_FALSE(boxes.empty());
            EXPECT_EQ(boxes[0], "Save changes to current project?");
        }
        tavi(project).failsave = 0;
    });
}

TEST(Project, ModificationsAndRestoredFramesReachTheDocumentsAndAVariantIsNamedOncePerSwitch)
{
    withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
        project.opendesign(0);
        RECORDINGSERVER& server = tavi(project);
        std::vector<std::string> signalled;
        QObject::connect(&project, &VKTPROJECT::modified, [&](APPLNDOCUMENT* document) {
            signalled.push_back(document == &server.document ? "design" : "project");
        });
        project.setvariants({ "Lite", "Full" });
        project.selectvariant('A');
        EXPECT_TRUE(boxes.empty()) << "the switch itself names nothing";
        server.calls.clear();
        signalled.clear();

        server.document.setdirty(1);
        server.document.setdirty(1);
        project.selectvariant('B');
        server.document.setdirty(1);
        EXPECT_EQ(boxes,
            (std::vector<std::string> { "You are editing variant 'Lite' of the project.",
                "You are editing variant 'Full' of the project." }));
        EXPECT_EQ(signalled, (std::vector<std::string> { "design", "design", "project", "design" }));

        server.calls.clear();
        project.setdirty(0);
        project.onrestore(nullptr);
        EXPECT_EQ(server.calls, std::vector<std::string> { "restore" });
        EXPECT_TRUE(project.isdirty());
    });
}

TEST(Project, ADesignFileOpensAsAnUnsavedProjectOfItsNameAndAMissingFileIsReported)
{
    fs::path folder = vkt::test::makeTempSubfolder("bytype");
    std::ofstream(folder / "x.DSN") << "old design";
    withproject([&](VKTPROJECT& project, PROJECTPROCESS& process) {
        EXPECT_EQ(project.openbytype(windows(folder / "x.DSN").c_str()), 1);
        EXPECT_EQ(project.pathname(), windows(folder / "x.vktprj"));
        EXPECT_FALSE(fs::exists(folder / "x.vktprj"));
        EXPECT_EQ(tavi(project).document.text, "imported");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].rfind("The ability to open DSN or LYT file directly", 0), 0u);
        ASSERT_NE(process.getframe(0), nullptr);
        EXPECT_EQ(process.getframe(0)->numwindows(), 1);

        boxes.clear();
        EXPECT_EQ(project.openbytype(windows(folder / "none.vktprj").c_str()), 0);
        EXPECT_EQ(boxes,
            std::vector<std::string> { "Could not open file '" + (folder / "none.vktprj").string() + "'." });
        EXPECT_EQ(project.pathname(), windows(folder / "x.vktprj")) << "a file not there changes nothing";
    });
}

// Saves the project at path and loads it back into the same project, started afresh.
void saveandload(VKTPROJECT& project, const fs::path& path)
{
    ASSERT_EQ(project.save(windows(path).c_str()), 1);
    project.init();
    ASSERT_EQ(project.load(windows(path).c_str()), 1);
}

TEST(ProjectRecords, PropertiesScriptsVariantsAndBoardsComeBackFromTheSavedFile)
{
    struct CASE {
        const char* what;
        std::function<void(VKTPROJECT&)> set;
        std::function<void(VKTPROJECT&)> check;
    };
    const CASE cases[] = {
        { "property", [](VKTPROJECT& p) { p.setproperty("AUTHOR", QString::fromUtf8("Zoë")); },
            [](VKTPROJECT& p) {
                QString value;
                EXPECT_EQ(p.getproperty("AUTHOR", value), 1);
                EXPECT_EQ(value, QString::fromUtf8("Zoë"));
            } },
        { "property removed by an empty text",
            [](VKTPROJECT& p) {
                p.setproperty("AUTHOR", QStringLiteral("me"));
                p.setproperty("AUTHOR", QString());
            },
            [](VKTPROJECT& p) {
                QString value = QStringLiteral("stale");
                EXPECT_EQ(p.getproperty("AUTHOR", value), 0);
                EXPECT_TRUE(value.isEmpty());
            } },
        { "script", [](VKTPROJECT& p) { p.setscript("STARTUP", QString::fromUtf8("print 'héllo'")); },
            [](VKTPROJECT& p) {
                QString text;
                EXPECT_EQ(p.getscript("STARTUP", text), 1);
                EXPECT_EQ(text, QString::fromUtf8("print 'héllo'"));
            } },
        { "script removed by an empty text",
            [](VKTPROJECT& p) {
                p.setscript("STARTUP", "x");
                p.setscript("STARTUP", "");
            },
            [](VKTPROJECT& p) { EXPECT_EQ(p.getscript("STARTUP"), nullptr); } },
        { "variants",
            [](VKTPROJECT& p) {
                p.setvariants({ QStringLiteral("Lite"), QStringLiteral("Full") });
                p.selectvariant('B');
            },
            [](VKTPROJECT& p) {
                QStringList names;
                p.getvariants(names);
                EXPECT_EQ(names, (QStringList { QStringLiteral("Base Design"), QStringLiteral("Lite"),
                                     QStringLiteral("Full") }));
                EXPECT_EQ(p.currentvariant(), 'B');
                EXPECT_STREQ(p.getproperty("VARIANT"), "Full");
            } },
        { "boards",
            [](VKTPROJECT& p) {
                p.createboard(0);
                p.createboard(0);
                EXPECT_EQ(p.selectboardindex(0), 1);
            },
            [](VKTPROJECT& p) {
                EXPECT_TRUE(p.ismultiboard());
                STRINGLIST names;
                p.getboardnames(names);
                ASSERT_EQ(names.count, 2);
                EXPECT_STREQ(names.get(0), "ROOT");
                EXPECT_STREQ(names.get(1), "BOARD2");
                EXPECT_EQ(p.currentboardindex(), 0);
                EXPECT_EQ(p.currentboard(), 1u);
                EXPECT_STREQ(p.getproperty("BOARD"), "ROOT");
            } },
    };
    const fs::path folder = vkt::test::makeTempSubfolder("records");
    withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
        for (const CASE& c : cases) {
            SCOPED_TRACE(c.what);
            project.init();
            c.set(project);
            saveandload(project, folder / "records.vktprj");
            c.check(project);
        }
        EXPECT_TRUE(boxes.empty()) << boxes.front();
    });
}

TEST(ProjectRecords, BuiltInPropertiesAndTheVariantRules)
{
    withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
        EXPECT_STREQ(project.getproperty("FILENAME"), "UNTITLED.vktprj");
        EXPECT_STREQ(project.getproperty("variant"), "Base Design") << "built-in names are keywords";
        project.setproperty("FILENAME", "mine");
        EXPECT_STREQ(project.getproperty("FILENAME"), "UNTITLED.vktprj") << "a built-in name takes precedence";
        EXPECT_NE(project.getproperty("CDATE"), nullptr);
        EXPECT_NE(project.getproperty("MTIME"), nullptr);

        project.getxmlroot().getchild("VARIANTS", 1).setAttribute(QStringLiteral("ACTIVE"), QStringLiteral("z"));
        EXPECT_EQ(project.currentvariant(), 'b');

        project.setvariants({ QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("A3") });
        project.selectvariant('C');
        project.setvariants({ QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("X") });
        QStringList names;
        project.getvariants(names);
        EXPECT_EQ(names, (QStringList { QStringLiteral("Base Design"), QStringLiteral("X"), QStringLiteral("Y") }));
        EXPECT_EQ(project.currentvariant(), 'b');
        EXPECT_EQ(project.getcdb()->getvariant(), 'b');
    });
}

// Two module windows of the first frame, each with the project's variant and board selectors.
struct SELECTORS {
    SELECTORS(VKTPROJECT& project, PROJECTPROCESS& process)
    {
        for (int i = 0; i < 2; ++i) {
            windows[i].setowner(&process);
            windows[i].createwindow(process.getframe(0));
            variants[i] = project.createvariantselector(&windows[i]);
            boards[i] = project.createboardselector(&windows[i]);
        }
    }
    APPLNWINDOW windows[2];
    COMBOBAR* variants[2];
    COMBOBAR* boards[2];
};

TEST(ProjectRecords, TheVariantSelectorsOfEveryWindowStayInStep)
{
    withproject([&](VKTPROJECT& project, PROJECTPROCESS& process) {
        SELECTORS bars(project, process);
        EXPECT_FALSE(bars.variants[0]->isVisible()) << "nothing to choose from";
        project.setvariants({ QStringLiteral("Lite"), QStringLiteral("Full") });
        for (COMBOBAR* bar : bars.variants) {
            EXPECT_TRUE(bar->isVisible());
            EXPECT_EQ(bar->numitems(), 3);
        }
        project.selectvariant('A');
        EXPECT_EQ(bars.variants[0]->currentitem(), 1);
        EXPECT_EQ(bars.variants[1]->currentitem(), 1);

        // The user picks the second variant in one window: the other window shows it too.
        emit static_cast<QComboBox*>(bars.variants[0]->getcombo()->getwidget())->activated(2);
        EXPECT_EQ(bars.variants[1]->currentitem(), 2);
    });
}

TEST(ProjectRecords, TheBoardSelectorShowsOnlyForSeveralBoardsAndACancelledWizardAddsNone)
{
    withproject([&](VKTPROJECT& project, PROJECTPROCESS& process) {
        project.createboard(0);
        SELECTORS bars(project, process);
        EXPECT_FALSE(bars.boards[0]->isVisible());
        int asked = 0;
        project.newboardwizard = [&](VKTPROJECT&) { return ++asked, 0; };
        EXPECT_EQ(project.createboard(1), 0);
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(project.getcdb()->numboards(), 1);
        EXPECT_EQ(project.currentboardindex(), 0);

        project.newboardwizard = [](VKTPROJECT&) { return 1; };
        EXPECT_EQ(project.createboard(1), 1);
        project.reloadboards();
        for (COMBOBAR* bar : bars.boards) {
            EXPECT_TRUE(bar->isVisible());
            EXPECT_EQ(bar->numitems(), 2);
            EXPECT_EQ(bar->currentitem(), 1);
        }
    });
}

TEST(ProjectRecords, ADesignDatabaseOfALaterVersionIsRefusedWithItsReason)
{
    const fs::path folder = vkt::test::makeTempSubfolder("laterdatabase");
    const fs::path path = folder / "later.vktprj";
    withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
        project.createboard(0);
        ASSERT_EQ(project.save(windows(path).c_str()), 1);
    });
    {
        VKTARCHIVE archive;
        ASSERT_TRUE(archive.beginload(windows(path).c_str(), 0));
        ASSERT_TRUE(archive.endload());
        VFILE& database = archive.openfile("ROOT.CDB", nullptr);
        database.seek(8, SEEK_SET);
        const unsigned char version[4] = { 3, 0, 0, 0 };
        database.write(version, 4);
        archive.closefile(database, 0);
        ASSERT_TRUE(archive.beginsave(windows(path).c_str()));
        ASSERT_TRUE(archive.endsave());
    }
    withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
        project.setproperty("AUTHOR", "kept");
        EXPECT_EQ(project.load(windows(path).c_str()), 0);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0],
            "File '" + path.string()
                + "' cannot be loaded: its design database cannot be read, as it was written by a later version "
                  "of the program.");
        EXPECT_STREQ(project.getproperty("AUTHOR"), "kept");
    });
}

// The MODIFIED stamp of a project file saved at that local time.
long long localstamp(int year, int month, int day, int hour, int minute, int second)
{
    std::tm when {};
    when.tm_year = year - 1900;
    when.tm_mon = month - 1;
    when.tm_mday = day;
    when.tm_hour = hour;
    when.tm_min = minute;
    when.tm_sec = second;
    when.tm_isdst = -1;
    return static_cast<long long>(std::mktime(&when));
}

std::string bytesof(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> namesin(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Backup, TheReplacedFileIsKeptUnderItsSaveTimeAndTheOldestDatedCopiesGoPastTheLevelsKept)
{
    const fs::path folder = vkt::test::makeTempSubfolder("dated");
    const fs::path backups = folder / "backups";
    fs::create_directories(backups);
    const long long modified = localstamp(2024, 3, 5, 14, 7, 9);
    writeproject(folder / "amp.vktprj",
        "<ROOT><TIMESTAMP FILEVER='830' RELEASE='812' MODIFIED='" + std::to_string(modified) + "'/></ROOT>");
    const std::string old = bytesof(folder / "amp.vktprj");
    // Eleven dated copies, oldest first, beside copies that are never pruned.
    const auto now = fs::file_time_type::clock::now();
    for (int i = 0; i < 11; ++i) {
        const fs::path copy = backups / ("amp [202301" + std::to_string(10 + i) + ", 10-00-00].vktprj");
        std::ofstream(copy) << i;
        fs::last_write_time(copy, now - std::chrono::hours(24 * (20 - i)));
    }
    for (const char* kept : { "amp [Corvane 8.12].vktprj", "ampere [20200101, 10-00-00].vktprj" }) {
        std::ofstream(backups / kept) << "kept";
        fs::last_write_time(backups / kept, now - std::chrono::hours(24 * 400));
    }
    withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
        project.setbackupfolder(windows(backups).c_str());
        project.setbackuplevels(10);
        ASSERT_EQ(project.load(windows(folder / "amp.vktprj").c_str()), 1);
        ASSERT_EQ(project.save(project.pathname()), 1);
        EXPECT_TRUE(boxes.empty()) << boxes.front();
    });
    EXPECT_EQ(bytesof(backups / "amp [20240305, 14-07-09].vktprj"), old);
    std::vector<std::string> expected { "amp [20230112, 10-00-00].vktprj", "amp [20230113, 10-00-00].vktprj",
        "amp [20230114, 10-00-00].vktprj", "amp [20230115, 10-00-00].vktprj", "amp [20230116, 10-00-00].vktprj",
        "amp [20230117, 10-00-00].vktprj", "amp [20230118, 10-00-00].vktprj", "amp [20230119, 10-00-00].vktprj",
        "amp [20230120, 10-00-00].vktprj", "amp [20240305, 14-07-09].vktprj", "amp [Corvane 8.12].vktprj",
        "ampere [20200101, 10-00-00].vktprj" };
    EXPECT_EQ(namesin(backups), expected);

    // The file saved carries the time of this save, which names its own backup next time.
    VKTARCHIVE written;
    ASSERT_TRUE(written.beginload(windows(folder / "amp.vktprj").c_str(), 0));
    XML::DOCUMENT description("ROOT");
    EXPECT_GT(std::atoll(timestampof(written, description).getattribute("MODIFIED", "0")), modified);
    written.endload();
}

TEST(Backup, WithoutAFolderOneCopyLiesBesideTheProjectAndAnOlderFormatIsKeptOnceAfterAsking)
{
    struct CASE {
        const char* timestamp;
        bool folder;
        int answered;
        const char* backup; // relative to the project's folder; "" for none
        const char* question;
    };
    const CASE cases[] = {
        { "FILEVER='830' RELEASE='812'", false, IDOK, "Backup of amp.vktbak", "" },
        { "FILEVER='812' RELEASE='812'", true, IDOK, "backups/amp [Corvane 8.12].vktprj",
            "File will be saved in version 8.12 format.\nThis format cannot be loaded by older versions of "
            "Corvane.\n\nThe previous version will be saved as 'amp [Corvane 8.12].vktprj'." },
        { "FILEVER='812' RELEASE='812'", false, IDOK, "amp [Corvane 8.12].vktbak",
            "File will be saved in version 8.12 format.\nThis format cannot be loaded by older versions of "
            "Corvane.\n\nThe previous version will be saved as 'amp [Corvane 8.12].vktbak'." },
        { "FILEVER='812' RELEASE='812'", true, IDCANCEL, "", "File will be saved in version 8.12 format." },
    };
    for (const CASE& c : cases) {
        const fs::path folder = vkt::test::makeTempSubfolder("beside");
        writeproject(folder / "amp.vktprj", std::string("<ROOT><TIMESTAMP ") + c.timestamp + "/></ROOT>");
        const std::string old = bytesof(folder / "amp.vktprj");
        int saved = -1;
        withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
            project.setbackupfolder(windows(folder / "backups").c_str());
            project.setbackuplevels(c.folder ? 10 : 1);
            ASSERT_EQ(project.load(windows(folder / "amp.vktprj").c_str()), 1);
            answer = c.answered;
            saved = project.save(project.pathname());
            if (*c.question) {
                ASSERT_EQ(boxes.size(), 1u) << c.timestamp;
                EXPECT_EQ(boxes[0].rfind(c.question, 0), 0u) << boxes[0];
            } else {
                EXPECT_TRUE(boxes.empty()) << boxes.front();
            }
        });
        EXPECT_EQ(saved, *c.backup ? 1 : 0) << c.timestamp;
        if (*c.backup)
            EXPECT_EQ(bytesof(folder / c.backup), old) << c.backup;
        else
            EXPECT_EQ(bytesof(folder / "amp.vktprj"), old) << "declined: nothing written";
        size_t files = 0;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            files += entry.is_regular_file();
        EXPECT_EQ(files, *c.backup ? 2u : 1u) << c.timestamp;
    }
}

TEST(Backup, ANewProjectHasNothingToKeepAndABackupFolderThatCannotBeMadeStopsTheSave)
{
    const fs::path folder = vkt::test::makeTempSubfolder("newproject");
    std::ofstream(folder / "plainfile") << "not a folder";
    withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
        project.setbackupfolder(windows(folder / "backups").c_str());
        project.setbackuplevels(10);
        ASSERT_EQ(project.save(windows(folder / "fresh.vktprj").c_str()), 1);
        EXPECT_TRUE(fs::is_empty(folder / "backups"));

        project.setdirty(1);
        project.setbackupfolder(windows(folder / "plainfile" / "backups").c_str());
        EXPECT_EQ(project.save(project.pathname()), 0);
        EXPECT_EQ(boxes, std::vector<std::string> { "Could not create Project Backups folder." });
        EXPECT_TRUE(project.isdirty());
    });
}

TEST(Backup, AnAutosaveBetweenLoadAndSaveLeavesTheFileItCameFromAsItWas)
{
    const fs::path folder = vkt::test::makeTempSubfolder("autosavedolder");
    writeproject(folder / "amp.vktprj", "<ROOT><TIMESTAMP FILEVER='812' RELEASE='812'/></ROOT>");
    withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
        project.setbackupfolder(windows(folder / "backups").c_str());
        ASSERT_EQ(project.load(windows(folder / "amp.vktprj").c_str()), 1);
        tavi(project).document.text = "U1 U2";
        tavi(project).document.setdirty(1);
        FILE* autosave = std::tmpfile();
        EXPECT_EQ(project.saveinto(autosave), 1);
        std::fclose(autosave);
        EXPECT_TRUE(project.isdirty());
        ASSERT_EQ(project.save(project.pathname()), 1);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].rfind("File will be saved in version 8.12 format.", 0), 0u) << boxes[0];
    });
    VKTARCHIVE old;
    ASSERT_TRUE(old.beginload(windows(folder / "backups" / "amp [Corvane 8.12].vktprj").c_str(), 0));
    EXPECT_EQ(std::string(old.getfiletext("ROOT.DSN", nullptr)), "U1");
    old.endload();
}

// A design of three elements on one sheet, for clips of it.
SHEET* clipdesign(VKTPROJECT& project)
{
    project.opendesign(1);
    CDBCORE& cdb = *project.getcdb();
    SHEET* sheet = cdb.addrootsheet(1, "Main", 0);
    uint32_t objectid = 1;
    for (const char* name : { "R1", "R2", "C1" })
        cdb.addelement(sheet, objectid++, 0, name, nullptr, 0, nullptr, 0);
    return sheet;
}

bool hasbox(const std::string& start)
{
    return std::any_of(boxes.begin(), boxes.end(), [&](const std::string& box) { return box.rfind(start, 0) == 0; });
}

TEST(ProjectClips, ASchematicClipGoesIntoItsFileWithItsPictureAndComesBackPlacedInTheDesign)
{
    const fs::path file = vkt::test::makeTempSubfolder("clips") / "filter.VKTCLIP";
    withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
        SHEET* sheet = clipdesign(project);
        CDBCORE& cdb = *project.getcdb();
        RECORDINGSERVER& design = tavi(project);
        design.clipselection = "R1 C1";
        ASSERT_EQ(project.exportsnippet(windows(file).c_str(), &design, sheet), 1);
        EXPECT_TRUE(hasbox("This project clip will contain only a schematic.")) << "no layout is open";
        ASSERT_EQ(cdb.numsnippets(), 1);
        SNIPPET* exported = cdb.findelement(nullptr, "R1")->snippet;
        ASSERT_NE(exported, nullptr);
        EXPECT_EQ(cdb.findelement(nullptr, "C1")->snippet, exported);
        EXPECT_EQ(cdb.findelement(nullptr, "R2")->snippet, nullptr);
        EXPECT_EQ(exported->thumbnail, nullptr) << "the picture is the file's now";

        VKTARCHIVE written;
        ASSERT_TRUE(written.beginload(windows(file).c_str(), 0));
        EXPECT_STREQ(written.getfiletext("DESIGN.SEC", nullptr), "R1 C1");
        EXPECT_FALSE(written.exists("BINDINGS.DAT", nullptr)) << "a schematic alone has nothing to bind";
        EXPECT_FALSE(written.exists("LAYOUT.RGN", nullptr));
        written.endload();
        QImage picture;
        ASSERT_EQ(project.getsnippetthumb(windows(file).c_str(), picture), 1);
        EXPECT_EQ(picture.size(), QSize(32, 16));
        EXPECT_EQ(picture.pixelColor(5, 5), QColor(Qt::darkCyan));

        design.calls.clear();
        ASSERT_EQ(project.importsnippet(windows(file).c_str(), &design, sheet), 1);
        EXPECT_EQ(design.clipread, "R1 C1");
        EXPECT_EQ(design.calls, (std::vector<std::string> { "load clip DESIGN.SEC", "place clip 0" }));
        EXPECT_EQ(cdb.numsnippets(), 2);

        cdb.setmodified(0);
        EXPECT_EQ(project.deletesnippet(exported), 1);
        EXPECT_EQ(cdb.numsnippets(), 1);
        EXPECT_EQ(cdb.findelement(nullptr, "R1")->snippet, nullptr);
        EXPECT_TRUE(cdb.ismodified());
    });
}

TEST(ProjectClips, AClipThatCannotBeMadeOrPlacedLeavesNoFileAndNoClip)
{
    const fs::path folder = vkt::test::makeTempSubfolder("refusedclips");
    const fs::path other = folder / "other.VKTCLIP";
    const fs::path layoutonly = folder / "layout.VKTCLIP";
    {
        VKTARCHIVE archive;
        ASSERT_TRUE(archive.beginsave(windows(layoutonly).c_str()));
        VFILE& region = archive.openfile("LAYOUT.RGN", nullptr);
        region.write("U1", 2);
        archive.closefile(region, 0);
        ASSERT_TRUE(archive.endsave());
    }
    const struct {
        const char* name;
        const char* selection;
        int answered; // to the question of a clip of the schematic alone
        int failplace;
        const char* importing; // null: an export
        const char* message;
    } cases[] = {
        { "nothing selected", "", IDOK, 0, nullptr, "You must select a schematic and/or PCB section" },
        { "a schematic alone declined", "R1", IDCANCEL, 0, nullptr, "This project clip will contain only a schematic." },
        { "an element of another clip", "R2", IDOK, 0, nullptr, "The selections of the schematic and PCB are not consistent.\n" },
        { "a file that is not there", "", IDOK, 0, "missing.VKTCLIP", "Cannot open project snippet '" },
        { "a clip without a schematic", "", IDOK, 0, "layout.VKTCLIP", "This snippet does not contain a schematic clip." },
        { "a clip that does not fit the sheet", "R1", IDOK, 1, "other.VKTCLIP", nullptr },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = folder / (std::string(c.name) + ".VKTCLIP");
        withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
            SHEET* sheet = clipdesign(project);
            CDBCORE& cdb = *project.getcdb();
            RECORDINGSERVER& design = tavi(project);
            // R2 is in a clip already.
            design.clipselection = "R2";
            ASSERT_EQ(project.exportsnippet(windows(other).c_str(), &design, sheet), 1);
            boxes.clear();

            design.clipselection = c.selection;
            design.failplace = c.failplace;
            answer = c.answered;
            if (c.importing) {
                EXPECT_EQ(project.importsnippet(windows(folder / c.importing).c_str(), &design, sheet), 0);
            } else {
                EXPECT_EQ(project.exportsnippet(windows(file).c_str(), &design, sheet), 0);
                EXPECT_FALSE(fs::exists(file));
            }
            EXPECT_EQ(cdb.numsnippets(), 1) << "only the clip of R2";
            if (c.message) {
                EXPECT_TRUE(hasbox(c.message)) << (boxes.empty() ? "no box" : boxes.back());
            }
            design.failplace = 0;
        });
    }
}

TEST(ProjectClips, ADescriptorsElementsTakeTheirIdsAndAnElementNotInTheClipIsNamed)
{
    withproject([&](VKTPROJECT& project, PROJECTPROCESS&) {
        SNIPPET* clip = project.getcdb()->addsnippet(nullptr);
        clip->bindings = { { "R1", 7 }, { "U2", 12 } };
        XML::DOCUMENT descriptor("ROOT");
        QString message;
        ASSERT_TRUE(XML::parsedocument(descriptor,
            "<ROOT><PIN ELEMENT=\"R1\"/><GROUP><PIN ELEMENT=\"U2\"/><PIN ELEMENT=\"U9\"/></GROUP></ROOT>", &message,
            nullptr, nullptr));
        std::ostringstream errors;
        EXPECT_EQ(project.bindelements(clip, descriptor.documentElement(), errors), 0);
        EXPECT_EQ(errors.str(), "Project clip does not contain element 'U9' referenced in descriptor.\n");
        const QDomElement group = descriptor.documentElement().firstChildElement("GROUP");
        EXPECT_EQ(XML::ELEMENT(descriptor.documentElement().firstChildElement("PIN")).getdword("UID", 0), 7u);
        EXPECT_EQ(XML::ELEMENT(group.firstChildElement("PIN")).getdword("UID", 0), 12u);
        EXPECT_FALSE(group.lastChildElement("PIN").hasAttribute("UID"));
    });
}

} // namespace
