#include "core/containers/didx.h"
#include "core/text/proptext.h"
#include "platform/lunder/dlib.h"
#include "platform/lunder/tests/libtest.h"
#include "platform/win/pathboundary.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <strings.h>

namespace fs = std::filesystem;

namespace {

int classify(const PROPTEXT& text)
{
    return text.exists("COMPONENT", "MODFILE") ? LIBCLASS_MODEL : 0;
}

// A device library "TTL" of a few entries, open with keywords.
class LibrarySearch : public testing::Test {
protected:
    void SetUp() override
    {
        const char* model = "*COMPONENT\nMODFILE=X.MDF\n";
        std::vector<TESTRECORD> records = {
            { "$GND", 1, record("$GND", "", "*INDEX\nDESC=Ground\n") },
            { "7400", 1,
                record("7400", "",
                    (std::string("*INDEX\nCAT=Logic\nSUBCAT=Gates\nMFR=Texas\nCODE=SN7400N\nDESC=Quad "
                                 "2-input NAND gate\n")
                        + model)
                        .c_str()) },
            { "7404", 1,
                record("7404", "",
                    (std::string("*INDEX\nCAT=Logic\nSUBCAT=Inverters\nMFR=Texas\nDESC=Hex inverter\n")
                        + model)
                        .c_str()) },
            { "[DIL14]", 1, record("[DIL14]", "", "*INDEX\nCAT=Logic\nDESC=NAND package\n") },
            { "LM358", 1,
                record("LM358", "",
                    "*INDEX\nCAT=Operational Amplifiers\nMFR=National\nCODE=LM358N\nDESC=Dual op-amp\n") },
            { "NOCAT", 1, record("NOCAT", "", "") },
            { "RES", 1,
                record("RES", "",
                    (std::string("*INDEX\nCAT=Resistors\nDESC=Generic resistor\n") + model).c_str()) },
        };
        fs::path folder = vkt::test::makeTempSubfolder("search");
        writelibrary(folder / "TTL.LIB", "DEVICE LIBRARY", records);
        library = std::make_unique<DLIB>(towindowspath((folder / "TTL.LIB").string()).c_str(), 1, classify);
        std::string error;
        ASSERT_EQ(library->open("DEVICE LIBRARY", "", error), DLIB::OPENED) << error;
    }

    std::set<std::string> tagged() const
    {
        std::set<std::string> names;
        for (int i = 0; i < library->count(); ++i) {
            if (library->entry(i)->tagged)
                names.insert(library->entry(i)->name);
        }
        return names;
    }

    std::unique_ptr<DLIB> library;
};

std::set<std::string> texts(const DIDX& index)
{
    std::set<std::string> out;
    for (int i = 0; i < index.count; ++i)
        out.insert(index.key(i));
    return out;
}

struct INDEXES {
    DIDX categories { 1, DIDX::REPLACE, strcasecmp };
    DIDX types { 1, DIDX::REPLACE, strcasecmp };
    DIDX subcategories { 1, DIDX::REPLACE, strcasecmp };
    DIDX manufacturers { 1, DIDX::REPLACE, strcasecmp };
    ~INDEXES()
    {
        for (DIDX* index : { &categories, &types, &subcategories, &manufacturers })
            index->zap();
    }
};

} // namespace

