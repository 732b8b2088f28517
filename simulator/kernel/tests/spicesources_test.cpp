#include "simulator/kernel/spicesources.h"

#include "core/windows/registry.h"
#include "platform/win/pathboundary.h"
#include "simulator/kernel/modellibrary.h"
#include "simulator/kernel/modellibrarybytes.h"
#include "simulator/kernel/tests/circuittesting.h"
#include "simulator/kernel/spicedeck/spicedeck.h"
#include "testsupport/temp_folder.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using testing::ElementsAre;
using testing::HasSubstr;

class SpiceModelsTest : public CircuitTest {
protected:
    void SetUp() override
    {
        CircuitTest::SetUp();
        folder = vkt::test::makeTempSubfolder("models");
        setenv("MODELS", folder.string().c_str(), 1);
        ASSERT_EQ(reg_init(REGISTRY_USERTHENMACHINE, "Software\\Venthorne\\Spice Models Test"), 1);
    }

    void TearDown() override
    {
        reg_term();
        unsetenv("MODELS");
        CircuitTest::TearDown();
    }

    void file(const char* name, const std::string& text) { std::ofstream(folder / name) << text; }

    // A model library of the folder with these members (name, text).
    void library(const char* name, const std::vector<std::pair<std::string, std::string>>& members)
    {
        std::vector<uint8_t> bytes(32 + 80 * 100);
        memcpy(bytes.data(), SPICELIBRARYSIGNATURE, strlen(SPICELIBRARYSIGNATURE));
        putle16(&bytes[16], 400);
        putle16(&bytes[20], 100);
        fs::path path = folder / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<char*>(bytes.data()), static_cast<long>(bytes.size()));
        DLIB writer(0, nullptr);
        ASSERT_EQ(writer.open(towindowspath(path.string()).c_str(), SPICELIBRARYSIGNATURE, 0), 1);
        for (const auto& [member, text] : members)
            ASSERT_EQ(writer.putmember(member.c_str(), text.c_str(), static_cast<int>(text.size())), 1);
        writer.close();
    }

    // The texts of the deck that the circuit of these parts (and sections) gets.
    std::vector<std::string> link(const std::string& parts, const std::string& sections = "")
    {
        int lines = 0;
        for (char c : parts)
            lines += c == '\n';
        read("TAVI\n\n:Models\n*PROPERTIES,1\nTRACE_SPICELINK=2\n" + sections + "*PARTLIST,"
            + std::to_string(lines) + "\n" + parts);
        SPICEDECK deck;
        MLIBMANAGER libraries(10, 0, nullptr);
        libraries.load(folder.string().c_str(), SPICELIBRARYPATTERN, SPICELIBRARYSIGNATURE, 0);
        CIRCUITSOURCES sources(*circuit, &libraries);
        loadspicemodels(&deck, sources);
        libraries.unload();
        std::vector<std::string> texts;
        for (const SPICECARD* card = deck.head; card; card = card->next)
            texts.emplace_back(card->text);
        return texts;
    }

    fs::path folder;
};

TEST_F(SpiceModelsTest, ModelFilesAreReadOncePerLoad)
{
    file("BJT.LIB", ".model bc547 npn\n");
    file("bjt.mod", ".model bc548 npn\n");
    EXPECT_THAT(link("Q1,NPN,,PRIMITIVE=ANALOG,SPICEMODEL=\"BC547,BJT.LIB\"\nQ2,NPN,,PRIMITIVE=ANALOG,"
                     "SPICEMODEL=\"bc547, bjt.lib\"\n"
                     "Q3,NPN,,PRIMITIVE=ANALOG,SPICEMODEL=BC548 "
                     "BJT\nQ4,NPN,,PRIMITIVE=ANALOG,SPICEMODEL=BC549,SPICEFILE=BJT\n"),
        ElementsAre(".MODEL BC547 NPN", ".MODEL BC548 NPN"));
    std::string text = log();
    EXPECT_THAT(text, HasSubstr("#T:Linked SPICE file 'BJT.LIB'\n#T:Linked SPICE file 'BJT.MOD'\n"));
    EXPECT_EQ(text.find("Linked SPICE file 'bjt.lib'"), std::string::npos) << text;
}

