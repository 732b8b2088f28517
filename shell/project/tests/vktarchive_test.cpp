#include "shell/project/vktarchive.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "core/windows/stringtable.h"
#include "framework/context/applncontext.h"
#include "framework/xml/xmldocument.h"
#include "framework/xml/xmlelement.h"
#include "platform/vexmor/tests/ziptestfiles.h"
#include "platform/vexmor/unziparchive.h"
#include "platform/win/messagebox.h"
#include "platform/win/modules.h"
#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> boxes;

int recordbox(HWND, const char* text, const char*, UINT)
{
    boxes.emplace_back(text);
    return IDOK;
}

// The Windows form of a path, as the program hands paths to the archive.
std::string windows(const fs::path& path)
{
    return towindowspath(path.string());
}

std::string text(VFILE& file)
{
    std::string contents;
    for (int c; (c = file.getc()) >= 0;)
        contents += static_cast<char>(c);
    return contents;
}

int put(APPLNARCHIVE& archive, const char* folder, const char* name, const std::string& contents)
{
    VFILE& file = archive.openfile(folder, name);
    file.write(contents.data(), static_cast<int>(contents.size()));
    return archive.closefile(file, 0);
}

std::string get(APPLNARCHIVE& archive, const char* folder, const char* name)
{
    VFILE& file = archive.openfile(folder, name);
    std::string contents = text(file);
    archive.closefile(file, 0);
    return contents;
}

struct ZIPFILE {
    std::string contents;
    uint32_t datetime;
    bool operator==(const ZIPFILE&) const = default;
};

// Every file of the zip at path, read with the zip library's reader.
std::map<std::string, ZIPFILE> zipfiles(const fs::path& path)
{
    std::map<std::string, ZIPFILE> files;
    UNZIPARCHIVE reader;
    EXPECT_TRUE(reader.open(path.c_str())) << reader.errortext();
    for (int more = reader.selectfirst(); more; more = reader.selectnext()) {
        RAMFILE out;
        EXPECT_TRUE(reader.unzip(out)) << reader.filename();
        files[reader.filename()]
            = { std::string(reinterpret_cast<char*>(out.buffer), size_t(out.length)), reader.filetime() };
    }
    return files;
}

// An archive that shows how much of an entry is in memory.
class INSPECTED : public VKTARCHIVE {
public:
    int held(const char* key)
    {
        return getfileinfo(key, nullptr, 0) ? getfileinfo(key, nullptr, 0)->file.length : -1;
    }
};

const std::string design(50000, 'd');

// Writes a project of four entries at path.
void writeproject(const fs::path& path)
{
    VKTARCHIVE archive;
    ASSERT_TRUE(archive.beginsave(windows(path).c_str()));
    XML::DOCUMENT description("ROOT");
    XML::ELEMENT timestamp(XML::ELEMENT(description.documentElement()).getchild("TIMESTAMP", 1));
    timestamp.setinteger("FILEVER", 830);
    timestamp.setinteger("RELEASE", 812);
    ASSERT_TRUE(description.save(archive, "PROJECT.XML", nullptr));
    ASSERT_TRUE(put(archive, "ROOT.DSN", nullptr, design));
    ASSERT_TRUE(put(archive, "SCRIPTS", "startup", "print 'hello'"));
    ASSERT_TRUE(put(archive, "ROOT.CDB", nullptr, std::string("\x00\x01\x02\xff", 4)));
    ASSERT_TRUE(archive.endsave());
}

