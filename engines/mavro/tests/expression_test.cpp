#include "engines/mavro/expression_parse.h"
#include "engines/mavro/mavro.h"
#include "engines/mavro/tests/stubnodes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// A stand-in engine that makes numbered nodes, so v() can name any node.
StubNodes nodes;

int newnode(IFcircuit*, IFnode** node, IFuid name)
{
    *node = nodes.make(name, static_cast<int32_t>(nodes.size() + 1));
    return name[0] == '$' && std::string(name) == "$000000ff" ? E_NOTFOUND : 0;
}

int groundnode(IFcircuit*, IFnode** node, IFuid name)
{
    *node = nodes.make(name, 0);
    return 0;
}

int findnode(IFcircuit*, IFnode** node, IFuid name)
{
    *node = nodes.find(name);
    return *node ? 0 : E_NOTFOUND;
}

class Expressions : public ::testing::Test {
protected:
    void SetUp() override
    {
        descriptor.newNode = newnode;
        descriptor.groundNode = groundnode;
        descriptor.findNode = findnode;
        inpinit(nullptr, &descriptor);
        table = INPtabInit(8);
    }
    void TearDown() override
    {
        INPtabEnd(table);
        inpinit(nullptr, nullptr);
        nodes.clear();
    }

    // The tree of a text, or null with the result code in *code.
    IFparseTree* parse(const std::string& text, int* code = nullptr)
    {
        std::string buffer = text;
        char* cursor = buffer.data();
        IFparseTree* tree = reinterpret_cast<IFparseTree*>(&buffer);
        int result = INPgetTree(&cursor, &tree, nullptr, table);
        if (code)
            *code = result;
        EXPECT_EQ(result == 0, tree != nullptr);
        if (result == 0) {
            EXPECT_EQ(*cursor, '\0');
        } else {
            EXPECT_EQ(cursor, buffer.data());
        }
        return tree;
    }

    // The names of the tree's quantities: "v:<node>" or "i:<source>".
    static std::vector<std::string> quantities(const IFparseTree* tree)
    {
        std::vector<std::string> names;
        for (int32_t i = 0; i < tree->quantities(); ++i) {
            int32_t kind = 0;
            IFvalue what {};
            EXPECT_TRUE(tree->quantity(i, &kind, &what));
            names.push_back(kind == IF_NODE ? std::string("v:") + what.nValue->name
                    : kind == IF_REAL       ? std::string("time")
                                            : std::string("i:") + what.uValue);
        }
        int32_t kind = 0;
        EXPECT_FALSE(tree->quantity(tree->quantities(), &kind, nullptr));
        return names;
    }

    IFsimulator descriptor {};
    INPtables* table = nullptr;
};

struct ValueCase {
    const char* text;
    std::vector<double> at; // the quantity values, in order of first appearance
    double value;
    std::vector<double> slopes; // exact derivatives; empty: checked against differences only
};

} // namespace

