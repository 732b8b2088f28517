#include "platform/quenby/quenby.h"

#include "engines/fakes/instance.h"
#include "platform/quenby/image.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

std::string fixture(const std::string& name)
{
    return std::string(VKT_TEST_SOURCE_DIR) + "/" + name;
}

// A target that keeps every byte it is given by address, and the start address.
class MEMORY final : public ICPU {
public:
    int32_t extraspaces() override { return 0; }
    void writeblock(int32_t space, int32_t, uint32_t address, const uint8_t* bytes, int32_t count) override
    {
        spaces.push_back(space);
        for (int32_t i = 0; i < count; ++i)
            cells[address + static_cast<uint32_t>(i)] = bytes[i];
    }
    void setstart(uint32_t address) override { start = address; }
    int32_t readblock(int32_t, uint32_t, uint8_t*, int32_t) override { return 0; }
    uint32_t highestaddress(int32_t) override { return 0; }

    std::map<uint32_t, uint8_t> cells;
    std::vector<int32_t> spaces;
    int64_t start = -1;
};

using LOADER = int (*)(const char*, IINSTANCE*, int32_t, int32_t, ICPU*);

TEST(FirmwareImages, EachFormatLoadsItsBlocksAndStart)
{
    const std::map<uint32_t, uint8_t> records { { 0x0100, 1 }, { 0x0101, 2 }, { 0x0102, 3 }, { 0x0103, 4 },
        { 0x08000010, 0xAA }, { 0x08000011, 0xBB }, { 0x10002, 0x55 } };
    const struct {
        const char* file;
        LOADER loader;
        std::map<uint32_t, uint8_t> cells;
        int64_t start;
    } cases[] = {
        { "images/program.hex", load_hex, records, 0x08000010 },
        { "images/program.bin", load_bin, { { 0, 9 }, { 1, 8 }, { 2, 7 }, { 3, 6 }, { 4, 5 } }, -1 },
    };
    for (const auto& c : cases) {
        MEMORY memory;
        fakes::Instance reporter("U1");
        EXPECT_EQ(c.loader(fixture(c.file).c_str(), &reporter, 2, 0, &memory), 1) << c.file;
        EXPECT_EQ(memory.cells, c.cells) << c.file;
        EXPECT_EQ(memory.start, c.start) << c.file;
        EXPECT_EQ(memory.spaces, std::vector<int32_t>(memory.spaces.size(), 2)) << c.file;
        EXPECT_TRUE(reporter.messages.empty()) << c.file << ": " << reporter.messages.front();
    }
    // The S-records of the same program place its bytes where their 16-, 24- and 32-bit addresses say.
    MEMORY memory;
    EXPECT_EQ(load_s19(fixture("images/program.s19").c_str(), nullptr, 0, 0, &memory), 1);
    std::map<uint32_t, uint8_t> expected { { 0x0100, 1 }, { 0x0101, 2 }, { 0x0102, 3 }, { 0x0103, 4 },
        { 0x080010, 0xAA }, { 0x080011, 0xBB }, { 0x10000002, 0x55 } };
    EXPECT_EQ(memory.cells, expected);
    EXPECT_EQ(memory.start, 0x0100);
}

TEST(FirmwareImages, DamagedImagesAreRefusedWholeWithTheirLine)
{
    // Every file of the damaged corpus, with why it is refused.
    const std::map<std::string, std::string> reasons = {
        { "nocolon.hex", "line 1: not an Intel HEX record" },
        { "oddigits.hex", "line 1: not an Intel HEX record" },
        { "baddigit.hex", "line 1: not an Intel HEX record" },
        { "checksum.hex", "line 1: wrong checksum" },
        { "countlong.hex", "line 1: the record's byte count does not match its length" },
        { "cut.hex", "line 2: the record's byte count does not match its length" },
        { "window.hex", "line 1: the record runs past the end of its 64 KB address window" },
        { "linearwindow.hex", "line 2: the record runs past the end of its 64 KB address window" },
        { "noend.hex", "no end-of-file record: the image is cut short" },
        { "type.hex", "line 1: unknown record type" },
        { "basesize.hex", "line 1: an address record must hold 2 bytes" },
        { "longline.hex", "line 1: longer than any record" },
        { "nos.s19", "line 1: not a Motorola S-record" },
        { "s4.s19", "line 1: not a Motorola S-record" },
        { "checksum.s19", "line 1: wrong checksum" },
        { "countlong.s19", "line 1: the record's byte count does not match its length" },
        { "cut.s19", "line 2: the record's byte count does not match its length" },
        { "short.s19", "line 1: the record is too short for its address" },
        { "addressspace.s19", "line 1: the record runs past the end of its address space" },
        { "addressspace24.s19", "line 1: the record runs past the end of its address space" },
        { "recordcount.s19", "line 2: the record count does not match the data records before it" },
    };
    for (const auto& entry : std::filesystem::directory_iterator(fixture("damaged"))) {
        const std::string name = entry.path().filename().string();
        const std::string path = entry.path().string();
        auto reason = reasons.find(name);
        ASSERT_NE(reason, reasons.end()) << name << " has no reason in the table";
        LOADER loader = name.ends_with(".hex") ? load_hex : load_s19;
        MEMORY memory;
        fakes::Instance reporter("U1");
        EXPECT_EQ(loader(path.c_str(), &reporter, 0, 0, &memory), 0) << name;
        EXPECT_TRUE(memory.cells.empty()) << name;
        ASSERT_EQ(reporter.messages.size(), 1u) << name;
        EXPECT_EQ(
            reporter.messages[0], "E Cannot load the firmware image '" + path + "': " + reason->second + ".");
    }
}

TEST(FirmwareImages, FilesThatCannotBeReadAreReported)
{
    const std::string folder = vkt::test::tempFolder().string();
    const std::string missing = folder + "/missing.hex";
    const struct {
        std::string file;
        std::string reason;
    } cases[] = {
        { missing, "No such file or directory" },
        { folder, "not a regular file" },
        { "/dev/zero", "not a regular file" },
    };
    for (const auto& c : cases) {
        fakes::Instance reporter("U1");
        MEMORY memory;
        EXPECT_EQ(load_bin(c.file.c_str(), &reporter, 0, 0, &memory), 0) << c.file;
        ASSERT_EQ(reporter.messages.size(), 1u);
        EXPECT_EQ(
            reporter.messages[0], "E Cannot load the firmware image '" + c.file + "': " + c.reason + ".");
    }
    EXPECT_EQ(load_hex(missing.c_str(), nullptr, 0, 0, nullptr), 0);
}

} // namespace
