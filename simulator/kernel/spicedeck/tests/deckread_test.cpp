#include "simulator/kernel/spicedeck/deckread.h"

#include "core/files/ramfile.h"
#include "simulator/kernel/spicedeck/spicedeck.h"
#include "simulator/kernel/spicedeck/tests/deck_fixtures.h"
#include "testsupport/temp_folder.h"

#include <gmock/gmock.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

using testing::ElementsAre;
using testing::HasSubstr;

// The cards of a chain as "line:text", a joined card followed by its lines in braces and an error
// text after " !".
std::vector<std::string> cards(const SPICECARD* card)
{
    std::vector<std::string> list;
    for (; card; card = card->next) {
        std::string text = std::to_string(card->line) + ":" + card->text;
        if (card->joined) {
            std::vector<std::string> joined = cards(card->joined);
            text += " {";
            for (const std::string& line : joined)
                text += (line == joined.front() ? "" : "|") + line;
            text += "}";
        }
        if (card->error)
            text += std::string(" !") + card->error;
        list.push_back(text);
    }
    return list;
}

class DeckReadTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder = vkt::test::makeTempSubfolder("spice");
        setenv("MODELS", folder.string().c_str(), 1);
    }

    void TearDown() override { unsetenv("MODELS"); }

    SPICECARD* readtext(std::string text, SPICECARD** end = nullptr)
    {
        RAMFILE source(text.data(), static_cast<int>(text.size()));
        return readdeck(&deck, source, end);
    }

    void file(const char* name, const std::string& text) { std::ofstream(folder / name) << text; }

    fs::path folder;
    SPICEDECK deck;
    decktest::DECKLOGCAPTURE log;
};

TEST_F(DeckReadTest, LinesAreUpperCaseAndNumberedAsInTheirSource)
{
    EXPECT_THAT(cards(readtext("\n\ntitle\nr1 a b 1k\r\n\n\nc1 a 0 10u")),
        ElementsAre("3:TITLE", "4:R1 A B 1K\r", "7:C1 A 0 10U"));
    EXPECT_EQ(readtext(""), nullptr);
    EXPECT_EQ(readtext("\n\n"), nullptr);
}

TEST_F(DeckReadTest, ContinuationLinesJoinTheCardBeforeThem)
{
    struct CASE {
        const char* text;
        std::vector<std::string> cards;
    } cases[] = {
        { "title\nr1 1 2\n+ 1k\n+tc=1\n", { "1:TITLE", "2:R1 1 2  1K TC=1 {2:R1 1 2|3:+ 1K|4:+TC=1}" } },
        { "+first\n+second\n", { "1:+FIRST", "2:+SECOND !Illegal continuation line: ignored." } },
        { ".model d d\n+ is=1\n", { "1:.MODEL D D  IS=1 {1:.MODEL D D|2:+ IS=1}" } },
        { "t\nr1 1 2\n   \n* note\n$ more\n\t+ 1k\n",
            { "1:T", "2:R1 1 2  1K {2:R1 1 2|6:\t+ 1K}", "3:   ", "4:* NOTE", "5:$ MORE" } },
        { "t\n# gone\n+ 1k\n", { "1:T", "2:# GONE", "3:+ 1K !Illegal continuation line: ignored." } },
    };
    for (const CASE& c : cases) {
        SPICEDECK fresh;
        std::string text = c.text;
        RAMFILE source(text.data(), static_cast<int>(text.size()));
        ASSERT_NE(readdeck(&fresh, source, nullptr), nullptr) << c.text;
        EXPECT_EQ(cards(fresh.head), c.cards) << c.text;
        EXPECT_EQ(cards(fresh.last).size(), 1u) << c.text;
    }
}

TEST_F(DeckReadTest, SourcesFollowOneAnotherWholeTrailingCommentsIncluded)
{
    SPICECARD* first = readtext("t1\nr1 1 2 1k\n* end of one\n");
    readtext("t2\nr2 2 0 1k\n");
    EXPECT_EQ(first, deck.head);
    EXPECT_THAT(
        cards(deck.head), ElementsAre("1:T1", "2:R1 1 2 1K", "3:* END OF ONE", "1:T2", "2:R2 2 0 1K"));
    EXPECT_STREQ(deck.last->text, "R2 2 0 1K");

    // After a given card, the end reference moves to the last card read.
    SPICECARD* end = deck.head;
    readtext("t3\n", &end);
    EXPECT_STREQ(end->text, "T3");
    EXPECT_STREQ(deck.head->next->text, "T3");
    EXPECT_STREQ(deck.last->text, "R2 2 0 1K");
}

