// Circuits that cannot be solved end with the engine's code and a message naming the node or device.
#include "engines/nerith/tests/simulation.h"

#include <limits>

using nerithtest::Simulation;

namespace {

struct BadCircuit {
    const char* what;
    void (*build)(Simulation&);
    int code;
    std::vector<std::string> named; // every one appears in the message
};

void grounded(Simulation& s)
{
    s.add("Vsource", "v1", { "a", "0" }, { { "dc", 1 } });
    s.add("Resistor", "r1", { "a", "0" }, { { "resistance", 1e3 } });
}

} // namespace

TEST(Errors, SingularCircuitsNameTheirCause)
{
    const BadCircuit table[] = {
        { "resistors floating apart from ground",
            [](Simulation& s) {
                grounded(s);
                s.add("Resistor", "r2", { "x", "y" }, { { "resistance", 1e3 } });
            },
            E_BADMATRIX, { "no DC path to ground" } },
        { "a node fed only by a current source",
            [](Simulation& s) {
                grounded(s);
                s.add("Isource", "i1", { "0", "fed" }, { { "dc", 1e-3 } });
            },
            E_BADMATRIX, { "node fed has no DC path to ground" } },
        { "a node that only controls a source",
            [](Simulation& s) {
                grounded(s);
                s.add("VCCS", "g1", { "a", "0", "sense", "0" }, { { "gain", 1 } });
            },
            E_BADMATRIX, { "node sense has no DC path to ground" } },
        { "two sources in parallel",
            [](Simulation& s) {
                grounded(s);
                s.add("Vsource", "v2", { "a", "0" }, { { "dc", 2 } });
            },
            E_BADMATRIX, { "voltage sources v2 and v1 form a loop" } },
        { "three sources around a loop",
            [](Simulation& s) {
                grounded(s);
                s.add("Vsource", "v2", { "b", "a" }, { { "dc", 1 } });
                s.add("VCVS", "e3", { "b", "0", "a", "0" }, { { "gain", 2 } });
            },
            E_BADMATRIX, { "form a loop", "v1", "v2", "e3" } },
        { "a source across one node",
            [](Simulation& s) {
                grounded(s);
                s.add("Vsource", "v2", { "a", "a" }, { { "dc", 1 } });
            },
            E_BADMATRIX, { "voltage source v2 has both terminals on one node" } },
        { "conductances that cancel",
            [](Simulation& s) {
                grounded(s);
                s.add("Resistor", "rp", { "c", "0" }, { { "resistance", 1e3 } });
                s.add("Resistor", "rn", { "c", "0" }, { { "resistance", -1e3 } });
            },
            E_SINGULAR, { "singular matrix at node c" } },
        { "a unity follower of its own output",
            [](Simulation& s) {
                grounded(s);
                s.add("VCVS", "e1", { "out", "0", "out", "0" }, { { "gain", 1 } });
            },
            E_SINGULAR, { "singular matrix at" } },
        { "two followers of each other: both nodes are undetermined",
            [](Simulation& s) {
                grounded(s);
                s.add("VCVS", "e1", { "p", "0", "q", "0" }, { { "gain", 1 } });
                s.add("VCVS", "e2", { "q", "0", "p", "0" }, { { "gain", 1 } });
                s.add("Resistor", "rp", { "p", "0" }, { { "resistance", 1e3 } });
                s.add("Resistor", "rq", { "q", "0" }, { { "resistance", 1e3 } });
            },
            E_SINGULAR, { "singular matrix at node ", "node p", "node q" } },
    };
    for (const BadCircuit& row : table) {
        Simulation s;
        row.build(s);
        EXPECT_EQ(s.run(), row.code) << row.what;
        const std::string message = s.message(row.code);
        for (const std::string& name : row.named)
            EXPECT_NE(message.find(name), std::string::npos) << row.what << ": " << message;
        EXPECT_TRUE(nerithtest::frontend().plots.empty()) << row.what;
    }
}

// A source's current is the only entry of its column; a huge conductance in its row leaves it tiny
// beside the row's largest, yet the circuit is solved, not refused as singular at that current.
TEST(Errors, AHugeConductanceAtASourceIsNoSingularity)
{
    Simulation s;
    s.add("Vsource", "v1", { "vdd", "0" }, { { "dc", 1 } });
    s.add("Resistor", "r1", { "vdd", "a" }, { { "resistance", 1e-15 } });
    s.add("Resistor", "r2", { "a", "0" }, { { "resistance", 1e3 } });
    ASSERT_EQ(s.run(), 0) << s.message(E_SINGULAR);
    EXPECT_NEAR(s.v("a"), 1.0, 1e-12);
}