class VktArchive : public testing::Test {
protected:
    void SetUp() override
    {
        boxes.clear();
        previous = setmessageboxhook(recordbox);
        messages.load("APPLNMESSAGES", GetModuleHandleA(nullptr));
        context.messagetable = &messages;
        oldcontext = setapplncontext(&context);
        folder = vkt::test::makeTempSubfolder(testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override
    {
        setapplncontext(oldcontext);
        setmessageboxhook(previous);
    }

    MESSAGEBOXHOOK previous = nullptr;
    STRINGTABLE messages;
    MODULECONTEXT context;
    APPLNCONTEXT* oldcontext = nullptr;
    fs::path folder;
};

} // namespace

TEST_F(VktArchive, AddsTheDefaultExtensionToAPathWithoutOne)
{
    writeproject(folder / "proj.vktprj");
    writeproject(folder / "proj.vktpnl");
    VKTARCHIVE archive;
    ASSERT_TRUE(archive.beginload(windows(folder / "proj").c_str(), 0));
    EXPECT_EQ(archive.getpath(), windows(folder / "proj.vktprj"));
    archive.setextension("vktpnl");
    ASSERT_TRUE(archive.beginload(windows(folder / "proj").c_str(), 0));
    EXPECT_EQ(archive.getpath(), windows(folder / "proj.vktpnl"));
    EXPECT_TRUE(archive.endload());
    EXPECT_TRUE(boxes.empty());
}

// Entries come out of the zip when first opened; one never opened is never unzipped, so a fault in
// it does not spoil the others.
TEST_F(VktArchive, ReadsEntriesWhenTheyAreFirstOpened)
{
    const fs::path path = folder / "a.vktprj";
    writeproject(path);
    INSPECTED archive;
    ASSERT_TRUE(archive.beginload(windows(path).c_str(), 0));
    EXPECT_TRUE(archive.exists("SCRIPTS", "startup"));
    EXPECT_EQ(archive.held("ROOT.DSN"), 0);
    EXPECT_EQ(get(archive, "ROOT.DSN", nullptr), design);
    EXPECT_EQ(archive.held("ROOT.CDB"), 0) << "an entry not opened is not unzipped";

    // Opened again, the entry keeps what the program made of it.
    put(archive, "ROOT.DSN", nullptr, "edited");
    EXPECT_EQ(get(archive, "ROOT.DSN", nullptr).substr(0, 6), "edited");
    EXPECT_STREQ(archive.getfiletext("SCRIPTS", "startup"), "print 'hello'");

    EXPECT_TRUE(archive.endload());
    EXPECT_EQ(archive.held("ROOT.CDB"), 4);
    EXPECT_EQ(get(archive, "ROOT.CDB", nullptr), std::string("\x00\x01\x02\xff", 4));
    EXPECT_EQ(archive.endload(), 1) << "the loaded flag stays";
}

TEST_F(VktArchive, WrittenReadLazilyAndWrittenAgainTheContentsAreEqual)
{
    const fs::path first = folder / "first.vktprj";
    const fs::path second = folder / "second.vktprj";
    writeproject(first);
    VKTARCHIVE archive;
    ASSERT_TRUE(archive.beginload(windows(first).c_str(), 0));
    EXPECT_EQ(get(archive, "PROJECT.XML", nullptr).find("<?xml"), 0u);
    // Saved while the zip is still being read: the entries not opened go in with their contents.
    ASSERT_TRUE(archive.beginsave(windows(second).c_str()));
    ASSERT_TRUE(archive.endsave());
    EXPECT_TRUE(archive.endload());
    EXPECT_EQ(zipfiles(second), zipfiles(first));
    EXPECT_EQ(zipfiles(first).size(), 4u);
}

TEST_F(VktArchive, AnEntryClosedDuringASaveIsInTheZipOnceAndStaysInTheArchive)
{
    const fs::path path = folder / "a.vktprj";
    VKTARCHIVE archive;
    put(archive, "LEFT.LYT", nullptr, "a board not opened"); // waits in the archive
    ASSERT_TRUE(archive.beginsave(windows(path).c_str()));
    ASSERT_TRUE(put(archive, "ROOT.DSN", nullptr, "design"));
    EXPECT_STREQ(archive.getfiletext("LEFT.LYT", nullptr), "a board not opened");
    ASSERT_TRUE(archive.endsave());
    std::map<std::string, ZIPFILE> files = zipfiles(path);
    EXPECT_EQ(files.size(), 2u);
    EXPECT_EQ(files["ROOT.DSN"].contents, "design");
    EXPECT_NE(files["ROOT.DSN"].datetime, 0u) << "an entry without a time gets the time of the save";

    // A second save still has every entry.
    ASSERT_TRUE(archive.beginsave(windows(path).c_str()));
    ASSERT_TRUE(archive.endsave());
    EXPECT_EQ(zipfiles(path), files);
}

// A disk file taken into a project keeps its last-write time, to the two seconds of the zip's DOS
// times, through saving and loading the project.
TEST_F(VktArchive, ADiskFileKeepsItsTimeThroughTheProjectFile)
{
    const fs::path thumb = folder / "thumb.bmp";
    std::ofstream(thumb, std::ios::binary) << "BM picture";
    const struct timespec when {
        1709647629, 500000000
    }; // an odd second with a fraction
    const struct timespec times[2] = { when, when };
    ASSERT_EQ(utimensat(AT_FDCWD, thumb.c_str(), times, 0), 0);

    const fs::path path = folder / "clip.vktclip";
    {
        VKTARCHIVE archive;
        archive.setextension("VKTCLIP");
        ASSERT_TRUE(archive.beginsave(windows(folder / "clip").c_str()));
        EXPECT_TRUE(archive.putfile(windows(thumb).c_str(), "THUMB.BMP", nullptr));
        ASSERT_TRUE(archive.endsave());
    }
    VKTARCHIVE archive;
    ASSERT_TRUE(archive.beginload(windows(path).c_str(), 0));
    const fs::path out = folder / "out.bmp";
    EXPECT_TRUE(archive.getfile(windows(out).c_str(), "THUMB.BMP", nullptr));
    EXPECT_EQ(vkt::test::readbytes(out), "BM picture");
    struct stat info;
    ASSERT_EQ(stat(out.c_str(), &info), 0);
    EXPECT_EQ(info.st_mtim.tv_sec, when.tv_sec - 1);
}

// The autosave file: the project's path first, then the zip, written and read in the open file;
// the file copied whole opens as a project by its path too.
TEST_F(VktArchive, ReadsAndWritesAZipAtAnOffsetInsideAnOpenFile)
{
    const fs::path path = folder / "VKT0001.ASV";
    FILE* file = std::fopen(path.c_str(), "w+b");
    ASSERT_NE(file, nullptr);
    const std::string header = "\x10\x00\x00\x00"
                               "C:\\proj.vktprj";
    std::fwrite(header.data(), 1, header.size(), file);
    {
        VKTARCHIVE archive;
        ASSERT_TRUE(archive.beginsave(file));
        put(archive, "PROJECT.XML", nullptr, "<ROOT/>");
        ASSERT_TRUE(archive.endsave());
    }
    std::fseek(file, static_cast<long>(header.size()), SEEK_SET);
    VKTARCHIVE archive;
    ASSERT_TRUE(archive.beginload(file, 0));
    std::fclose(file);
    EXPECT_EQ(get(archive, "PROJECT.XML", nullptr), "<ROOT/>");
    EXPECT_TRUE(archive.endload());

    const fs::path copy = folder / "proj [Autosaved].vktprj";
    fs::copy_file(path, copy);
    VKTARCHIVE verified;
    ASSERT_TRUE(verified.beginload(windows(copy).c_str(), 0));
    EXPECT_TRUE(verified.endload());
    EXPECT_EQ(get(verified, "PROJECT.XML", nullptr), "<ROOT/>");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(VktArchive, RefusesEveryDamagedFileWithItsMessage)
{
    struct CASE {
        const char* file;
        const char* message; // in the box, after "Could not read archive\nZIP Error: "
        bool atendload;
    };
    const CASE cases[] = {
        { "notzip.vktprj", "Not a zip archive", false },
        { "truncated.vktprj", "Not a zip archive", false },
        { "wrongcrc.vktprj", "the file 'PROJECT.XML' cannot be read in full (error 7, errno 0).\nCRC error",
            true },
        { "climbing.vktprj", "The file '../evil.txt' climbs out of the archive", false },
        { "backslash.vktprj", "The file 'SCRIPTS\\..\\..\\evil.txt' climbs out of the archive", false },
        { "absolute.vktprj", "The file '/tmp/evil.txt' has an absolute name", false },
        { "duplicate.vktprj", "The file 'PROJECT.XML' stands in the archive twice", false },
        { "bomb.vktprj", "The file 'ZEROS.BIN' would unpack to 1048576 bytes from ", false },
        { "bigentry.vktprj", "The file 'BIG.BIN' would unpack to 3221225472 bytes", false },
        { "longname.vktprj", "A file name in the archive is longer than 519 characters", false },
        { "manyentries.vktprj", "The archive holds 20000 files, more than the 10000 allowed.", false },
    };
    for (const CASE& c : cases) {
        const fs::path path = folder / c.file;
        fs::copy_file(fs::path(VKT_TEST_SOURCE_DIR) / "fixtures" / c.file, path);
        const std::string before = vkt::test::readbytes(path);
        boxes.clear();
        VKTARCHIVE archive;
        put(archive, "PROJECT.XML", nullptr, "what was there");
        const int began = archive.beginload(windows(path).c_str(), 0);
        EXPECT_EQ(began, c.atendload) << c.file;
        if (began) {
            EXPECT_EQ(archive.endload(), 0) << c.file;
        }
        ASSERT_EQ(boxes.size(), 1u) << c.file;
        EXPECT_EQ(boxes[0].rfind("Could not read archive\nZIP Error: ", 0), 0u) << boxes[0];
        EXPECT_NE(boxes[0].find(c.message), std::string::npos) << c.file << ": " << boxes[0];
        EXPECT_EQ(vkt::test::readbytes(path), before) << c.file;
        if (!began) {
            EXPECT_EQ(get(archive, "PROJECT.XML", nullptr), "what was there") << c.file;
        }

        boxes.clear();
        VKTARCHIVE quiet;
        EXPECT_EQ(quiet.beginload(windows(path).c_str(), 1) && quiet.endload(), 0) << c.file;
        EXPECT_TRUE(boxes.empty()) << c.file;
    }
}

TEST_F(VktArchive, ListsAsManyFilesAsTheBoundAllowsAndKeepsTheEntriesItHeld)
{
    const fs::path path = folder / "many.vktprj";
    {
        VKTARCHIVE many;
        for (int64_t i = 1; i <= UNZIPARCHIVE::MAXFILES; ++i)
            put(many, ("E" + std::to_string(i)).c_str(), nullptr, i == UNZIPARCHIVE::MAXFILES ? "last" : "");
        ASSERT_TRUE(many.beginsave(windows(path).c_str()));
        ASSERT_TRUE(many.endsave());
    }
    VKTARCHIVE archive;
    put(archive, "KEPT", nullptr, "held before");
    put(archive, "E1", nullptr, "replaced by the zip's");
    ASSERT_EQ(archive.beginload(windows(path).c_str(), 0), 1);
    ASSERT_EQ(archive.endload(), 1);
    EXPECT_TRUE(boxes.empty());
    for (int64_t i = 1; i <= UNZIPARCHIVE::MAXFILES; i += 999)
        EXPECT_TRUE(archive.exists(("E" + std::to_string(i)).c_str(), nullptr)) << i;
    EXPECT_EQ(get(archive, "E10000", nullptr), "last");
    EXPECT_EQ(get(archive, "E1", nullptr), "");
    EXPECT_EQ(get(archive, "KEPT", nullptr), "held before");
}

TEST_F(VktArchive, AFileThatCannotBeOpenedGivesMessageFour)
{
    VKTARCHIVE archive;
    EXPECT_EQ(archive.beginload(windows(folder / "none").c_str(), 0), 0);
    EXPECT_EQ(
        boxes, std::vector<std::string> { "Could not open file '" + (folder / "none.vktprj").string() + "'." });
    EXPECT_EQ(archive.endload(), 0);

    boxes.clear();
    EXPECT_EQ(archive.beginsave(windows(folder / "no folder" / "a").c_str()), 0);
    EXPECT_EQ(boxes,
        std::vector<std::string> {
            "Could not open file '" + (folder / "no folder" / "a.vktprj").string() + "'." });
    EXPECT_EQ(archive.endsave(), 0);
}

// A save that fails leaves the old project whole and reports the zip library's error.
TEST_F(VktArchive, AFailedSaveKeepsTheOldFile)
{
    const fs::path path = folder / "a.vktprj";
    writeproject(path);
    const std::string before = vkt::test::readbytes(path);

    VKTARCHIVE archive;
    ASSERT_TRUE(archive.beginsave(windows(path).c_str()));
    put(archive, "PROJECT.XML", nullptr, "<ROOT/>");
    VFILE& design = archive.openfile("ROOT.DSN", nullptr);
    design.write("half a des", 10);
    design.setflags(design.flags | 0x80); // the module's write failed
    EXPECT_EQ(archive.closefile(design, 0), 0);
    put(archive, "ROOT.CDB", nullptr, "the rest still goes in");
    EXPECT_EQ(archive.endsave(), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("Could not save project: '" + path.string() + "'\n ZIP error '", 0), 0u)
        << boxes[0];
    EXPECT_NE(boxes[0].find("the file 'ROOT.DSN' was copied incompletely"), std::string::npos) << boxes[0];
    EXPECT_EQ(vkt::test::readbytes(path), before);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++files;
    EXPECT_EQ(files, 1) << "no temporary is left";

    // A discarded entry is kept out of the zip.
    ASSERT_TRUE(archive.beginsave(windows(path).c_str()));
    VFILE& scratch = archive.openfile("SCRATCH", nullptr);
    EXPECT_EQ(archive.closefile(scratch, 1), 1);
    archive.deletefile("SCRATCH", nullptr);
    archive.deletefile("ROOT.DSN", nullptr);
    ASSERT_TRUE(archive.endsave());
    EXPECT_EQ(zipfiles(path).count("SCRATCH"), 0u);
    EXPECT_EQ(zipfiles(path).count("ROOT.DSN"), 0u);
}

// The artifact for outside readers: a project file of several entries, checked here with the zip
// library and left for unzip and zipinfo.
TEST_F(VktArchive, LeavesASampleProjectForOutsideReaders)
{
    const fs::path path = folder / "sample.vktprj";
    VKTARCHIVE archive;
    ASSERT_TRUE(archive.beginsave(windows(path).c_str()));
    XML::DOCUMENT description("ROOT");
    XML::ELEMENT root(description.documentElement());
    root.setattribute("AUTHOR", "A. Engineer");
    XML::ELEMENT timestamp(root.getchild("TIMESTAMP", 1));
    timestamp.setinteger("CREATED", 1709647629);
    timestamp.setinteger("MODIFIED", 1709647629);
    timestamp.setinteger("FILEVER", 830);
    timestamp.setinteger("RELEASE", 812);
    root.setstringlist("SCRIPTS", QStringList { "startup", "cleanup" });
    XML::ELEMENT text(root.getchild("DESCRIPTION", 1));
    text.setproperty("TITLE", "Sample amplifier");
    ASSERT_TRUE(description.save(archive, "PROJECT.XML", nullptr));
    ASSERT_TRUE(put(archive, "SCRIPTS", "startup", "echo start\n"));
    ASSERT_TRUE(put(archive, "SCRIPTS", "cleanup", "echo done\n"));
    ASSERT_TRUE(put(archive, "ROOT.DSN", nullptr, design));
    ASSERT_TRUE(put(archive, "ROOT.CDB", nullptr, std::string(1000, '\x01')));
    ASSERT_TRUE(archive.endsave());
    EXPECT_EQ(zipfiles(path).size(), 5u);
    fs::copy_file(path, fs::path(VKT_ARTIFACTS_DIR) / "sample.vktprj", fs::copy_options::overwrite_existing);
}
