#include "engines/mavro/deck/tests/deck.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> models = { "* every model type", ".model rmod r rsh=10",
    ".model dmod d is=1e-14 rs=10", ".model qmod npn(is=1e-15 bf=100)", ".model jmod njf vto=-2",
    ".model zmod nmf vto=-1", ".model mmod pmos level=3 vto=-0.7 kp=20u", ".model smod sw vt=1 ron=1",
    ".model wmod csw it=1m", ".model omod ltra r=0.1 len=1", ".model umod urc k=1" };

struct DeviceCase {
    const char* card;
    std::vector<std::string> calls; // the calls the card makes that change the circuit
};

} // namespace

// Every device letter reaches the engine through the descriptor, with its nodes, model and
// parameters in the forms of SPICE3 decks.
TEST_F(DeckTest, EveryDeviceLetter)
{
    const DeviceCase cases[] = {
        { "r1 a b 1k",
            { "newModel(Resistor, default Resistor)", "newNode(a)", "newNode(b)",
                "newInstance(default Resistor, r1)", "bindNode(r1, 1, a)", "bindNode(r1, 2, b)",
                "setInstanceParm(r1, resistance=1000)" } },
        { "R:1:5 1:mid $0000002a rmod 2k",
            { "newModel(Resistor, rmod)", "setModelParm(rmod, rsh=10)", "newNode(1:mid)",
                "newNode($0000002a)", "newInstance(rmod, R:1:5)", "bindNode(R:1:5, 1, 1:mid)",
                "bindNode(R:1:5, 2, $0000002a)", "setInstanceParm(R:1:5, resistance=2000)" } },
        { "c1 a 0 1u ic=2",
            { "newModel(Capacitor, default Capacitor)", "newNode(a)", "groundNode(0)",
                "newInstance(default Capacitor, c1)", "bindNode(c1, 1, a)", "bindNode(c1, 2, 0)",
                "setInstanceParm(c1, capacitance=1e-06)", "setInstanceParm(c1, ic=2)" } },
        { "l1 a b 1m ic=1m",
            { "newModel(Inductor, default Inductor)", "newNode(a)", "newNode(b)",
                "newInstance(default Inductor, l1)", "bindNode(l1, 1, a)", "bindNode(l1, 2, b)",
                "setInstanceParm(l1, inductance=0.001)", "setInstanceParm(l1, ic=0.001)" } },
        // The value named by the device's letter.
        { "C2 a 0 C=2u",
            { "newModel(Capacitor, default Capacitor)", "newNode(a)", "groundNode(0)",
                "newInstance(default Capacitor, C2)", "bindNode(C2, 1, a)", "bindNode(C2, 2, 0)",
                "setInstanceParm(C2, capacitance=2e-06)" } },
        { "k1 l1 l2 0.99",
            { "newModel(Mutual, default Mutual)", "newInstance(default Mutual, k1)",
                "setInstanceParm(k1, inductor1=l1)", "setInstanceParm(k1, inductor2=l2)",
                "setInstanceParm(k1, k=0.99)" } },
        { "d1 a 0 dmod 2",
            { "newModel(Diode, dmod)", "setModelParm(dmod, is=1e-14)", "setModelParm(dmod, rs=10)",
                "newNode(a)", "groundNode(0)", "newInstance(dmod, d1)", "bindNode(d1, 1, a)",
                "bindNode(d1, 2, 0)", "setInstanceParm(d1, area=2)" } },
        { "q1 c b e qmod",
            { "newModel(BJT, qmod)", "setModelParm(qmod, npn=1)", "setModelParm(qmod, is=1e-15)",
                "setModelParm(qmod, bf=100)", "newNode(c)", "newNode(b)", "newNode(e)",
                "newInstance(qmod, q1)", "groundNode(0)", "bindNode(q1, 1, c)", "bindNode(q1, 2, b)",
                "bindNode(q1, 3, e)", "bindNode(q1, 4, 0)" } },
        { "q2 c b e s qmod 0.5",
            { "newModel(BJT, qmod)", "setModelParm(qmod, npn=1)", "setModelParm(qmod, is=1e-15)",
                "setModelParm(qmod, bf=100)", "newNode(c)", "newNode(b)", "newNode(e)", "newNode(s)",
                "newInstance(qmod, q2)", "bindNode(q2, 1, c)", "bindNode(q2, 2, b)", "bindNode(q2, 3, e)",
                "bindNode(q2, 4, s)", "setInstanceParm(q2, area=0.5)" } },
        { "j1 d g s jmod",
            { "newModel(JFET, jmod)", "setModelParm(jmod, njf=1)", "setModelParm(jmod, vto=-2)", "newNode(d)",
                "newNode(g)", "newNode(s)", "newInstance(jmod, j1)", "bindNode(j1, 1, d)",
                "bindNode(j1, 2, g)", "bindNode(j1, 3, s)" } },
        { "z1 d g s zmod 3",
            { "newModel(MES, zmod)", "setModelParm(zmod, nmf=1)", "setModelParm(zmod, vto=-1)", "newNode(d)",
                "newNode(g)", "newNode(s)", "newInstance(zmod, z1)", "bindNode(z1, 1, d)",
                "bindNode(z1, 2, g)", "bindNode(z1, 3, s)", "setInstanceParm(z1, area=3)" } },
        { "m1 d g s b mmod l=1u w=10u",
            { "newModel(MOS3, mmod)", "setModelParm(mmod, pmos=1)", "setModelParm(mmod, vto=-0.7)",
                "setModelParm(mmod, kp=2e-05)", "newNode(d)", "newNode(g)", "newNode(s)", "newNode(b)",
                "newInstance(mmod, m1)", "bindNode(m1, 1, d)", "bindNode(m1, 2, g)", "bindNode(m1, 3, s)",
                "bindNode(m1, 4, b)", "setInstanceParm(m1, l=1e-06)", "setInstanceParm(m1, w=1e-05)" } },
        { "v1 a 0 dc 5 ac 1 90 sin(0 1 1k) distof1",
            { "newModel(Vsource, default Vsource)", "newNode(a)", "groundNode(0)",
                "newInstance(default Vsource, v1)", "bindNode(v1, 1, a)", "bindNode(v1, 2, 0)",
                "setInstanceParm(v1, dc=5)", "setInstanceParm(v1, acmag=1)",
                "setInstanceParm(v1, acphase=90)", "setInstanceParm(v1, sine=[0, 1, 1000])",
                "setInstanceParm(v1, distof1=[1])" } },
        { "v2 a 0 3.3 ac",
            { "newModel(Vsource, default Vsource)", "newNode(a)", "groundNode(0)",
                "newInstance(default Vsource, v2)", "bindNode(v2, 1, a)", "bindNode(v2, 2, 0)",
                "setInstanceParm(v2, dc=3.3)", "setInstanceParm(v2, acmag=1)" } },
        { "i1 0 a pulse(0 1m 1n 1n 1n 5n 10n) pwl 0 0 1n 1",
            { "newModel(Isource, default Isource)", "groundNode(0)", "newNode(a)",
                "newInstance(default Isource, i1)", "bindNode(i1, 1, 0)", "bindNode(i1, 2, a)",
                "setInstanceParm(i1, pulse=[0, 0.001, 1e-09, 1e-09, 1e-09, 5e-09, 1e-08])",
                "setInstanceParm(i1, pwl=[0, 0, 1e-09, 1])" } },
        { "e1 a 0 c d 2",
            { "newModel(VCVS, default VCVS)", "newNode(a)", "groundNode(0)", "newNode(c)", "newNode(d)",
                "newInstance(default VCVS, e1)", "bindNode(e1, 1, a)", "bindNode(e1, 2, 0)",
                "bindNode(e1, 3, c)", "bindNode(e1, 4, d)", "setInstanceParm(e1, gain=2)" } },
        { "g1 a 0 c d 1m",
            { "newModel(VCCS, default VCCS)", "newNode(a)", "groundNode(0)", "newNode(c)", "newNode(d)",
                "newInstance(default VCCS, g1)", "bindNode(g1, 1, a)", "bindNode(g1, 2, 0)",
                "bindNode(g1, 3, c)", "bindNode(g1, 4, d)", "setInstanceParm(g1, gain=0.001)" } },
        { "f1 a 0 vsense 3",
            { "newModel(CCCS, default CCCS)", "newNode(a)", "groundNode(0)", "newInstance(default CCCS, f1)",
                "bindNode(f1, 1, a)", "bindNode(f1, 2, 0)", "setInstanceParm(f1, control=vsense)",
                "setInstanceParm(f1, gain=3)" } },
        { "h1 a 0 vsense 100",
            { "newModel(CCVS, default CCVS)", "newNode(a)", "groundNode(0)", "newInstance(default CCVS, h1)",
                "bindNode(h1, 1, a)", "bindNode(h1, 2, 0)", "setInstanceParm(h1, control=vsense)",
                "setInstanceParm(h1, gain=100)" } },
        { "be1 out 0 v= 2*v(in) ",
            { "newModel(ASRC, default ASRC)", "newNode(out)", "groundNode(0)",
                "newInstance(default ASRC, be1)", "bindNode(be1, 1, out)", "bindNode(be1, 2, 0)",
                "newNode(in)", "setInstanceParm(be1, v=tree)" } },
        { "bf1 a b i=i(vx)+i(vy)",
            { "newModel(ASRC, default ASRC)", "newNode(a)", "newNode(b)", "newInstance(default ASRC, bf1)",
                "bindNode(bf1, 1, a)", "bindNode(bf1, 2, b)", "setInstanceParm(bf1, i=tree)" } },
        { "s1 a b c d smod",
            { "newModel(Switch, smod)", "setModelParm(smod, vt=1)", "setModelParm(smod, ron=1)", "newNode(a)",
                "newNode(b)", "newNode(c)", "newNode(d)", "newInstance(smod, s1)", "bindNode(s1, 1, a)",
                "bindNode(s1, 2, b)", "bindNode(s1, 3, c)", "bindNode(s1, 4, d)" } },
        { "w1 a b vsense wmod",
            { "newModel(Cswitch, wmod)", "setModelParm(wmod, it=0.001)", "newNode(a)", "newNode(b)",
                "newInstance(wmod, w1)", "bindNode(w1, 1, a)", "bindNode(w1, 2, b)",
                "setInstanceParm(w1, control=vsense)" } },
        { "t1 a 0 b 0 z0=50 td=1n",
            { "newModel(Tranline, default Tranline)", "newNode(a)", "groundNode(0)", "newNode(b)",
                "newInstance(default Tranline, t1)", "bindNode(t1, 1, a)", "bindNode(t1, 2, 0)",
                "bindNode(t1, 3, b)", "bindNode(t1, 4, 0)", "setInstanceParm(t1, z0=50)",
                "setInstanceParm(t1, td=1e-09)" } },
        { "o1 a 0 b 0 omod",
            { "newModel(LTRA, omod)", "setModelParm(omod, r=0.1)", "setModelParm(omod, len=1)", "newNode(a)",
                "groundNode(0)", "newNode(b)", "newInstance(omod, o1)", "bindNode(o1, 1, a)",
                "bindNode(o1, 2, 0)", "bindNode(o1, 3, b)", "bindNode(o1, 4, 0)" } },
        { "U1 a b 0 umod l=1m",
            { "newModel(URC, umod)", "setModelParm(umod, k=1)", "newNode(a)", "newNode(b)", "groundNode(0)",
                "newInstance(umod, U1)", "bindNode(U1, 1, a)", "bindNode(U1, 2, b)", "bindNode(U1, 3, 0)",
                "setInstanceParm(U1, l=0.001)" } },
    };
    for (const DeviceCase& c : cases) {
        SCOPED_TRACE(c.card);
        std::vector<std::string> deck = models;
        deck.push_back(c.card);
        EXPECT_EQ(load(deck), 0);
        EXPECT_EQ(changes(), c.calls);
        EXPECT_EQ(error(deck.size()), "");
        EXPECT_EQ(messages(), std::vector<std::string> {});
        TearDown();
        SetUp();
    }
}
