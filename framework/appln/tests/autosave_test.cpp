#include "framework/appln/autosave.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

namespace fs = std::filesystem;

namespace {

std::string contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writefile(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// A word of a command line split by the Windows rules (the texts here hold no backslash).
std::string windowsword(const std::string& text)
{
    std::string word = "\"";
    for (char c : text)
        word += c == '"' ? std::string("\\\"") : std::string(1, c);
    return word + "\"";
}

// An autosave whose work is a text, on a clock the test moves, with a verifier that is a shell
// script given the pending-check copy as $1.
class TEXTAUTOSAVE : public AUTOSAVE {
public:
    TEXTAUTOSAVE() { setclock([this] { return now; }); }

    int writeproject(FILE* stream) override
    {
        ++writes;
        std::fputs(work.c_str(), stream);
        return writeworks;
    }
    int recoverproject(FILE* stream) override
    {
        std::string text;
        for (int c; (c = std::fgetc(stream)) != EOF;)
            text += static_cast<char>(c);
        offered.push_back(text);
        return accept;
    }
    int verifyproject(const char*) override { return 1; }
    int startverifier(const char* path) override
    {
        std::string line = "sh -c " + windowsword(script) + " sh " + windowsword(toposixpath(path));
        STARTUPINFOA startup { sizeof startup };
        return CreateProcessA("/bin/sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &verifierinfo());
    }
    void onverifyfailed() override { ++failures; }

    // Lets the verifier finish before the next poll looks at it.
    void waitforverifier() { WaitForSingleObject(verifier.hProcess, 10000); }
    bool verifierrunning() const { return verifier.hProcess != nullptr; }
    PROCESS_INFORMATION& verifierinfo() { return verifier; }
    // One interval (and a second) later, the user having done something.
    void laterandactive(long long minutes)
    {
        now += minutes * 60 + 1;
        setactive();
    }

    long long now = 1'700'000'000;
    std::string work = "work";
    int writeworks = 1;
    int writes = 0;
    int accept = 1;
    int failures = 0;
    std::vector<std::string> offered;
    // The verifier as the program's does it: the copy loads and becomes the checked copy.
    std::string script = "mv \"$1\" \"${1%.DAZOD}.VASV\"";
};

class Autosave : public testing::Test {
protected:
    void SetUp() override
    {
        const fs::path own = vkt::test::makeTempSubfolder(testing::UnitTest::GetInstance()->current_test_info()->name());
        setenv("XDG_CACHE_HOME", own.c_str(), 1);
        folder = own / "vkt" / "tmp";
        fs::create_directories(folder);
        fallback = towindowspath((own / "fallback").string());
    }

    fs::path asv(const char* name) const { return folder / name; }
    static fs::path posix(const char* path) { return toposixpath(path); }

    fs::path folder;
    std::string fallback;
};

TEST_F(Autosave, InstancesRunningTogetherGetFilesOfTheirOwnAndNoneTakesOverAnother)
{
    TEXTAUTOSAVE first;
    TEXTAUTOSAVE second;
    EXPECT_EQ(first.init(fallback.c_str(), "VKT"), 0);
    EXPECT_EQ(second.init(fallback.c_str(), "VKT"), 0);
    EXPECT_EQ(posix(first.getautosavepath()), asv("VKT0000.ASV"));
    EXPECT_EQ(posix(second.getautosavepath()), asv("VKT0001.ASV"));
    // A checked copy beside a running instance's file is never offered to another.
    writefile(asv("VKT0000.VASV"), "theirs");
    TEXTAUTOSAVE third;
    EXPECT_EQ(third.init(fallback.c_str(), "VKT"), 0);
    EXPECT_TRUE(third.offered.empty());
    EXPECT_EQ(posix(third.getautosavepath()), asv("VKT0002.ASV"));
    EXPECT_TRUE(fs::exists(asv("VKT0000.ASV")));

    first.term(0);
    EXPECT_FALSE(fs::exists(asv("VKT0000.ASV")));
    EXPECT_FALSE(fs::exists(asv("VKT0000.VASV")));
    EXPECT_TRUE(fs::exists(asv("VKT0001.ASV")));
}

TEST_F(Autosave, TheWorkOfAnInstanceThatDidNotEndIsOfferedFromItsCheckedCopyAndTakenOver)
{
    writefile(asv("VKT0003.ASV"), "no checked copy");
    writefile(asv("VKT0005.ASV"), "latest, not checked");
    writefile(asv("VKT0005.VASV"), "checked work");
    TEXTAUTOSAVE recovering;
    EXPECT_NE(recovering.init(fallback.c_str(), "VKT"), 0);
    EXPECT_TRUE(recovering.isrecovered());
    EXPECT_EQ(recovering.offered, std::vector<std::string> { "checked work" });
    EXPECT_EQ(posix(recovering.getautosavepath()), asv("VKT0005.ASV"));
    // Kept until a newer copy is checked: a second crash before the next save still finds it.
    EXPECT_TRUE(fs::exists(asv("VKT0005.VASV")));
    // Taken over: held like a file of its own.
    TEXTAUTOSAVE other;
    other.init(fallback.c_str(), "VKT");
    EXPECT_TRUE(other.offered.empty());
    EXPECT_EQ(posix(other.getautosavepath()), asv("VKT0006.ASV"));
}

TEST_F(Autosave, WorkDeclinedOrNeverCheckedIsDeletedAtTheNextStart)
{
    writefile(asv("VKT0003.ASV"), "no checked copy");
    writefile(asv("VKT0005.ASV"), "work");
    writefile(asv("VKT0005.VASV"), "checked work");
    TEXTAUTOSAVE declining;
    declining.accept = 0;
    EXPECT_EQ(declining.init(fallback.c_str(), "VKT"), 0);
    EXPECT_EQ(declining.offered, std::vector<std::string> { "checked work" });
    for (const char* name : { "VKT0003.ASV", "VKT0005.ASV", "VKT0005.VASV" })
        EXPECT_FALSE(fs::exists(asv(name))) << name;
    EXPECT_EQ(posix(declining.getautosavepath()), asv("VKT0000.ASV"));
}

TEST_F(Autosave, AnActiveUsersWorkIsSavedEachIntervalAndCheckedAndAnIdleUserCausesNoWrite)
{
    TEXTAUTOSAVE autosave;
    autosave.setinterval(5);
    autosave.init(fallback.c_str(), "VKT");
    const fs::path file = posix(autosave.getautosavepath());

    autosave.now += 4 * 60;
    autosave.poll();
    EXPECT_EQ(autosave.writes, 0); // not due yet

    autosave.now += 60;
    autosave.poll();
    EXPECT_EQ(contents(file), "work");
    ASSERT_TRUE(autosave.verifierrunning());
    autosave.waitforverifier();
    EXPECT_EQ(contents(asv("VKT0000.VASV")), "work");
    EXPECT_FALSE(fs::exists(asv("VKT0000.DAZOD")));

    // Idle for an interval: only the time is renewed.
    autosave.now += 5 * 60;
    autosave.poll();
    EXPECT_EQ(autosave.writes, 1);
    autosave.now += 4 * 60;
    autosave.setactive();
    autosave.poll();
    EXPECT_EQ(autosave.writes, 1);

    autosave.work = "more work";
    autosave.laterandactive(5);
    autosave.poll();
    EXPECT_EQ(autosave.writes, 2);
    EXPECT_EQ(contents(file), "more work");
    autosave.waitforverifier();
    autosave.laterandactive(5);
    autosave.poll();
    EXPECT_EQ(autosave.failures, 0);

    // A clock put back saves nothing until it has caught up.
    autosave.now -= 60 * 60;
    autosave.setactive();
    autosave.poll();
    EXPECT_EQ(autosave.writes, 3);
}

TEST_F(Autosave, AWriteThatFailsLeavesTheLastGoodCopyAndStartsNoVerifier)
{
    TEXTAUTOSAVE autosave;
    autosave.setinterval(1);
    autosave.init(fallback.c_str(), "VKT");
    autosave.laterandactive(1);
    autosave.poll();
    autosave.waitforverifier();
    autosave.work = "half";
    autosave.writeworks = 0;
    autosave.laterandactive(1);
    autosave.poll();
    EXPECT_EQ(contents(posix(autosave.getautosavepath())), "work");
    EXPECT_FALSE(fs::exists(asv("VKT0000.DAZOD")));
    EXPECT_EQ(autosave.failures, 0);
}

TEST_F(Autosave, AVerifierThatFailsHangsOrLeavesItsCopyIsReportedAtTheNextSave)
{
    struct CASE {
        const char* script;
        int failures;
    };
    const CASE cases[] = {
        { "exit 3", 1 }, // crashed or refused the copy
        { "kill -SEGV $$", 1 },
        { "exit 0", 1 }, // claims success but left the copy unchecked
        { "exec sleep 60", 1 }, // hangs: ended at the next save
    };
    for (const CASE& c : cases) {
        TEXTAUTOSAVE autosave;
        autosave.script = c.script;
        autosave.setinterval(5);
        autosave.init(fallback.c_str(), "VKT");
        autosave.laterandactive(5);
        autosave.poll();
        ASSERT_TRUE(autosave.verifierrunning()) << c.script;
        if (std::string(c.script) != "exec sleep 60")
            autosave.waitforverifier();
        autosave.laterandactive(5);
        autosave.poll();
        EXPECT_EQ(autosave.failures, c.failures) << c.script;
        EXPECT_FALSE(autosave.verifierrunning()) << c.script;
        // What failed stays for a look: the pending copy is not deleted.
        EXPECT_TRUE(fs::exists(asv("VKT0000.DAZOD"))) << c.script;
        autosave.term(0);
    }
}

TEST_F(Autosave, AVerifierStillRunningAfterALongPauseIsNotTakenToHang)
{
    TEXTAUTOSAVE autosave;
    autosave.script = "exec sleep 60";
    autosave.setinterval(5);
    autosave.init(fallback.c_str(), "VKT");
    autosave.laterandactive(5);
    autosave.poll();
    const pid_t child = static_cast<pid_t>(autosave.verifierinfo().dwProcessId);
    // The machine slept: more than twice the interval since the last save.
    autosave.laterandactive(11);
    autosave.poll();
    EXPECT_EQ(autosave.failures, 0);
    EXPECT_FALSE(autosave.verifierrunning());
    // Let go, not ended: ended here only to keep the run short.
    EXPECT_EQ(kill(child, 0), 0);
    kill(child, SIGKILL);
    autosave.term(0);
}

TEST_F(Autosave, AResetEmptiesTheFileAndTermKeepsOrDeletesTheFiles)
{
    TEXTAUTOSAVE autosave;
    autosave.setinterval(1);
    autosave.init(fallback.c_str(), "VKT");
    const fs::path file = posix(autosave.getautosavepath());
    autosave.laterandactive(1);
    autosave.poll();
    autosave.waitforverifier();
    ASSERT_TRUE(fs::exists(asv("VKT0000.VASV")));
    autosave.reset();
    EXPECT_EQ(contents(file), std::string(4, '\0'));
    EXPECT_FALSE(fs::exists(asv("VKT0000.VASV")));

    autosave.term(1);
    EXPECT_TRUE(fs::exists(file));
    EXPECT_STREQ(autosave.getautosavepath(), "");
    autosave.poll(); // off: nothing happens
    TEXTAUTOSAVE next;
    next.init(fallback.c_str(), "VKT");
    EXPECT_TRUE(next.offered.empty()); // nothing checked: deleted
    EXPECT_EQ(posix(next.getautosavepath()), file);
    next.term(0);
    EXPECT_FALSE(fs::exists(file));
}

} // namespace
