#include "framework/appln/applnvars.h"

#include <gtest/gtest.h>

#include <QString>
#include <cstring>
#include <string>

#include "core/windows/registry.h"
#include "framework/appln/applnmodule.h"
#include "framework/appln/registrytext.h"

namespace {

constexpr const char* section = "Settings";

// A module whose context, with a registry branch of the test, is current.
class SETTINGSMODULE : public APPLNMODULE {
public:
    SETTINGSMODULE()
        : APPLNMODULE(nullptr)
    {
        pushcontext();
        reg_init(REGISTRY_USERTHENMACHINE, "Software\\Venthorne Electronics\\Settings Test");
    }
    ~SETTINGSMODULE() override
    {
        reg_removekey(nullptr);
        reg_term();
        popcontext();
    }
};

struct SETTINGS {
    int flag = 1;
    unsigned char byte = 7;
    unsigned short word = 300;
    unsigned int number = 70000;
    char text[8] = "abc";
    unsigned char block[4] = { 1, 2, 3, 4 };
};

void registerall(APPLNVARS& vars, SETTINGS& s)
{
    vars.register_applnvar("Flag", APPLNVAR_BOOL, &s.flag, 0);
    vars.register_applnvar("Byte", APPLNVAR_BYTE, &s.byte, 0);
    vars.register_applnvar("Word", APPLNVAR_WORD, &s.word, 0);
    vars.register_applnvar("Number", APPLNVAR_DWORD, &s.number, 0);
    vars.register_applnvar("Text", APPLNVAR_TEXT, s.text, sizeof s.text);
    vars.register_applnvar("Block", APPLNVAR_BINARY, s.block, sizeof s.block);
}

bool stored(const char* name)
{
    return reg_getsize(section, name) >= 0;
}

} // namespace

TEST(ApplicationVariables, OnlyChangedVariablesAreWrittenAndTheyReadBack)
{
    SETTINGSMODULE module;
    SETTINGS s;
    APPLNVARS vars;
    registerall(vars, s);
    EXPECT_EQ(vars.register_applnvar("Sized", APPLNVAR_TEXT, s.text, 0), 0) << "a text buffer gives its size";
    EXPECT_EQ(vars.register_applnvar("Odd", 8, &s.flag, 0), 0);
    vars.load_applnvars(section);
    vars.save_applnvars(section);
    EXPECT_FALSE(stored("Flag")) << "saving right after loading writes nothing";
    EXPECT_FALSE(stored("Text"));

    s.flag = 0;
    s.word = 0xBEEF;
    strcpy(s.text, "changed");
    vars.save_applnvars(section);
    EXPECT_TRUE(stored("Flag"));
    EXPECT_TRUE(stored("Word"));
    EXPECT_TRUE(stored("Text"));
    EXPECT_FALSE(stored("Number"));

    s.flag = 1; // back to what was loaded: the registry holds 0 now, so it is written
    vars.save_applnvars(section);
    SETTINGS t;
    t.flag = 0;
    APPLNVARS other;
    registerall(other, t);
    reg_putval(section, "Byte", 0x1FF);
    reg_putbin(section, "Block", "\x09\x08\x07\x06", 4);
    other.load_applnvars(section);
    EXPECT_EQ(t.flag, 1);
    EXPECT_EQ(t.word, 0xBEEF);
    EXPECT_STREQ(t.text, "changed");
    EXPECT_EQ(t.number, 70000u) << "a missing value leaves its variable";
    EXPECT_EQ(t.byte, 0xFF) << "cut to the variable's width";
    EXPECT_EQ(t.block[0], 9);

    other.restore_applnvars();
    EXPECT_EQ(t.flag, 0) << "back to the contents before the first load";
    EXPECT_EQ(t.byte, 7);
    EXPECT_STREQ(t.text, "abc");
}

TEST(ApplicationVariables, TextsAreCutOnACharacterBoundaryWithRoomForTheTerminator)
{
    SETTINGSMODULE module;
    char text[6] = "x";
    unsigned char block[3] = { 5, 5, 5 };
    APPLNVARS vars;
    vars.register_applnvar("Text", APPLNVAR_TEXT, text, sizeof text);
    vars.register_applnvar("Block", APPLNVAR_BINARY, block, sizeof block);
    reg_putstr(section, "Text",
        "ab\xE2\x82\xAC"
        "cd"); // a b euro c d: 7 bytes
    reg_putbin(section, "Block", "\x01\x02", 2);
    vars.load_applnvars(section);
    EXPECT_STREQ(text, "ab\xE2\x82\xAC");
    reg_putstr(section, "Text", "abcd\xE2\x82\xAC");
    vars.load_applnvars(section);
    EXPECT_STREQ(text, "abcd") << "the euro sign does not fit whole";
    EXPECT_EQ(block[0], 5) << "a block of another size is not taken";
}

TEST(ApplicationVariables, QtStringsCrossTheRegistryInTheLocalEncoding)
{
    SETTINGSMODULE module;
    const QString name = QString::fromUtf8("Widerstand 4,7 k\xCE\xA9 \xE2\x80\x93 M\xC3\xBCller");
    EXPECT_EQ(reg_putstr(section, "Name", name), 1);
    QString read;
    EXPECT_EQ(reg_getstr(section, "Name", read), 1);
    EXPECT_EQ(read, name);
    std::string bytes;
    EXPECT_TRUE(reg_getstring(section, "Name", bytes));
    EXPECT_EQ(bytes, name.toStdString());
    QString untouched = "kept";
    EXPECT_EQ(reg_getstr(section, "Missing", untouched), 0);
    EXPECT_EQ(untouched, "kept");
}
