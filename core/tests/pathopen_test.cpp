#include "core/files/pathopen.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

// A test folder made current, with Windows names for its subfolders.
class PathOpen : public testing::Test {
protected:
    void SetUp() override
    {
        folder = vkt::test::makeTempSubfolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        ASSERT_EQ(chdir(folder.c_str()), 0);
    }

    std::string win(const std::string& relative) const
    {
        return towindowspath(folder.string()) + "\\" + relative;
    }

    static void write(const fs::path& file, const std::string& text)
    {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text;
    }

    static std::string readall(FILE* f)
    {
        std::string text;
        for (int c; (c = fgetc(f)) != EOF;)
            text += static_cast<char>(c);
        fclose(f);
        return text;
    }

    fs::path folder;
};

} // namespace

TEST_F(PathOpen, StoredUpperCaseNamesAreFoundAlongTheList)
{
    write(folder / "second" / "models" / "x.lib", "model text");
    fs::create_directories(folder / "first");
    std::string list = win("first") + ";" + win("second") + ";";
    FILE* f = pathopen(list.c_str(), "MODELS\\X.LIB", "rb", 0);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(readall(f), "model text");
    EXPECT_EQ(std::string(pathopen_filespec), win("second") + "\\MODELS\\X.LIB");
    EXPECT_EQ(findexistingpath(pathopen_filespec), (folder / "second" / "models" / "x.lib").string());

    char spec[PATHBUFFER];
    EXPECT_EQ(pathfind(list.c_str(), "models\\x.LIB", spec), 1);
    EXPECT_EQ(std::string(spec), win("second") + "\\models\\x.LIB");
}

TEST_F(PathOpen, SearchOrderMarkersAndWhatTheSpecHolds)
{
    write(folder / "here.txt", "current");
    write(folder / "lib" / "here.txt", "listed");
    std::string list = win("lib");
    EXPECT_EQ(readall(pathopen(list.c_str(), "here.txt", "r", 0)), "current");
    EXPECT_STREQ(pathopen_filespec, "here.txt");

    EXPECT_EQ(pathopen(list.c_str(), "HERE.TXT", nullptr, 0), stdout)
        << "null mode: a marker, nothing opened";
    EXPECT_EQ(pathopen(list.c_str(), "gone.txt", nullptr, 0), nullptr);
    EXPECT_EQ(std::string(pathopen_filespec), list + "\\gone.txt");
    EXPECT_EQ(pathopen(nullptr, "gone.txt", "r", 0), nullptr);
    EXPECT_STREQ(pathopen_filespec, "gone.txt");

    struct {
        const char* list;
        const char* spec;
    } candidates[]
        = { { "C:", "C:zz" }, { "C:\\x\\", "C:\\x\\zz" }, { "C:\\a;;D:\\b;", "D:\\b\\zz" }, { "", "zz" } };
    for (const auto& c : candidates) {
        EXPECT_EQ(pathopen(c.list, "zz", "r", 0), nullptr);
        EXPECT_STREQ(pathopen_filespec, c.spec) << c.list;
    }

    FILE* created = pathopen("C:\\a;D:\\b", "new.txt", "wb", 1);
    ASSERT_NE(created, nullptr);
    fclose(created);
    EXPECT_STREQ(pathopen_filespec, "D:\\b\\new.txt");
    EXPECT_TRUE(fs::exists(folder / "new.txt"));

    char spec[PATHBUFFER];
    fs::create_directories(folder / "lib" / "sub");
    EXPECT_EQ(pathopenspec(list.c_str(), "SUB", "r", 0, spec), nullptr)
        << "a folder is found, and cannot be opened";
    EXPECT_EQ(std::string(spec), list + "\\SUB");
    EXPECT_EQ(fileexists("SUB"), 0);
    EXPECT_NE(fileexists((list + "\\SUB").c_str()), 0);
    EXPECT_NE(fileexists("HERE.TXT", nullptr, nullptr), 0);
}

TEST_F(PathOpen, CandidatesPastTheBoundCountAsMissing)
{
    // A file that exists, but whose spec would take more than 516 characters.
    std::string deep;
    for (int i = 0; i < 3; ++i)
        deep += "\\" + std::string(170, static_cast<char>('a' + i));
    fs::path posix = toposixpath((win("") + deep.substr(1)).c_str());
    write(posix / "model.lib", "far");
    std::string list = win("") + deep.substr(1);
    ASSERT_GT(list.size() + 10, 516u);
    EXPECT_EQ(pathopen(list.c_str(), "model.lib", "r", 0), nullptr);
    EXPECT_EQ(pathopen(nullptr, (list + "\\model.lib").c_str(), "r", 0), nullptr);
    EXPECT_EQ(strlen(pathopen_filespec), 516u);
}

TEST_F(PathOpen, PathFindCutsLongFolders)
{
    // The first 516 characters of a 600-character folder name an existing folder.
    std::string head = win("");
    std::string level;
    while (head.size() < 516) {
        level = std::string(std::min<size_t>(200, 516 - head.size()), 'h');
        head += level + (head.size() + level.size() < 516 ? "\\" : "");
    }
    ASSERT_EQ(head.size(), 516u);
    fs::create_directories(toposixpath(head.c_str()));
    std::string rest(84, 'r');
    write(folder / rest / "name", "found");

    char found[PATHBUFFER];
    EXPECT_EQ(pathfind((head + rest).c_str(), "name", found), 1);
    EXPECT_EQ(std::string(found), head) << "the first 516 characters alone";
    std::string missing = std::string(516, 'm');
    EXPECT_EQ(pathfind((missing + rest).c_str(), "name", found), 1);
    EXPECT_EQ(std::string(found), rest + "\\name") << "then the rest with the name";
    EXPECT_EQ(pathfind((missing + ";").c_str(), "name", found), 0);
    EXPECT_EQ(std::string(found), missing);
    EXPECT_EQ(pathfind(nullptr, "nothing", found), 0);
    EXPECT_STREQ(found, "nothing");
}

TEST_F(PathOpen, FileSizes)
{
    write(folder / "empty.txt", "");
    write(folder / "five.dat", "12345");
    EXPECT_EQ(filesize("missing"), -1);
    EXPECT_EQ(filesize("EMPTY.TXT"), 0);
    EXPECT_EQ(filesize(win("*.dat").c_str()), 5);
    for (uint64_t size : { uint64_t(1) << 31, (uint64_t(1) << 32) - 1, uint64_t(5) << 30 }) {
        int fd = ::open((folder / "big.bin").c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, static_cast<off_t>(size)), 0);
        close(fd);
        EXPECT_EQ(filesize("big.bin"), 0x7FFFFFFF) << size;
    }
}

TEST_F(PathOpen, AttachedStreamsWriteAtOnceAndFailWithoutADescriptor)
{
    int pipefd[2];
    ASSERT_EQ(pipe(pipefd), 0);
    FILE* out = modulestdout();
    attachstdout(pipefd[1]);
    EXPECT_EQ(modulestdout(), out) << "the stream object is kept";
    fprintf(out, "line one\n");
    char text[32] = {};
    ASSERT_EQ(read(pipefd[0], text, sizeof text - 1), 9);
    EXPECT_STREQ(text, "line one\n");

    attachstderr(-5);
    EXPECT_LT(fputs("lost", modulestderr()), 0);
    attachstdout(12345);
    EXPECT_LT(fprintf(out, "lost"), 0);

    attachstdout(dup(STDOUT_FILENO));
    attachstderr(dup(STDERR_FILENO));
    close(pipefd[0]);
}
