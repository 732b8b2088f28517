#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/hulvane/librarypaths.h"
#include "platform/hulvane/propdef.h"
#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

namespace {

namespace fs = std::filesystem;

const fs::path fixture = fs::path(VKT_TEST_SOURCE_DIR) / "fixtures" / "propdefs" / "PROPDEFS.INI";
const fs::path damaged = fs::path(VKT_TEST_SOURCE_DIR) / "damaged" / "propdefs";

std::string readfile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string describe(const std::vector<PROPDEF>& defs)
{
    std::ostringstream out;
    for (const PROPDEF& def : defs)
        out << def.name << '|' << def.description << '|' << propdeftypename(def.type) << '|' << def.editmode << '|'
            << def.visibility << '|' << def.value << '|' << def.args << '\n';
    return out.str();
}

const PROPDEF& find(const std::vector<PROPDEF>& defs, const char* name)
{
    for (const PROPDEF& def : defs) {
        if (def.name == name)
            return def;
    }
    static const PROPDEF none;
    ADD_FAILURE() << name;
    return none;
}

TEST(PropertyDefinitions, ReadInTheirOrderWithTheirDefaultsAndWrittenBackTheSame)
{
    std::vector<PROPDEF> defs;
    std::ostringstream messages;
    ASSERT_EQ(parse_propdefs(readfile(fixture), "STRING", defs, &messages), 1) << messages.str();
    EXPECT_EQ(describe(defs),
        "PRIMITIVE|Primitive Type|KEYWORD|4|0||2,ANALOG,DIGITAL\n"
        "TOL|Tolerance|KEYEDIT|0|1|5%|3,1%,5%,10%\n"
        "PACKAGE|PCB Package|PACKAGE|0|0||1,DIL14\n"
        "STAGES|Stages|INTEGER|0|0|2|POZ\n"
        "GAIN|Gain|FLOAT|2|0||-1.5,10\n"
        "MODFILE|Model File|FILENAME|0|0||\"C:\\MODELS,OLD\",Model Files/*.MDF\n"
        "TRACE|Trace|TRACE|2|3|1|\n"
        "INIT|Initial State|STATE|0|0||\n"
        "MODDATA|Module Data|STRING|0|0||\n"
        "SPARE|SPARE|STRING|0|0|yes|\n");
    const std::string written = format_propdefs(defs);
    std::vector<PROPDEF> again;
    ASSERT_EQ(parse_propdefs(written, "STRING", again, &messages), 1) << messages.str() << written;
    EXPECT_EQ(describe(again), describe(defs));
    EXPECT_EQ(format_propdefs(again), written);
}

TEST(PropertyDefinitions, ArgumentsReadAsKeywordsLimitsAndFileArguments)
{
    std::vector<PROPDEF> defs;
    ASSERT_EQ(parse_propdefs(readfile(fixture), "STRING", defs, nullptr), 1);
    int count = 0;
    std::string keywords;
    ASSERT_EQ(find(defs, "PACKAGE").getkwdargs(count, keywords), 1);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(keywords, "DIL14");
    EXPECT_EQ(find(defs, "STAGES").getkwdargs(count, keywords), 0);

    const struct {
        const char* args;
        int limited;
        int low;
        int high;
    } limits[] = {
        { "PNZ", 1, 1, INT_MAX },
        { "POZ", 1, 0, INT_MAX },
        { "NNZ", 1, INT_MIN, -1 },
        { "noz", 1, INT_MIN, 0 },
        { "-3,7", 1, -3, 7 },
        { "", 0, INT_MIN, INT_MAX },
    };
    for (const auto& l : limits) {
        PROPDEF def;
        def.type = PROPDEF::INTEGER;
        def.args = l.args;
        int low = 0;
        int high = 0;
        EXPECT_EQ(def.getintlimits(low, high), l.limited) << l.args;
        EXPECT_EQ(low, l.low) << l.args;
        EXPECT_EQ(high, l.high) << l.args;
    }
    double low = 0;
    double high = 0;
    ASSERT_EQ(find(defs, "GAIN").getfplimits(low, high), 1);
    EXPECT_EQ(low, -1.5);
    EXPECT_EQ(high, 10);

    std::string folder, description, extension;
    ASSERT_EQ(find(defs, "MODFILE").getfnargs(folder, description, extension), 1);
    EXPECT_EQ(folder, "C:\\MODELS,OLD");
    EXPECT_EQ(description, "Model Files");
    EXPECT_EQ(extension, "*.MDF");
    PROPDEF file;
    file.type = PROPDEF::FILENAME;
    file.setfnargs("", "Text Files", "*.TXT", 0);
    ASSERT_EQ(file.getfnargs(folder, description, extension), 1);
    EXPECT_EQ(folder + "|" + description + "|" + extension, "|Text Files|*.TXT");
    PROPDEF kinds;
    kinds.type = PROPDEF::KEYWORD;
    kinds.setkwdargs(2, "A,B");
    EXPECT_EQ(kinds.args, "2,A,B");
    EXPECT_STREQ(PROPDEF::tracemodenames[3], "Debug");
}

TEST(PropertyDefinitions, DamagedTextsAreRefusedWithTheirLineAndColumn)
{
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        { "noequals.txt", "line 2, column 1: '=' expected.\n" },
        { "unquoted.txt", "line 2, column 5: a quoted description expected.\n" },
        { "openquote.txt", "line 2, column 5: the description lacks its closing '\"'.\n" },
        { "badtype.txt", "line 2, column 17: unknown type 'WORD'.\n" },
        { "editmode.txt", "line 2, column 17: the edit mode is a number from 0 to 4.\n" },
        { "visibility.txt", "line 2, column 17: the visibility is a number from 0 to 3.\n" },
        { "limits.txt", "line 2, column 19: limits are PNZ, POZ, NNZ, NOZ or a minimum and a maximum.\n" },
        { "kwdcount.txt", "line 2, column 18: a keyword count expected.\n" },
        { "twice.txt", "line 3, column 4: property 'a' is defined twice.\n" },
        { "noname.txt", "line 2, column 1: a property name has 1 to 49 characters.\n" },
        { "badname.txt", "line 2, column 1: a property name is of letters, digits and signs other than \" , ; = { }.\n" },
        { "notype.txt", "line 2, column 16: ',' and a type expected.\n" },
    };
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(damaged))
        ++files;
    EXPECT_EQ(files, static_cast<int>(std::size(cases))) << "every damaged text has its case here";
    for (const auto& c : cases) {
        std::vector<PROPDEF> defs(1);
        defs[0].name = "KEPT";
        std::ostringstream messages;
        EXPECT_EQ(parse_propdefs(readfile(damaged / c.file), "STRING", defs, &messages), 0) << c.file;
        EXPECT_EQ(messages.str(), c.message) << c.file;
        ASSERT_EQ(defs.size(), 1u);
        EXPECT_EQ(defs[0].name, "KEPT");
    }
    std::vector<PROPDEF> defs;
    std::ostringstream messages;
    EXPECT_EQ(parse_propdefs("", "WORD", defs, &messages), 0);
    EXPECT_EQ(messages.str(), "line 0, column 1: unknown default type 'WORD'.\n");
}

