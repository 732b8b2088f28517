// The services a part offers its model that talk to the host, load firmware and make bus pins. The
// bus pin is the digital engine's: the recording fake shows the name and flag it is asked for.
#include "simulator/kernel/tests/circuittesting.h"

#include "engines/fakes/recorder.h"
#include "simulator/kernel/instance.h"
#include "testsupport/temp_folder.h"

#include <fstream>
#include <string>
#include <vector>

namespace {

class DIGITALPART : public INSTANCE {
public:
    using INSTANCE::INSTANCE;
    int isdigitalpin(SDF_PIN*) override { return 1; }
};

class InstanceServicesTest : public CircuitTest { };

TEST_F(InstanceServicesTest, BusPinsAreFoundByNameAndNamedAfterTheirRange)
{
    DIGITALPART part("U1", nullptr, nullptr, nullptr);
    SDF_NETLIST netlist;
    char* net = netlist.getnet("N");
    IPALLEXPIN2* handles[3] {};
    const char* names[] = { "D0", "D[1]", "D2" };
    for (int i = 0; i < 3; ++i) {
        part.addpin(names[i], PIN_IO, net);
        handles[i] = reinterpret_cast<IPALLEXPIN2*>(&handles[i]);
        part.digitalpins[names[i]]->digital = handles[i];
    }
    mark = size();
    EXPECT_NE(part.getbuspinbyname("D,extra", 0, 3, 1), nullptr);
    EXPECT_NE(part.getbuspin("DATA", handles, 3), nullptr);
    EXPECT_EQ(part.getbuspinbyname("D", 0, 4, 0), nullptr);
    EXPECT_EQ(log(), "");
    EXPECT_EQ(part.getbuspinbyname("D", 1, 3, 1), nullptr);
    EXPECT_EQ(log(), "#E:Bus pin 'D' not found.\n%S=U1\n");
    EXPECT_THAT(fakes::callsof("pallex_getbuspin"),
        testing::ElementsAre("pallex_getbuspin(U1, D[0..3], 3, 0)", "pallex_getbuspin(U1, DATA, 3, 1)"));
}

// What the host window was sent while the message was being handled.
struct SENT {
    UINT message;
    WPARAM wparam;
    std::string caption;
};

struct HOST {
    static inline std::vector<SENT> sent;
    static LRESULT send(HWND, UINT message, WPARAM wParam, LPARAM lParam)
    {
        SENT entry { message, wParam, {} };
        if (message == WM_HOSTPOPUP && wParam != 0xFFFFFFFF)
            entry.caption = reinterpret_cast<const POPUPRECORD*>(lParam)->caption;
        sent.push_back(entry);
        return message == WM_HOSTMESSAGE ? 77 : message == WM_HOSTPOPUP ? 0x1234 : 0;
    }
};

TEST_F(InstanceServicesTest, PopupsAndMessagesGoToTheHostOfAnInteractiveRunOnly)
{
    const HOSTLINK link = testhostlink(HOST::send);
    sethostlink(&link);
    read("TAVI\n\n:x\n*PARTLIST,3\nU1,X,,EID=2A\nU3#1,X,,EID=5\nU4,X,\n");
    auto make = [&](const char* name) {
        auto part = std::make_unique<INSTANCE>(name, nullptr, nullptr, nullptr);
        part->initialise(circuit.get(), nullptr);
        return part;
    };
    auto owned = make("U1_U2");
    auto hashed = make("U3#1_R1");
    auto orphan = make("U4_R1");
    POPUPRECORD record { 1, 0, "Meter" };

    // A batch run has no popups or host messages.
    HOST::sent.clear();
    EXPECT_EQ(owned->createpopup(&record), nullptr);
    EXPECT_EQ(owned->sendhostmessage(9), 0);
    owned->sendelementmessage(3);
    EXPECT_TRUE(HOST::sent.empty());

    signon(1, reinterpret_cast<HWND>(0x50));
    HOST::sent.clear();
    EXPECT_EQ(owned->createpopup(&record), reinterpret_cast<void*>(0x1234));
    EXPECT_STREQ(record.caption, "Meter");
    EXPECT_EQ(hashed->createpopup(&record), reinterpret_cast<void*>(0x1234));
    mark = size();
    EXPECT_EQ(orphan->createpopup(&record), nullptr);
    EXPECT_EQ(log(), "#W:No EID found for createpopup.\n%S=U4_R1\n");
    EXPECT_EQ(owned->sendhostmessage(9), 77);
    owned->setproperty("EID", "7");
    owned->sendelementmessage(3);
    ASSERT_EQ(HOST::sent.size(), 4u);
    EXPECT_EQ(HOST::sent[0].wparam, 0x2Au);
    EXPECT_EQ(HOST::sent[0].caption, "Meter - U1");
    // A part whose name carries '#' is the program's own: its caption stays.
    EXPECT_EQ(HOST::sent[1].wparam, 5u);
    EXPECT_EQ(HOST::sent[1].caption, "Meter");
    EXPECT_EQ(HOST::sent[2].message, WM_HOSTMESSAGE);
    EXPECT_EQ(HOST::sent[2].wparam, 9u);
    EXPECT_EQ(HOST::sent[3].message, WM_HOSTELEMENT);
    EXPECT_EQ(HOST::sent[3].wparam, 7u);
}

TEST_F(InstanceServicesTest, FirmwareImagesFillTheCellsOfTheirAddresses)
{
    const std::string folder = vkt::test::tempFolder().string();
    std::ofstream(folder + "/CODE.hex") << ":0400100001020304E2\n:00000001FF\n";
    std::ofstream(folder + "/code.S19") << "S107001001020304DE\nS9030000FC\n";
    std::ofstream(folder + "/CODE.BIN") << "\x01\x02\x03\x04";
    std::ofstream(folder + "/BAD.HEX") << ":0400100001020304E3\n:00000001FF\n";
    INSTANCE part("U1", nullptr, nullptr, nullptr);
    const struct {
        const char* file;
        uint32_t base;
        int32_t shift;
        int32_t cells;
        std::vector<uint8_t> expected; // the 6 cells after the load (0xEE: untouched)
        int result;
    } cases[] = {
        { "CODE.hex", 0x10, 0, 6, { 1, 2, 3, 4, 0xEE, 0xEE }, 1 },
        { "code.S19", 0x10, 0, 6, { 1, 2, 3, 4, 0xEE, 0xEE }, 1 },
        { "CODE.BIN", 0, 0, 6, { 1, 2, 3, 4, 0xEE, 0xEE }, 1 },
        // Every second address, from the base's alignment.
        { "CODE.hex", 0x10, 1, 6, { 1, 3, 0xEE, 0xEE, 0xEE, 0xEE }, 1 },
        { "CODE.hex", 0x11, 1, 6, { 2, 4, 0xEE, 0xEE, 0xEE, 0xEE }, 1 },
        // Bytes outside the cells are dropped.
        { "CODE.hex", 0x12, 0, 1, { 3, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE }, 1 },
        { "CODE.hex", 0x0E, 0, 3, { 0xEE, 0xEE, 1, 0xEE, 0xEE, 0xEE }, 1 },
        { "CODE.hex", 0x20, 0, 6, { 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE }, 1 },
        { "CODE.hex", 0x10, 32, 6, { 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE }, 1 },
        { "BAD.HEX", 0x10, 0, 6, { 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE }, 0 },
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> cells(6, 0xEE);
        std::string path = folder + "/" + c.file;
        EXPECT_EQ(part.loadmemory(path.c_str(), cells.data(), c.cells, c.base, c.shift), c.result) << c.file;
        EXPECT_EQ(cells, c.expected) << c.file << " base " << c.base << " shift " << c.shift;
    }
    mark = size();
    EXPECT_EQ(part.loadmemory((folder + "/BAD.HEX").c_str(), nullptr, 0, 0, 0), 0);
    EXPECT_EQ(log(),
        "#E:Cannot load the firmware image '" + folder + "/BAD.HEX': line 1: wrong checksum.\n%S=U1\n");
}

} // namespace