TEST_F(SpiceModelsTest, FileAndLibraryPropertiesNeedASpiceModel)
{
    file("X.MOD", ".model x d\n");
    library("DIODES.SML", { { "1N4148", ".MODEL 1N4148 D IS=2.52N" } });
    EXPECT_THAT(link("D1,DIODE,,PRIMITIVE=ANALOG,SPICEFILE=X\nD2,DIODE,,PRIMITIVE=ANALOG,SPICELIB=DIODES\nD3,"
                     "DIODE,,PRIMITIVE=ANALOG,SPICEMODEL=?,SPICEFILE=X\n"),
        ElementsAre());
}

TEST_F(SpiceModelsTest, LibraryModelsAreLoadedOncePerLoad)
{
    library("DIODES.SML", { { "1N4148", ".MODEL 1N4148 D IS=2.52N" }, { "1N4001", ".model 1n4001 d" } });
    EXPECT_THAT(link("D1,DIODE,,PRIMITIVE=ANALOG,SPICEMODEL=1n4148,SPICELIB=DIODES\nD2,DIODE,,PRIMITIVE="
                     "ANALOG,SPICEMODEL=1N4148,SPICELIB=DIODES\n"
                     "D3,DIODE,,PRIMITIVE=ANALOG,SPICEMODEL=1N4001,SPICELIB=diodes.sml\nD4,DIODE,,PRIMITIVE="
                     "ANALOG,SPICEMODEL=1N9999,SPICELIB=DIODES\n"),
        ElementsAre(".MODEL 1N4148 D IS=2.52N", ".MODEL 1N4001 D"));
    std::string text = log();
    EXPECT_THAT(text, HasSubstr("#T:Loaded SPICE model '1N4148' from library 'DIODES'\n"));
    EXPECT_THAT(text, HasSubstr("#W:Cannot find library model '1N9999'\n"));
}

TEST_F(SpiceModelsTest, MissingFilesAreWarnedAboutAndReadAgainWhenNamedAgain)
{
    EXPECT_THAT(link("R1,RESISTOR,1k,PRIMITIVE=ANALOG,SPICEMODEL=\"R,NONE\"\nR2,RESISTOR,1k,PRIMITIVE=ANALOG,"
                     "SPICEMODEL=\"R,NONE\"\n"),
        ElementsAre());
    std::string text = log();
    size_t first = text.find("#W:cannot open SPICE source file NONE.MOD\n");
    ASSERT_NE(first, std::string::npos) << text;
    EXPECT_NE(text.find("#W:cannot open SPICE source file NONE.MOD\n", first + 1), std::string::npos) << text;
}

TEST_F(SpiceModelsTest, ModelFileThatIsAFolderIsAnErrorAndTheLoadGoesOn)
{
    fs::create_directory(folder / "DIODES.MOD");
    file("R.MOD", ".model r r\n");
    EXPECT_THAT(link("D1,DIODE,,PRIMITIVE=ANALOG,SPICEMODEL=\"D,DIODES\"\nR1,RESISTOR,1k,PRIMITIVE=ANALOG,"
                     "SPICEMODEL=\"R,R\"\n"),
        ElementsAre(".MODEL R R"));
    EXPECT_THAT(log(), HasSubstr("DIODES.MOD cannot be read: a folder, not a file\n"));
}

TEST_F(SpiceModelsTest, SpiceScriptsComeFirst)
{
    file("A.MOD", ".model a d\n");
    EXPECT_THAT(
        link("D1,DIODE,,PRIMITIVE=ANALOG,SPICEMODEL=\"A,A\"\n",
            "*SCRIPT SPICE\n.model s d\n+ n=2\n*ENDSCRIPT\n*SCRIPT PROGRAM spice\nignored\n*ENDSCRIPT\n"),
        ElementsAre(".MODEL S D  N=2", ".MODEL A D"));
}

} // namespace