TEST(PropertyDefinitions, TheDefaultsLoadFromTheLibraryFoldersAndSaveInPlace)
{
    const fs::path folder = vkt::test::makeTempSubfolder("library");
    fs::copy_file(fixture, folder / "PROPDEFS.INI");
    std::strcpy(library_paths, towindowspath(folder.string()).c_str());
    std::vector<PROPDEF> defs;
    std::string error;
    ASSERT_EQ(load_defaultdefs(defs, error), 1) << error;
    ASSERT_EQ(defs.size(), 10u);
    defs.pop_back();
    defs[1].value = "1%";
    ASSERT_EQ(save_defaultdefs(defs), 1);
    const std::string saved = readfile(folder / "PROPDEFS.INI");
    EXPECT_EQ(saved.rfind("VERSION=8\n; the definitions every library shares\n", 0), 0u) << saved;
    std::vector<PROPDEF> again;
    ASSERT_EQ(load_defaultdefs(again, error), 1) << error;
    EXPECT_EQ(describe(again), describe(defs));

    std::ofstream(folder / "PROPDEFS.INI") << "*PROPDEFS\nX\n";
    EXPECT_EQ(load_defaultdefs(again, error), 0);
    EXPECT_EQ(error, "PROPDEFS.INI, line 2, column 1: '=' expected.\n");
    library_paths[0] = '\0';
    EXPECT_EQ(load_defaultdefs(again, error), 0);
    EXPECT_EQ(save_defaultdefs(defs), 0);
}

} // namespace