TEST_F(DeckReadTest, IncludedFilesFollowTheirIncludeCard)
{
    file("sub.lib", "+first line\n.model x d\n+ is=2\n");
    file("loop.lib", ".model l d\n.include loop.lib\n");
    readtext(
        "title\n.include sub.lib\n+ n=1\nr1 1 2 1k\n.Include \"loop.lib\" \n.include\n.include none.lib\n");
    EXPECT_THAT(cards(deck.head),
        ElementsAre("1:TITLE", "2:.INCLUDE SUB.LIB  N=1 {2:.INCLUDE SUB.LIB|3:+ N=1}", "1:+FIRST LINE",
            "2:.MODEL X D  IS=2 {2:.MODEL X D|3:+ IS=2}", "4:R1 1 2 1K", "5:.INCLUDE \"LOOP.LIB\" ",
            "1:.MODEL L D", "2:.INCLUDE LOOP.LIB", "6:.INCLUDE", "7:.INCLUDE NONE.LIB"));
    std::string text = log.lines;
    EXPECT_THAT(text, HasSubstr("W:SPICE source file LOOP.LIB includes itself; it is read once.\n"));
    EXPECT_THAT(text, HasSubstr("W:.include filename missing.\n"));
    EXPECT_THAT(text, HasSubstr("W:cannot open SPICE source file NONE.LIB\n"));
    EXPECT_STREQ(deck.last->text, ".INCLUDE NONE.LIB");
}

TEST_F(DeckReadTest, IncludedFilesThatAreNoRegularFilesAreRefused)
{
    fs::create_directory(folder / "SUB.LIB");
    readtext("title\n.include /dev/zero\n.include sub.lib\nr1 1 2 1k\n");
    EXPECT_THAT(cards(deck.head),
        ElementsAre("1:TITLE", "2:.INCLUDE /DEV/ZERO", "3:.INCLUDE SUB.LIB", "4:R1 1 2 1K"));
    std::string text = log.lines;
    EXPECT_THAT(text, HasSubstr("E:SPICE source file /dev/zero cannot be read: not a regular file\n"));
    EXPECT_THAT(text, HasSubstr("SUB.LIB cannot be read: a folder, not a file\n"));
}

// Each continuation line used to copy the whole card so far and walk all its joined lines: this
// many took minutes.
TEST_F(DeckReadTest, ALongRunOfContinuationLinesJoinsOneCard)
{
    const int count = 200000;
    std::string text = "title\nv1 1 0 pwl\n";
    for (int i = 0; i < count; ++i)
        text += "+ 1\n";
    readtext(text + "r1 1 0 1k\n");
    const SPICECARD* joined = deck.head->next;
    ASSERT_EQ(joined->next, deck.last);
    EXPECT_EQ(strlen(joined->text), strlen("V1 1 0 PWL") + 3 * count);
    int lines = 0;
    for (const SPICECARD* line = joined->joined; line; line = line->next)
        ++lines;
    EXPECT_EQ(lines, count + 1);
    EXPECT_STREQ(deck.last->text, "R1 1 0 1K");
}

TEST_F(DeckReadTest, DamagedSourcesReadWhole)
{
    fs::path corpus = fs::path(VKT_TEST_SOURCE_DIR) / ".." / "fuzz" / "deckread_corpus";
    for (const auto& entry : fs::directory_iterator(corpus)) {
        SPICEDECK fresh;
        std::ifstream in(entry.path(), std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        RAMFILE source(text.data(), static_cast<int>(text.size()));
        ASSERT_NE(readdeck(&fresh, source, nullptr), nullptr) << entry.path();
        const SPICECARD* last = fresh.head;
        while (last->next)
            last = last->next;
        EXPECT_EQ(last, fresh.last) << entry.path();
    }

    // Bytes from 128 up lead no card, and a NUL never cuts one short.
    readtext("\xef\xbb\xbf.model x d\n\xa0+ is=2\n\x01\x02+ n=1\nr1 a\0" "b 1k\n"s);
    EXPECT_THAT(cards(deck.head),
        ElementsAre("1:\xef\xbb\xbf.MODEL X D", "2:\xa0+ IS=2 !Illegal continuation line: ignored.",
            "3:\x01\x02+ N=1 !Illegal continuation line: ignored.", "4:R1 AB 1K"));
}

} // namespace
