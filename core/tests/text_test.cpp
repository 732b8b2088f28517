#include "core/text/text.h"

#include "core/containers/dpkb.h"
#include "core/tests/file_fixtures.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using vkt::test::allBytes;
using vkt::test::ramFileWith;

namespace {

std::optional<std::string> value(const TEXT& t)
{
    return t.text ? std::optional<std::string>(t.text) : std::nullopt;
}

} // namespace

TEST(TEXT, SettextMayCopyFromItsOwnText)
{
    TEXT t("hello world");
    t.settext(t.text + 6);
    EXPECT_EQ(value(t), "world");
    t.settext(nullptr);
    EXPECT_EQ(t.text, nullptr);

    TEXT a("one");
    TEXT b(a);
    b.settext("two");
    const TEXT& same = a;
    a = same;
    EXPECT_EQ(value(a), "one");
    a = b;
    EXPECT_EQ(value(a), "two");
    EXPECT_NE(a.text, b.text);
}

TEST(TEXT, StoredRecordRoundTrips)
{
    struct Case {
        const char* text;
        std::string record;
    };
    const Case cases[] = {
        { nullptr, std::string("\4\0\0\0", 4) },
        { "", std::string("\5\0\0\0\0", 5) },
        { "ab", std::string("\7\0\0\0ab\0", 7) },
        { "line one\nline two\n", std::string("\x17\0\0\0line one\nline two\n\0", 23) },
    };
    for (const auto& c : cases) {
        RAMFILE f;
        TEXT(c.text).write(f);
        vfputstr("next", f); // whatever follows the record must stay readable
        EXPECT_EQ(allBytes(f).substr(0, c.record.size()), c.record);
        f.seek(0, 0);
        TEXT back("previous");
        EXPECT_EQ(back.read(f), 1);
        EXPECT_EQ(value(back), c.text ? std::optional<std::string>(c.text) : std::nullopt);
        char next[256];
        EXPECT_STREQ(vfgetstr(next, f), "next");
    }
}

TEST(TEXT, DamagedRecordKeepsWhatItHeld)
{
    struct Case {
        const char* what;
        std::string file;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        { "empty file", "", std::nullopt },
        { "length below its word", std::string("\2\0\0\0ab\0", 7), std::nullopt },
        { "cut short", std::string("\x40\0\0\0abc", 7), "abc" },
        { "no terminator", std::string("\6\0\0\0xy", 6), "xy" },
    };
    for (const auto& c : cases) {
        auto f = ramFileWith(c.file);
        TEXT t("previous");
        EXPECT_EQ(t.read(*f), 0) << c.what;
        EXPECT_EQ(value(t), c.text) << c.what;
    }
}

TEST(TEXT, PacksInsideALargerRecord)
{
    for (DPKB_MODE mode : { DPKB_WORD16, DPKB_WORD32 }) {
        DPKB b(16, mode);
        b.alloc(b.wordsize());
        EXPECT_EQ(TEXT("first").pack(b), 1);
        EXPECT_EQ(TEXT().pack(b), 1);
        EXPECT_EQ(TEXT("").pack(b), 1);
        EXPECT_EQ(b.putptr - b.base, b.wordsize() * 4 + 6 + 1);

        b.get(b.wordsize());
        TEXT first, none("x"), empty;
        EXPECT_EQ(first.unpack(b), 1);
        EXPECT_EQ(none.unpack(b), 1);
        EXPECT_EQ(empty.unpack(b), 1);
        EXPECT_EQ(value(first), "first");
        EXPECT_EQ(none.text, nullptr);
        EXPECT_EQ(value(empty), "");
        EXPECT_EQ(first.unpack(b), 0); // nothing left in the buffer
    }
}

TEST(TEXT, SixteenBitWordTakesAtMost65534Characters)
{
    DPKB b(0u, DPKB_WORD16);
    EXPECT_EQ(TEXT(std::string(65534, 'a').c_str()).pack(b), 1);
    EXPECT_EQ(b.putptr - b.base, 2 + 65535);
    EXPECT_EQ(TEXT(std::string(65535, 'a').c_str()).pack(b), 0);
    EXPECT_EQ(b.putptr - b.base, 2 + 65535);

    DPKB wide(0u, DPKB_WORD32);
    EXPECT_EQ(TEXT(std::string(65535, 'a').c_str()).pack(wide), 1);
}