TEST_F(Expressions, ValuesAndExactDerivatives)
{
    const double e = std::exp(1.0);
    const ValueCase cases[] = {
        { "2*3+4", {}, 10, {} },
        { "1k*2 - 1e3", {}, 1000, {} },
        { "2.5meg/.5", {}, 5e6, {} },
        { "-1.5e-06 + 1e+06*1e-12", {}, -0.5e-6, {} },
        { "10uF + 0", {}, 10e-6, {} },
        { "-2^2", {}, -4, {} },
        { "2^3^2", {}, 512, {} },
        { "2**3 * 2", {}, 16, {} },
        { "2^-1", {}, 0.5, {} },
        { "0.5+-2*3", {}, -5.5, {} },
        { "v(a)*v(b)", { 3, 4 }, 12, { 4, 3 } },
        { "V(a, b)", { 3, 4 }, -1, { 1, -1 } },
        { "v(a)/v(b)", { 3, 4 }, 0.75, { 0.25, -3.0 / 16 } },
        { "v(a)^2 - 2*v(a)", { 3 }, 3, { 4 } },
        { "v(a)**v(b)", { 2, 3 }, 8, { 12, 8 * std::log(2.0) } },
        { "-v(a)^2", { 3 }, -9, { -6 } },
        { "v(a)+v(a)", { 1.5 }, 3, { 2 } },
        { "exp(v(a))", { 1 }, e, { e } },
        { "ln(v(a))", { e }, 1, { 1 / e } },
        { "log(v(a))", { 100 }, 2, { 1 / (100 * std::log(10.0)) } },
        { "sqrt(v(a))", { 4 }, 2, { 0.25 } },
        { "abs(v(a))", { -2 }, 2, { -1 } },
        { "u(v(a)) + uramp(v(a))", { 2 }, 3, { 1 } },
        { "u(v(a)) + uramp(v(a))", { -2 }, 0, { 0 } },
        { "sin(v(a))*cos(v(a)) + tan(v(a))", { 0.3 }, std::sin(0.3) * std::cos(0.3) + std::tan(0.3), {} },
        { "asin(v(a)) + acos(v(a)) + atan(v(a))", { 0.3 }, std::asin(0.3) + std::acos(0.3) + std::atan(0.3),
            {} },
        { "sinh(v(a)) + cosh(v(a)) + TANH(v(a))", { 0.3 }, std::sinh(0.3) + std::cosh(0.3) + std::tanh(0.3),
            {} },
        { "asinh(v(a)) + acosh(v(b)) + atanh(v(a))", { 0.3, 2 },
            std::asinh(0.3) + std::acosh(2) + std::atanh(0.3), {} },
        { "2*i(vsense) + v(out)", { 1e-3, 5 }, 5.002, { 2, 1 } },
        { "v(a)*time", { 3, 2e-3 }, 6e-3, { 2e-3, 3 } },
        { "((v(a)))", { 7 }, 7, { 1 } },
        { "v(a)*v(b)*v(c) / (1 + v(a)^2)", { 0.5, 2, 3 }, 2.4, {} },
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.text);
        IFparseTree* tree = parse(c.text);
        ASSERT_NE(tree, nullptr);
        ASSERT_EQ(tree->quantities(), static_cast<int32_t>(c.at.size()));
        double value = 0;
        std::vector<double> slopes(c.at.size(), -99);
        ASSERT_TRUE(tree->eval(c.at.data(), &value, slopes.data()));
        EXPECT_NEAR(value, c.value, 1e-12 * std::max(1.0, std::fabs(c.value)));
        double alone = 0;
        ASSERT_TRUE(tree->eval(c.at.data(), &alone, nullptr));
        EXPECT_EQ(alone, value);
        for (std::size_t i = 0; i < c.slopes.size(); ++i)
            EXPECT_NEAR(slopes[i], c.slopes[i], 1e-12 * std::max(1.0, std::fabs(c.slopes[i])))
                << "quantity " << i;
        // Every derivative agrees with a central difference.
        for (std::size_t i = 0; i < c.at.size(); ++i) {
            std::vector<double> up = c.at, down = c.at;
            const double h = 1e-6 * std::max(1.0, std::fabs(c.at[i]));
            up[i] += h;
            down[i] -= h;
            double above = 0, below = 0;
            ASSERT_TRUE(tree->eval(up.data(), &above, nullptr));
            ASSERT_TRUE(tree->eval(down.data(), &below, nullptr));
            EXPECT_NEAR(slopes[i], (above - below) / (2 * h), 1e-5 * std::max(1.0, std::fabs(slopes[i])))
                << "quantity " << i;
        }
    }
}

TEST_F(Expressions, QuantitiesAreNodesAndSourcesOncePerName)
{
    IFparseTree* tree = parse(
        "v(\"Net Name\") + V(1:mid, $0000002a) * i(b1#ab) - v(1:mid) + i(\"P#AB\") + v(0) + time*TIME");
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(quantities(tree),
        (std::vector<std::string> {
            "v:Net Name", "v:1:mid", "v:$0000002a", "i:b1#ab", "i:P#AB", "v:0", "time" }));

    // The nodes are the engine's: a card naming the same node later, in any case, finds the same one.
    int32_t kind = 0;
    IFvalue what {}, later {};
    tree->quantity(0, &kind, &what);
    IFparseTree* again = parse("v(\"net name\")");
    ASSERT_NE(again, nullptr);
    again->quantity(0, &kind, &later);
    EXPECT_EQ(later.nValue, what.nValue);
    EXPECT_EQ(what.nValue->number, 1);
    tree->quantity(5, &kind, &what);
    EXPECT_EQ(what.nValue->number, 0);
}

