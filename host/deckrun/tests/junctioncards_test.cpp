// Junction-device cards through the parser into the engine: every parameter name and alias of the
// diode, bipolar, JFET and MESFET models reads on .model and device cards, and an unknown one is
// named.
#include "host/deckrun/tests/rundeck.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

using decktest::Result;
using decktest::rundeck;

constexpr const char* Supplies = "junction cards\n"
                                 "vcc vcc 0 5\n"
                                 "vin in 0 sin(0 0.5 1k)\n"
                                 "r1 vcc c 1k\n"
                                 "r2 in b 10k\n"
                                 "r3 e 0 100\n";

} // namespace

TEST(JunctionCards, EveryModelParameterNameAndAliasReads)
{
    const Result r = rundeck(std::string(Supplies)
        + "d1 b e dall area=2 pj=3 m=2 temp=50 ic=0.5\n"
          "d2 b e dalias 1.5 off\n"
          ".model dall d is=1e-14 rs=1 n=1.1 tt=1n cjo=1p vj=0.8 m=0.4 eg=1.11 xti=3 kf=0 af=1 fc=0.5 bv=50 "
          "ibv=1u tnom=27 jsw=1e-15 ns=1.1 cjsw=1p php=0.8 mjsw=0.3 fcs=0.5 nbv=1.2\n"
          ".model dalias d js=1e-14 cj0=1p pb=0.8 mj=0.4 cjp=1p area=2 pj=1\n"
          ".model dalias2 d cj=1p\n"
          "q1 c b e qall area=1 temp=40 ic=0.7,3\n"
          "q2 c b e 0 qalias icvbe=0.7 icvce=2 off\n"
          ".model qall npn is=1e-16 bf=100 nf=1 vaf=50 ikf=0.1 ise=1e-15 ne=1.5 br=2 nr=1 var=20 ikr=0.1 "
          "isc=1e-15 nc=2 rb=100 irb=1m rbm=10 re=1 rc=10 cje=1p vje=0.75 mje=0.33 tf=0.1n xtf=1 vtf=2 "
          "itf=1m ptf=10 cjc=1p vjc=0.75 mjc=0.33 xcjc=0.8 tr=1n cjs=1p vjs=0.75 mjs=0.1 xtb=1 eg=1.11 "
          "xti=3 kf=0 af=1 fc=0.5 tnom=27\n"
          ".model qalias pnp va=50 ik=0.1 vb=20 pe=0.75 me=0.33 pc=0.75 mc=0.33 ccs=1p ps=0.75 ms=0.1 c2=10 "
          "c4=10\n"
          "j1 c b e jall area=1 temp=30 ic=2,-1\n"
          "j2 c b e jalias off ic-vds=1 ic-vgs=-1\n"
          ".model jall njf vto=-2 beta=1m lambda=0.01 rd=1 rs=1 cgs=1p cgd=1p pb=1 is=1e-14 fc=0.5 b=1 kf=0 "
          "af=1 eg=1.11 xti=3 tnom=27\n"
          ".model jalias pjf vt0=-2\n"
          "z1 c b e zall area=1 ic=1,0\n"
          "z2 c b e zalias off ic-vds=1 ic-vgs=0\n"
          ".model zall nmf vto=-1 alpha=2 beta=1m lambda=0.01 b=0.3 rd=1 rs=1 cgs=1p cgd=1p pb=1 is=1e-14 "
          "fc=0.5 kf=0 af=1 tnom=27\n"
          ".model zalias pmf vt0=-1\n"
          ".tran 10u 100u\n"
          ".end\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
}

// Model cards carry parameters of other models and vendors' extensions: the reference warns and
// runs; an unknown parameter on a device card stays an error.
TEST(JunctionCards, AnUnknownModelParameterIsAWarningNamingIt)
{
    const struct {
        const char* cards;
        const char* unknown;
        int status;
    } cases[] = {
        { "d1 b e dm\n.model dm d is=1e-14 isr=1e-12\n", "\"isr\" of model dm left out", 0 },
        { "q1 c b e qm\n.model qm npn bf=100 qco=1\n", "\"qco\" of model qm left out", 0 },
        { "j1 c b e jm\n.model jm njf alpha=2 l=1u w=10u\n", "\"w\" of model jm left out", 0 },
        { "z1 c b e zm\n.model zm nmf xti=3\n", "\"xti\" of model zm left out", 0 },
        { "d1 b e dm wobble=3\n.model dm d\n", "\"wobble\"", 1 },
    };
    for (const auto& c : cases) {
        const Result r = rundeck(std::string(Supplies) + c.cards + ".op\n.end\n");
        EXPECT_EQ(r.status, c.status) << c.cards << r.err;
        EXPECT_NE(r.err.find(std::string("unknown parameter ") + c.unknown), std::string::npos) << r.err;
    }
}

TEST(JunctionCards, NonsenseModelValuesFailTheRunNamingTheDevice)
{
    const Result r = rundeck(std::string(Supplies) + "dbad b e dm\n.model dm d is=0\n.op\n.end\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("dbad"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("saturation current"), std::string::npos) << r.err;
}
