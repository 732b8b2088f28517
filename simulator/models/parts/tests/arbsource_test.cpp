#include "simulator/models/parts/tests/parttesting.h"

#include "simulator/models/parts/arbsource.h"

#include <string>

namespace {

using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;

// An arbitrary source B1 with its output on OUT and ground, and measuring pins A on N1, B on N2.
const char* arbnets = "OUT,1\nB1,PS,+\n\nN1,1\nB1,PS,A\n\nN2,1\nB1,PS,B\n\nGND,2\nB1,PS,-\nGND,PT,GND\n\n";

class ArbsourceTest : public PartTest {
protected:
    ARBSOURCE* source() { return dynamic_cast<ARBSOURCE*>(part("B1")); }
    void arbitrary(const char* row, const std::string& value)
    {
        forget();
        load("", std::string("B1,") + row + ",,PRIMITIVE=ANALOG,VALUE=\"" + value + "\"\n", arbnets);
        ASSERT_TRUE(build()) << log();
    }
};

TEST_F(ArbsourceTest, PinTermsBecomeNetNamesAndProbeCurrents)
{
    struct CASE {
        const char* row;
        const char* value;
        const char* parsed; // the text the engine's parser gets
        const char* parameter; // the parameter the tree is set to
        std::vector<std::string> probes;
    } cases[] = {
        { "AVS", "V(A)*2", "v(\"N1\")*2", "v", {} },
        { "ACS", "1m * V( a , B ) + 3", "1m*v(\"N1\",\"N2\")+3", "i", {} },
        { "AVS", "I(B,A)", "-i(\"B1#AB\")", "v", { "B1#AB" } },
        { "AVS", "i(A,B)+i(B,A)", "i(\"B1#AB\")+-i(\"B1#AB\")", "v", { "B1#AB" } },
        { "AVS", "dev(A)", "dev(\"N1\")", "v", {} },
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.value);
        arbitrary(c.row, c.value);
        EXPECT_THAT(callssince("INPgetTree"), ElementsAre(std::string("INPgetTree(") + c.parsed + ")"));
        EXPECT_THAT(callsabout("B1"), Contains(std::string("setInstanceParm(B1, ") + c.parameter + "=tree)"));
        std::vector<std::string> made;
        for (const auto& probe : source()->probes)
            made.push_back(probe->name);
        EXPECT_EQ(made, c.probes);
    }
    // The probe runs from A's net to B's, and the parser knows its name.
    arbitrary("AVS", "I(B,A)");
    EXPECT_THAT(callsabout("B1#AB"),
        ElementsAre("newInstance(IPROBE, B1#AB)", "bindNode(B1#AB, 1, N1)", "bindNode(B1#AB, 2, N2)",
            "setInstanceParm(B1#AB, dc=0)", "askInstanceQuest(B1#AB, branch)"));
    EXPECT_THAT(callssince("INPinsert(B1#AB)"), ElementsAre("INPinsert(B1#AB)"));
}

TEST_F(ArbsourceTest, TermsThatDoNotReadAreWarnedAboutWithACaretUnderThePointReached)
{
    struct CASE {
        const char* value;
        const char* error;
        const char* caret;
    } cases[] = {
        { "v(AB)", ") expected", "...^" },
        { "2*v(1)", "A-Z expected", "....^" },
        { "i(A)", "must have two pins for current term", "....^" },
        { "i(A,A)", "must have two pins for current term", "......^" },
        { "v(C)", "pin C not found", "....^" },
        { "", "SPICE parser syntax error", "^" },
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.value);
        fakes::script("INPgetTree", { E_SYNTAX });
        arbitrary("AVS", c.value);
        // The VALUE and the caret go to the module's standard output, the log's file here.
        EXPECT_THAT(log(), HasSubstr(std::string("#W:Error in B1 - ") + c.error + ".\n"));
        EXPECT_THAT(log(), HasSubstr(std::string(c.value) + "\n" + c.caret + "\n"));
        EXPECT_EQ(source()->expression, nullptr);
        EXPECT_THAT(callssince("setInstanceParm(B1, v="), IsEmpty());
    }
}

} // namespace