TEST(Errors, AShuntResistanceTiesFloatingNodesDown)
{
    Simulation s;
    grounded(s);
    s.add("Isource", "i1", { "0", "fed" }, { { "dc", 1e-6 } });
    ASSERT_EQ(s.option("rshunt", 1e6), 0);
    ASSERT_EQ(s.run(), 0) << s.message(E_BADMATRIX);
    EXPECT_NEAR(s.v("fed"), 1.0, 1e-12);
    EXPECT_NEAR(s.v("a"), 1.0, 1e-15);
}

TEST(Errors, DevicesThatCannotBeSimulated)
{
    const BadCircuit table[] = {
        { "zero resistance",
            [](Simulation& s) {
                s.add("Resistor", "r1", { "a", "0" }, { { "resistance", 0 } });
            },
            E_PRIVATE, { "r1", "resistance" } },
        { "vanishing resistance",
            [](Simulation& s) {
                s.add("Resistor", "r1", { "a", "0" }, { { "resistance", 1e-320 } });
            },
            E_PRIVATE, { "r1" } },
        { "no resistance given",
            [](Simulation& s) {
                s.add("Resistor", "r1", { "a", "0" });
            },
            E_PRIVATE, { "r1 has no resistance" } },
        { "an unconnected terminal",
            [](Simulation& s) {
                s.add("Resistor", "r1", { "a" }, { { "resistance", 1 } });
            },
            E_PRIVATE, { "r1: terminal 2 is not connected" } },
        { "no gain",
            [](Simulation& s) {
                s.add("VCVS", "e1", { "a", "0", "a", "0" });
            },
            E_PRIVATE, { "e1" } },
        { "an infinite source",
            [](Simulation& s) {
                s.add("Vsource", "v1", { "a", "0" }, { { "dc", std::numeric_limits<double>::infinity() } });
            },
            E_PRIVATE, { "v1" } },
    };
    for (const BadCircuit& row : table) {
        Simulation s;
        row.build(s);
        EXPECT_EQ(s.run(), row.code) << row.what;
        const std::string message = s.message(row.code);
        for (const std::string& name : row.named)
            EXPECT_NE(message.find(name), std::string::npos) << row.what << ": " << message;
    }
}

TEST(Errors, IterationLimitHolds)
{
    // With a nodeset a linear circuit needs three iterations: one fewer must fail, naming a node
    // (without the steppings, whose steps have an iteration limit of their own).
    for (int32_t limit : { 2, 3 }) {
        Simulation s;
        s.add("Vsource", "v1", { "a", "0" }, { { "dc", 1 } });
        s.add("Resistor", "r1", { "a", "b" }, { { "resistance", 1e3 } });
        s.add("Resistor", "r2", { "b", "0" }, { { "resistance", 1e3 } });
        ASSERT_EQ(s.nodeparm("b", "nodeset", 0.2), 0);
        ASSERT_EQ(s.optioninteger("itl1", limit), 0);
        ASSERT_EQ(s.optioninteger("gminsteps", 0), 0);
        ASSERT_EQ(s.optioninteger("srcsteps", 0), 0);
        const int code = s.run();
        if (limit == 3) {
            EXPECT_EQ(code, 0);
            EXPECT_EQ(s.d->nonconvErr(s.ckt), nullptr);
            continue;
        }
        EXPECT_EQ(code, E_ITERLIM);
        EXPECT_NE(s.message(E_ITERLIM).find("did not settle within 2 iterations"), std::string::npos)
            << s.message(E_ITERLIM);
        ASSERT_NE(s.d->nonconvErr(s.ckt), nullptr);
        EXPECT_EQ(std::string(s.d->nonconvErr(s.ckt)).rfind("node ", 0), 0u);
    }
}

TEST(Errors, LastErrorTextBelongsToItsCode)
{
    Simulation s;
    s.add("Resistor", "r1", { "a", "0" }, { { "resistance", 0 } });
    ASSERT_EQ(s.run(), E_PRIVATE);
    EXPECT_NE(simerrmsg(E_PRIVATE), nullptr);
    EXPECT_EQ(simerrmsg(E_SINGULAR), nullptr);
    ASSERT_EQ(s.set(s.types.begin()->first, "resistance", 1), 0);
    ASSERT_EQ(s.run(), 0);
    EXPECT_EQ(simerrmsg(E_PRIVATE), nullptr);
}