TEST_F(Expressions, ConstantsAreFolded)
{
    mavro::ParseError error;
    auto folded = mavro::parseexpression("2*3*(4+1)*v(a) + sqrt(16)", nullptr, table, &error);
    ASSERT_NE(folded, nullptr);
    EXPECT_EQ(folded->size(), 5u); // 30, v(a), *, 4, +
    // A constant that is not finite stays for eval to refuse.
    auto infinite = mavro::parseexpression("1/0 + v(a)", nullptr, table, &error);
    ASSERT_NE(infinite, nullptr);
    double value = 0, at = 1;
    EXPECT_FALSE(infinite->eval(&at, &value, nullptr));
}

TEST_F(Expressions, DomainErrorsAreRefused)
{
    const std::pair<const char*, double> cases[] = {
        { "ln(v(a))", 0 },
        { "log(v(a))", -1 },
        { "sqrt(v(a))", -1 },
        { "sqrt(v(a))", 0 },
        { "1/v(a)", 0 },
        { "acos(v(a))", 1 },
        { "asin(v(a))", 2 },
        { "atanh(v(a))", 1 },
        { "acosh(v(a))", 0.5 },
        { "v(a)^0.5", -1 },
        { "exp(v(a))", 1000 },
        { "u(ln(v(a)))", -1 },
    };
    for (const auto& [text, at] : cases) {
        SCOPED_TRACE(text);
        IFparseTree* tree = parse(text);
        ASSERT_NE(tree, nullptr);
        double value = 0, slope = 0;
        EXPECT_FALSE(tree->eval(&at, &value, &slope));
    }
    // At the edge of a domain a finite value with a finite slope is fine.
    IFparseTree* tree = parse("v(a)^2 + v(a)^0 + abs(v(a))");
    double at = 0, value = 0, slope = 0;
    EXPECT_TRUE(tree->eval(&at, &value, &slope));
    EXPECT_EQ(value, 1);
    EXPECT_EQ(slope, 0);
}

TEST_F(Expressions, TextsThatDoNotReadGiveACodeAndNoTree)
{
    const char* cases[] = { "", "   ", "2*", "(1", "1)", "2 3", "foo(1)", "abc", "v()", "v(a", "v(a,)",
        "v(\"a)", "i(a,b)", "1e999", "2*/3", "sin 1", "v(a))", "--", "#", "1,2" };
    for (const char* text : cases) {
        SCOPED_TRACE(text);
        int code = 0;
        EXPECT_EQ(parse(text, &code), nullptr);
        EXPECT_EQ(code, E_SYNTAX);
    }
    mavro::ParseError error;
    EXPECT_EQ(mavro::parseexpression("2*foo(v(a))", nullptr, table, &error), nullptr);
    EXPECT_EQ(error.message, "unknown function 'foo' at column 3");

    // A node the engine refuses gives the engine's code.
    int code = 0;
    EXPECT_EQ(parse("v($000000ff)", &code), nullptr);
    EXPECT_EQ(code, E_NOTFOUND);

    // Nesting beyond the parser's depth is refused, not followed down the stack.
    EXPECT_EQ(parse(std::string(100000, '(') + "1" + std::string(100000, ')'), &code), nullptr);
    EXPECT_EQ(parse(std::string(100000, '-') + "1", &code), nullptr);
    EXPECT_NE(parse(std::string(200, '(') + "1" + std::string(200, ')')), nullptr);

    char* none = nullptr;
    IFparseTree* tree = nullptr;
    EXPECT_EQ(INPgetTree(&none, &tree, nullptr, table), E_BADVALUE);
}

TEST_F(Expressions, LongExpressionsEvaluate)
{
    std::string text = "v(a)";
    for (int i = 0; i < 200; ++i)
        text += "+v(a)*" + std::to_string(i);
    IFparseTree* tree = parse(text);
    ASSERT_NE(tree, nullptr);
    double at = 2, value = 0, slope = 0;
    ASSERT_TRUE(tree->eval(&at, &value, &slope));
    EXPECT_EQ(slope, 1 + 199 * 200 / 2);
    EXPECT_EQ(value, 2 * slope);
}
