// MOSFET cards through the parser into the engine: every parameter name and alias of the levels
// 1, 2, 3 and 6 reads on .model and M cards; an unknown one and a level that does not exist are card
// errors naming them.
#include "host/deckrun/tests/rundeck.h"

#include <gtest/gtest.h>

#include <string>

using decktest::Result;
using decktest::rundeck;

namespace {

constexpr const char* Inverter = "mosfet cards\n"
                                 "vdd vdd 0 5\n"
                                 "vin in 0 pulse(0 5 1n 1n 1n 10n 20n)\n";

// The instance parameters every level takes.
constexpr const char* Instances
    = "mp out in vdd vdd p l=1u w=4u m=1 ad=8p as=8p pd=12u ps=12u nrd=1 nrs=1 temp=30 ic=-1,-2,0\n"
      "mn out in 0 0 n l=1u w=2u ad=4p as=4p pd=8u ps=8u nrd=1 nrs=1 dtemp=5 icvds=1 icvgs=2 icvbs=0 off\n";

// What every level shares, on the N channel model.
constexpr const char* Shared = "vto=0.7 vt0=0.7 gamma=0.4 phi=0.65 rd=1 rs=1 cbd=1f cbs=1f is=1e-14 pb=0.8 "
                               "cgso=0.3n cgdo=0.3n cgbo=0.2n rsh=0 cj=0.3m mj=0.5 cjsw=0.8n js=0 ld=0.05u "
                               "u0=500 uo=500 fc=0.5 nsub=1e16 tpg=1 nss=1e10 tnom=27 kf=1e-26 af=1";

} // namespace

TEST(MosCards, EveryModelParameterNameAndAliasReads)
{
    const struct {
        const char* level;
        const char* own;
    } levels[] = {
        { "1", "kp=50u lambda=0.02 tox=20n mjsw=0.33" },
        { "2",
            "kp=50u lambda=0 tox=20n mjsw=0.33 delta=0.5 uexp=0.1 ucrit=2e4 vmax=5e4 xj=0.3u neff=1 "
            "nfs=1e11" },
        { "3",
            "kp=50u tox=20n mjsw=0.33 delta=0.5 vmax=1e5 xj=0.3u nfs=1e11 eta=0.02 theta=0.05 kappa=0.2 "
            "wd=0.05u" },
        { "6",
            "lambda=0.02 tox=20n mjsw=0.33 kv=2 nv=0.5 kc=50u nc=1.2 gamma1=0.05 sigma=0.01 lambda0=0.02 "
            "lambda1=0.001" },
    };
    for (const auto& l : levels) {
        const std::string models = std::string(".model n nmos level=") + l.level + " " + Shared + " " + l.own
            + "\n.model p pmos level=" + l.level + " vto=-0.7 tox=20n\n";
        const Result r = rundeck(std::string(Inverter) + Instances + models + ".tran 0.1n 40n\n.end\n");
        EXPECT_EQ(r.status, 0) << "level " << l.level << ": " << r.err;
        EXPECT_EQ(r.err, "") << "level " << l.level;
    }
}

TEST(MosCards, UnknownParametersAndLevelsAreNamed)
{
    const struct {
        const char* cards;
        const char* message;
    } cases[] = {
        { ".model n nmos level=1 eta=0.1\n", "unknown parameter \"eta\"" },
        { ".model n nmos level=3 lambda=0.02\n", "unknown parameter \"lambda\"" },
        { ".model n nmos level=6 kp=50u\n", "unknown parameter \"kp\"" },
        { ".model n nmos level=9\n", "invalid level 9 for MOSFET model n: level 1 used" },
    };
    for (const auto& c : cases) {
        const Result r = rundeck(std::string(Inverter) + "mn out in 0 0 n\n" + c.cards + ".op\n.end\n");
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.cards << r.err;
    }
}
