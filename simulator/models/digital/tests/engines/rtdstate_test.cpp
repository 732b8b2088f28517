// The logic state source against the real engines: what its selections drive on its nets.
#include "simulator/kernel/tests/engines/realengine.h"

#include "engines/pallex/pallex.h"
#include "simulator/kernel/frontend.h"
#include "simulator/models/digital/rtdstate.h"

#include <gmock/gmock.h>

namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;

// U1 (with the owner's properties) and the source U1_S, whose four pins Q0..Q3 drive N0..N3.
std::string sourcenetlist(const std::string& owner, const std::string& properties)
{
    return "TAVI\n\n:States\n*PARTLIST,2\nU1,X," + owner + "\nU1_S,RTDSTATE,,PRIMITIVE=DIGITAL" + properties
        + "\n*NETLIST,5\nN0,1\nU1_S,OP,Q0\n\nN1,1\nU1_S,OP,Q1\n\nN2,1\nU1_S,OP,Q2\n\nN3,1\nU1_S,OP,Q3\n\n"
          "GND,1\nGND,PT,GND\n\n";
}

class StateSourceTest : public RealEngineTest {
protected:
    void TearDown() override
    {
        setdigitalhooks(false);
        RealEngineTest::TearDown();
    }

    // Builds the circuit with the lock-step of the two engines, as a run loads it.
    bool load(const std::string& netlist)
    {
        bool built = build(netlist);
        setdigitalhooks(circuit->hasdigital());
        return built;
    }

    RTDSTATE* source() { return dynamic_cast<RTDSTATE*>(circuit->findcomponent("U1_S")); }

    // The states of N0..N3 once the events due at time 0 have run.
    std::vector<STATE> nets()
    {
        int changes = 0;
        EXPECT_EQ(pallex_bootstep(0, 1, &changes), 1);
        std::vector<STATE> states;
        for (const char* net : { "N0", "N1", "N2", "N3" }) {
            STATE* state = nullptr;
            EXPECT_EQ(pallex_linknet(net, &state), 1) << net;
            states.push_back(state ? *state : 0xFF);
        }
        return states;
    }
};

TEST_F(StateSourceTest, StartsWithItsStateAndDrivesEachSelection)
{
    ASSERT_TRUE(load(sourcenetlist(
        ",ACTIVE=1,EID=7", ",STATE=5,S(1)=A,S(3)=WLO,S(4)=FLOAT,S(5)=phi,S(6)=?,S(7)=junk,S(8)=l")))
        << log();
    RTDSTATE* state = source();
    ASSERT_NE(state, nullptr);
    operatingpoint();
    EXPECT_EQ(state->event, 7);
    EXPECT_THAT(nets(), ElementsAre(STATE_PHI, STATE_PHI, STATE_PHI, STATE_PHI));
    const STATE L = STATE_ILO;
    const STATE H = STATE_IHI;
    struct Case {
        int32_t selection;
        std::vector<STATE> states;
    } cases[] = {
        { 2, { L, H, L, L } }, // no S(2): the bit pattern 2
        { 1, { L, H, L, H } }, // a hexadecimal pattern
        { 3, { STATE_WLO, STATE_WLO, STATE_WLO, STATE_WLO } }, // a keyword on every pin
        { 4, { H, H, H, H } }, // FLOAT begins with the digit F
        { 6, { L, H, H, L } }, // "?" is no value: the bit pattern 6
        { 7, { STATE_FLT, STATE_FLT, STATE_FLT, STATE_FLT } }, // no keyword: no drive
        { 8, { STATE_SLO, STATE_SLO, STATE_SLO, STATE_SLO } }, // L is strong low
        { 0x1F, { H, H, H, H } }, // beyond the pins, the pattern's bits are left out
        { -1, { STATE_FLT, STATE_FLT, STATE_FLT, STATE_FLT } }, // released
    };
    for (const Case& c : cases) {
        state->userevent(7, 0, c.selection);
        EXPECT_THAT(nets(), ElementsAreArray(c.states)) << c.selection;
        state->userevent(8, 0, 2);
        EXPECT_THAT(nets(), ElementsAreArray(c.states)) << "another part's event after " << c.selection;
    }
}

TEST_F(StateSourceTest, WithoutOwnerOrStateItStartsReleased)
{
    ASSERT_TRUE(load(sourcenetlist(",EID=7", ""))) << log();
    operatingpoint();
    EXPECT_EQ(source()->event, -1);
    EXPECT_THAT(nets(), ElementsAre(STATE_FLT, STATE_FLT, STATE_FLT, STATE_FLT));
}

} // namespace