TEST_F(LibrarySearch, TagMarksTheEntriesThatHoldEveryWordAndPassEveryFilter)
{
    constexpr unsigned BASE = 0x4A;
    struct CASE {
        std::vector<const char*> words;
        const char* cat;
        const char* subcat;
        const char* mfr;
        int whole;
        unsigned options;
        unsigned filters;
        std::set<std::string> expected;
    };
    const CASE cases[] = {
        { { "nand" }, nullptr, nullptr, nullptr, 0, BASE, 0, { "7400" } },
        { { "QUAD", "gate" }, nullptr, nullptr, nullptr, 0, BASE, 0, { "7400" } },
        { { "quad", "inverter" }, nullptr, nullptr, nullptr, 0, BASE, 0, {} },
        { { "inv" }, nullptr, nullptr, nullptr, 0, BASE, 0, { "7404" } },
        { { "inv" }, nullptr, nullptr, nullptr, 1, BASE, 0, {} },
        { { "op-amp" }, nullptr, nullptr, nullptr, 1, BASE, 0, { "LM358" } },
        { { "74" }, nullptr, nullptr, nullptr, 0, BASE, 0, { "7400", "7404" } },
        { { "texas" }, nullptr, nullptr, nullptr, 0, BASE, 0, {} },
        { { "texas" }, nullptr, nullptr, nullptr, 0, BASE | LIBMATCH_MANUFACTURER, 0, { "7400", "7404" } },
        { { "SN7400" }, nullptr, nullptr, nullptr, 0, BASE | LIBMATCH_STOCKCODE, 0, { "7400" } },
        { { "amplifiers" }, nullptr, nullptr, nullptr, 0, BASE, 0, { "LM358" } },
        { { "ttl" }, nullptr, nullptr, nullptr, 0, BASE | LIBMATCH_LIBRARY, 0,
            { "$GND", "7400", "7404", "LM358", "NOCAT", "RES" } },
        { {}, "LOGIC", nullptr, nullptr, 0, BASE, 0, { "7400", "7404" } },
        { {}, "Logic", "Gates", nullptr, 0, BASE, 0, { "7400" } },
        { {}, "", nullptr, nullptr, 0, BASE, 0, { "$GND", "NOCAT" } },
        { {}, "Resistors", "", "", 0, BASE, 0, { "RES" } },
        { { "" }, nullptr, nullptr, "National", 0, BASE, 0, { "LM358" } },
        { {}, nullptr, nullptr, nullptr, 0, BASE, LIBFILTER_MODELS, { "7400", "7404", "RES" } },
        { { "gate" }, nullptr, nullptr, nullptr, 0, BASE, LIBFILTER_MODELS, { "7400" } },
    };
    for (const CASE& c : cases) {
        char words[LIBMAXWORDS][LIBWORDSIZE] = {};
        for (size_t w = 0; w < c.words.size(); ++w)
            std::strncpy(words[w], c.words[w], LIBWORDSIZE - 1);
        int count = library->tag(words, static_cast<int>(c.words.size()), c.cat, nullptr, c.subcat, c.mfr,
            c.whole, c.options, c.filters);
        EXPECT_EQ(tagged(), c.expected)
            << (c.words.empty() ? "" : c.words[0]) << " " << (c.cat ? c.cat : "-");
        EXPECT_EQ(count, static_cast<int>(c.expected.size()));
    }
}

TEST_F(LibrarySearch, IndexListsGiveTheDistinctTextsAndWhatIsMissing)
{
    {
        INDEXES lists;
        lists.categories.addmissing("LOGIC");
        int bits = library->get_index_lists(
            nullptr, nullptr, &lists.categories, &lists.types, nullptr, nullptr, nullptr, 0, 0);
        EXPECT_EQ(bits, 3);
        EXPECT_EQ(texts(lists.categories),
            (std::set<std::string> { "LOGIC", "Operational Amplifiers", "Resistors" }));
        EXPECT_EQ(lists.types.count, 0);
    }
    {
        INDEXES lists;
        int bits = library->get_index_lists(
            "Logic", nullptr, nullptr, nullptr, &lists.subcategories, &lists.manufacturers, nullptr, 0, 0);
        EXPECT_EQ(bits, 0);
        EXPECT_EQ(texts(lists.subcategories), (std::set<std::string> { "Gates", "Inverters" }));
        EXPECT_EQ(texts(lists.manufacturers), (std::set<std::string> { "Texas" }));
    }
    {
        INDEXES lists;
        EXPECT_EQ(library->get_index_lists("Resistors", "", nullptr, nullptr, &lists.subcategories,
                      &lists.manufacturers, nullptr, 0, 0),
            2 | 4);
        EXPECT_EQ(lists.subcategories.count + lists.manufacturers.count, 0);
    }
    {
        INDEXES lists;
        EXPECT_EQ(library->get_index_lists(nullptr, nullptr, &lists.categories, nullptr, nullptr, nullptr,
                      nullptr, 0, LIBFILTER_MODELS),
            0);
        EXPECT_EQ(texts(lists.categories), (std::set<std::string> { "Logic", "Resistors" }));
    }
    {
        // With the flag, only what the last tag marked.
        char words[LIBMAXWORDS][LIBWORDSIZE] = { "dual" };
        ASSERT_EQ(library->tag(words, 1, nullptr, nullptr, nullptr, nullptr, 0, 0x4A, 0), 1);
        INDEXES lists;
        EXPECT_EQ(library->get_index_lists(nullptr, nullptr, &lists.categories, nullptr, nullptr,
                      &lists.manufacturers, nullptr, 1, 0),
            0);
        EXPECT_EQ(texts(lists.categories), (std::set<std::string> { "Operational Amplifiers" }));
        EXPECT_EQ(texts(lists.manufacturers), (std::set<std::string> { "National" }));
    }
}
