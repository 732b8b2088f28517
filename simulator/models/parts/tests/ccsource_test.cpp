#include "simulator/models/parts/tests/parttesting.h"

#include "simulator/models/parts/ccsource.h"

#include <string>

namespace {

using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;

class CcsourceTest : public PartTest { };

TEST_F(CcsourceTest, AFourPinSourceSensesItsControlThroughAnInsertedProbe)
{
    make("", "F1,CCCS,2,PRIMITIVE=ANALOG\n",
        "OUT,1\nF1,PS,+\n\nP,1\nF1,PS,P\n\nN,1\nF1,PS,N\n\nGND,2\nF1,PS,-\nGND,PT,GND\n\n");
    auto* source = dynamic_cast<CCSOURCE*>(part("F1"));
    ASSERT_NE(source, nullptr);
    ASSERT_NE(source->probe, nullptr);
    EXPECT_EQ(source->control, source->probe.get());
    EXPECT_THAT(callsabout("F1#PN"),
        ElementsAre("newInstance(IPROBE, F1#PN)", "bindNode(F1#PN, 1, P)", "bindNode(F1#PN, 2, N)",
            "setInstanceParm(F1#PN, dc=0)", "askInstanceQuest(F1#PN, branch)"));
    EXPECT_THAT(fakes::callsof("newModel"), Contains("newModel(Vsource, IPROBE)"));
    EXPECT_THAT(callsabout("F1"),
        ElementsAre("newInstance(CCCS, F1)", "bindNode(F1, 1, OUT)", "bindNode(F1, 2, GND)",
            "setInstanceParm(F1, control=F1#PN)", "setInstanceParm(F1, gain=2)"));
}

TEST_F(CcsourceTest, ATwoPinSourceFindsItsProbeInItsSubcircuitScope)
{
    struct CASE {
        const char* part;
        const char* control; // the control set; null: none
        const char* warning;
    } cases[] = {
        { "X1_H1,CCVS,100,PRIMITIVE=ANALOG,PROBE=VS", "X1_VS", nullptr },
        { "H1,CCVS,100,PRIMITIVE=ANALOG,PROBE=X1_VS", "X1_VS", nullptr },
        { "X1_H1,CCVS,100,PRIMITIVE=ANALOG,PROBE=V9", nullptr,
            "#W:Probe V9 specified for X1_H1 not found\n" },
        { "X1_H1,CCVS,100,PRIMITIVE=ANALOG", nullptr, "#W:Current probe not specified for source X1_H1\n" },
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.part);
        forget();
        make("", std::string(c.part) + "\nX1_VS,VSOURCE,0,PRIMITIVE=ANALOG\n",
            "OUT,1\nX1_VS,PS,+\n\nGND,2\nX1_VS,PS,-\nGND,PT,GND\n\n");
        const std::string name(c.part, std::string(c.part).find(','));
        std::vector<std::string> controls;
        for (const std::string& call : callssince("setInstanceParm(" + name + ", control="))
            controls.push_back(call);
        if (c.control)
            EXPECT_THAT(controls, ElementsAre("setInstanceParm(" + name + ", control=" + c.control + ")"));
        else
            EXPECT_TRUE(controls.empty());
        if (c.warning) {
            EXPECT_THAT(log(), HasSubstr(c.warning));
        }
    }
}

} // namespace
