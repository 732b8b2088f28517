#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "core/files/ramfile.h"
#include "platform/hulvane/cdbcore.h"
#include "platform/hulvane/tests/cdbfakes.h"
#include "testsupport/temp_folder.h"

namespace {

using namespace cdbtest;
namespace fs = std::filesystem;

const fs::path fixture = fs::path(VKT_TEST_SOURCE_DIR) / "fixtures" / "design.cdb";
const fs::path damaged = fs::path(VKT_TEST_SOURCE_DIR) / "damaged" / "cdb";

// Every kind of record: two boards (the second counting its own references), the master sheet,
// root and child sheets, parts of one and of several elements, an element read from an older
// design with overrides and module data, a tagged element, a clip with its parts and map.
struct RICHDESIGN {
    CDBCORE core;
    ANNOTATOR annotator;
    DEVICE resistor { "RES" };
    DEVICE gates { "7400" };
    DRAWING top;
    DRAWING child;
    DRAWING other;

    RICHDESIGN()
    {
        core.newdatabase("ROOT.CDB");
        core.newdesign();
        core.selectvariant('C');
        core.addsheet(nullptr, 1, "Master Sheet", 0);
        SHEET* root = core.addrootsheet(2, nullptr, 0);
        top.add(&resistor, "R", "10k")->props = "TOL=1%\n";
        top.add(&gates, "U", "7400", 4);
        top.addsub("SUB1", "AMP");
        top.select(core, root, &annotator);
        top.components[0]->tagged = 1;
        top.store(core, root);
        SHEET* below = core.addsheet(top.subcircuits[0]->bound, 3, "stage", 0);
        below->anninit = 100;
        child.add(&gates, "U", "7400", 4);
        child.add(&resistor, "R", "4k7");
        child.select(core, below, &annotator);
        child.store(core, below);
        PINOVERRIDE overrides[2];
        std::memset(overrides, 'p', sizeof overrides);
        core.addelement(below, 0, 0x12345678, "J1", overrides, 2, "data", 4);
        core.getboard(0)->lastsheet = root->id;

        BOARD* psu = core.addboard();
        psu->name = "Power \"A\"";
        psu->isnew = 0;
        core.setlocalids(psu, 1);
        SHEET* supply = core.addrootsheet(4, "supply", 0);
        other.add(&resistor, "R", "0R");
        other.select(core, supply, &annotator);
        other.store(core, supply);

        SNIPPET* clip = core.addsnippet(root);
        clip->area = BOX(-10, -20, 30, 40);
        clip->props.add("SOURCE", "filter.vktclip");
        clip->section.write("section", 7);
        clip->bindings.emplace_back("R1", 42);
        std::ostringstream errors;
        core.bindsnippet(clip, 1, 0, errors);
        core.addsnippet(supply, clip);
        core.selectroot(core.getboard(0)->module);
    }
};

std::string image(CDBCORE& core)
{
    RAMFILE file;
    EXPECT_EQ(core.save(file), 1);
    return std::string(reinterpret_cast<const char*>(file.buffer), static_cast<size_t>(file.length));
}

int load(CDBCORE& core, const std::string& bytes, std::string* reason = nullptr)
{
    RAMFILE file;
    file.write(bytes.data(), static_cast<int>(bytes.size()));
    file.rewind();
    return core.load(file, reason);
}

std::string readfile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(DesignDatabaseImage, SaveThenLoadGivesTheSameRecords)
{
    RICHDESIGN design;
    const std::string saved = image(design.core);
    CDBCORE loaded;
    std::string reason;
    ASSERT_EQ(load(loaded, saved, &reason), 1) << reason;
    EXPECT_EQ(dump(loaded), dump(design.core));
    EXPECT_EQ(image(loaded), saved);
    EXPECT_EQ(loaded.getvariant(), 'C');
    EXPECT_STREQ(loaded.getname(), "ROOT.CDB");
    EXPECT_EQ(loaded.currentboardindex(), 0);

    // What the objects put into the records comes back whole, tags and clips included.
    ELEMENT* resistor = loaded.getelement(design.top.components[0]->id);
    ASSERT_NE(resistor, nullptr);
    EXPECT_EQ(resistor->props, "TOL=1%\n");
    EXPECT_TRUE(resistor->tagged);
    EXPECT_NE(resistor->snippet, nullptr);
    ELEMENT* old = loaded.findelement(nullptr, "J1");
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->value, 0x12345678u);
    EXPECT_EQ(old->overrides.size(), 2u);
    EXPECT_EQ(std::string(old->moddata.begin(), old->moddata.end()), "data");
    EXPECT_EQ(loaded.getboard(1)->name, "Power \"A\"");
    EXPECT_EQ(loaded.getboard(1)->localids, 1);
    EXPECT_EQ(loaded.getsheet(design.core.getboard(0)->lastsheet)->module, loaded.getboard(0)->module);

