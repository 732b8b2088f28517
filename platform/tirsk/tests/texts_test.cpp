#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/tirsk/datetext.h"
#include "platform/tirsk/keytext.h"

namespace {

// Tuesday 2 January 2024, 10:11:12 and 22:05:09 universal time, read in the UTC zone.
constexpr time_t morning = 1704190272;
constexpr time_t evening = morning + 11 * 3600 + 53 * 60 + 57;

class DateText : public testing::Test {
protected:
    void SetUp() override
    {
        const char* zone = std::getenv("TZ");
        saved = zone ? zone : "";
        hadzone = zone != nullptr;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override
    {
        if (hadzone)
            setenv("TZ", saved.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    std::string saved;
    bool hadzone = false;
};

TEST_F(DateText, StylesAndPictures)
{
    struct Case {
        const char* (*format)(time_t, int, const char*);
        time_t t;
        int style;
        const char* picture;
        const char* expected;
    };
    const Case cases[] = {
        { fmtwindate, morning, DATE_SHORTDATE, nullptr, "02/01/2024" },
        { fmtwindate, morning, DATE_LONGDATE, nullptr, "02 January 2024" },
        { fmtwindate, morning, 0, "yyyyMMdd", "20240102" },
        { fmtwindate, morning, 0, "ddd d MMM yy", "Tue 2 Jan 24" },
        { fmtwindate, morning, 0, "dddd', the 'd", "Tuesday, the 2" },
        { fmtwindate, morning, 0, "'unclosed", "unclosed" },
        { fmtwindate, morning, 0, "HH-mm", "HH-mm" }, // no time fields in a date
        { fmtwintime, morning, 0, nullptr, "10:11:12" }, { fmtwintime, morning, 0, "HH-mm-ss", "10-11-12" },
        { fmtwintime, evening, 0, "h:mm tt", "10:05 PM" },
        { fmtwintime, evening, 0, "hh t yyyy", "10 P yyyy" }, // no date fields in a time
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.format(c.t, c.style, c.picture), c.expected) << (c.picture ? c.picture : "(style)");
}

TEST(KeyText, NamesAndModifierPrefixes)
{
    struct Case {
        unsigned long key;
        const char* prefix;
        const char* name;
    };
    const Case cases[] = {
        { 0x22000 | 'N', "Ctrl+", "N" },
        { 0x44000 | 0x73, "Alt+", "F4" },
        { 0x70, "", "F1" },
        { 0x2000 | 0x1000 | '5', "Ctrl+Shift+", "5" }, // the low set alone counts
        { 0x80000 | 0x40000 | 0x121, "Win+Alt+", "Page Up" },
        { 0x12E, "", "Delete" },
        { 0x11000 | 0x67, "Shift+", "Num 7" },
        { 0xBA, "", ";" },
        { 0x07, "", "#07" },
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(getshiftkeytext(c.key, "+", "WCAS"), c.prefix) << std::hex << c.key;
        EXPECT_STREQ(getkeytext(c.key), c.name) << std::hex << c.key;
    }
    EXPECT_STREQ(getshiftkeytext(0x33000 | 'X', " - ", "SXC"), "Shift - Ctrl - ");
    EXPECT_STREQ(getshiftkeytext(0x33000 | 'X', nullptr, nullptr), "");
}

} // namespace
