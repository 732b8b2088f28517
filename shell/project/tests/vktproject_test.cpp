#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "framework/appln/applnmenu.h"
#include "framework/appln/tests/testprocess.h"
#include "framework/documents/applndocument.h"
#include "platform/hulvane/cdbcore.h"
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

} // namespace