    // The loaded database goes on where the saved one stood: new identifiers never meet old ones.
    const int elements = loaded.numelements();
    DRAWING more;
    more.add(&design.resistor, "R", "1k");
    more.sync(loaded, loaded.addrootsheet(9, nullptr, 0), 0);
    EXPECT_EQ(loaded.numelements(), elements + 1);
}

TEST(DesignDatabaseImage, TheLayoutIsFrozenByItsFixture)
{
    RICHDESIGN design;
    const std::string saved = image(design.core);
    const std::string frozen = readfile(fixture);
    if (saved != frozen)
        std::ofstream(vkt::test::tempFolder() / "design.cdb", std::ios::binary) << saved;
    ASSERT_EQ(saved, frozen) << "the image written now is in " << (vkt::test::tempFolder() / "design.cdb");
    CDBCORE loaded;
    ASSERT_EQ(load(loaded, frozen), 1);
    EXPECT_EQ(dump(loaded), dump(design.core));
}

// A damaged image is refused with its reason and the database keeps what it held.
TEST(DesignDatabaseImage, DamagedImagesAreRefusedWhole)
{
    RICHDESIGN design;
    const std::string before = dump(design.core);
    const std::string whole = readfile(fixture);
    ASSERT_FALSE(whole.empty());
    for (size_t size = 0; size < whole.size(); ++size) {
        std::string reason;
        ASSERT_EQ(load(design.core, whole.substr(0, size), &reason), 0) << size;
        EXPECT_FALSE(reason.empty());
    }
    int files = 0;
    for (const auto& entry : fs::directory_iterator(damaged)) {
        std::string reason;
        EXPECT_EQ(load(design.core, readfile(entry.path()), &reason), 0) << entry.path();
        EXPECT_FALSE(reason.empty()) << entry.path();
        ++files;
    }
    EXPECT_GT(files, 0);
    EXPECT_EQ(dump(design.core), before);

    // A byte changed anywhere is refused, or reads as a database that saves and reads again.
    for (size_t at = 0; at < whole.size(); ++at) {
        std::string changed = whole;
        changed[at] = static_cast<char>(changed[at] ^ 0x5a);
        CDBCORE other;
        if (load(other, changed)) {
            EXPECT_EQ(load(other, image(other)), 1) << at;
        }
    }
}

TEST(DesignDatabaseImage, ReasonsNameWhatWasWrong)
{
    const std::string whole = readfile(fixture);
    const struct {
        size_t at;
        std::string bytes;
        const char* reason;
    } cases[] = {
        { 0, "VKTCDX", "not a design database" },
        { 8, std::string("\x01\0\0\0", 4), "earlier form" },
        { 8, std::string("\x03\0\0\0", 4), "later version" },
        { 12, std::string("\x01", 1), "reserved" },
    };
    for (const auto& c : cases) {
        std::string changed = whole;
        changed.replace(c.at, c.bytes.size(), c.bytes);
        CDBCORE core;
        std::string reason;
        EXPECT_EQ(load(core, changed, &reason), 0);
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    }
    CDBCORE core;
    std::string reason;
    EXPECT_EQ(load(core, whole + '\0', &reason), 0);
    EXPECT_EQ(reason, "bytes follow its end");
    EXPECT_EQ(load(core, "VKTCDB 1\nname \"ROOT.CDB\"\n", &reason), 0);
}

} // namespace
