// The parameter tables: the generic set, ask and defaults they drive, and the descriptor lists
// made from them.
#include "engines/nerith/parameters.h"
#include "engines/nerith/tests/simulation.h"

#include <cstring>

using nerith::computed;
using nerith::field;
using nerith::parametertable;
using nerith::settable;
using nerithtest::Simulation;

namespace {

struct Part {
    double size;
    bool sizegiven = false;
    int32_t count;
    bool on;
    IFcomplex ac;
    int32_t resets = 0; // how often the "reset" row ran
};

bool same(const Part& a, const Part& b)
{
    return a.size == b.size && a.sizegiven == b.sizegiven && a.count == b.count && a.on == b.on
        && a.ac.real == b.ac.real && a.ac.imag == b.ac.imag && a.resets == b.resets;
}

double twice(IFcircuit&, const Part& p)
{
    return 2 * p.size;
}

// A set with a side effect beyond its own member.
int reset(Part& p, const IFvalue& value)
{
    if (value.iValue < 0)
        return E_BADVALUE;
    p.size = value.iValue;
    p.sizegiven = false;
    ++p.resets;
    return 0;
}

enum : int32_t { Size = 1, Count, On, Ac, Twice, Reset };

constexpr auto table = parametertable<Part>({
    field<&Part::size, &Part::sizegiven>("size", Size, "Size").in("m").initially(2.5),
    field<&Part::count>("count", Count, "Count").initially(3).atleast(1).atmost(6),
    field<&Part::on>("on", On, "On").initially(1).setonly(),
    field<&Part::ac>("ac", Ac, "AC value").in("V").initially(1),
    computed<&twice>("twice", Twice, "Twice the size").in("m"),
    settable<&reset>("reset", Reset, IF_INTEGER, "Sets the size anew, as not given"),
});

IFvalue real(double r)
{
    IFvalue v {};
    v.rValue = r;
    return v;
}

IFvalue integer(int32_t i)
{
    IFvalue v {};
    v.iValue = i;
    return v;
}

} // namespace

TEST(ParameterTable, DescriptorRowsComeFromTheRows)
{
    ASSERT_EQ(table.count(), 6);
    const IFparm* parms = table.parms();
    const struct {
        const char* keyword;
        int32_t id;
        int32_t dataType;
    } expected[] = {
        { "size", Size, IF_REAL | IF_SET | IF_ASK },
        { "count", Count, IF_INTEGER | IF_SET | IF_ASK },
        { "on", On, IF_FLAG | IF_SET },
        { "ac", Ac, IF_COMPLEX | IF_SET | IF_ASK },
        { "twice", Twice, IF_REAL | IF_ASK },
        { "reset", Reset, IF_INTEGER | IF_SET },
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_STREQ(parms[i].keyword, expected[i].keyword);
        EXPECT_EQ(parms[i].id, expected[i].id) << expected[i].keyword;
        EXPECT_EQ(parms[i].dataType, expected[i].dataType) << expected[i].keyword;
        EXPECT_STREQ(parms[i].description, table.rows()[i].description);
    }
    EXPECT_STREQ(table.find(Size)->unit, "m");
    EXPECT_EQ(table.find(99), nullptr);
    EXPECT_EQ(parametertable<Part>().parms(), nullptr);
}

TEST(ParameterTable, DefaultsFillEveryMemberAndRaiseNoGivenFlag)
{
    Part p {};
    table.defaults(p);
    EXPECT_EQ(p.size, 2.5);
    EXPECT_FALSE(p.sizegiven);
    EXPECT_EQ(p.count, 3);
    EXPECT_TRUE(p.on);
    EXPECT_EQ(p.ac.real, 1);
    EXPECT_EQ(p.ac.imag, 0);
    EXPECT_EQ(p.resets, 0); // a row with a setter has no default to put
}

TEST(ParameterTable, SetsAndAsksByTheRows)
{
    Simulation s;
    IFcircuit& ckt = *s.ckt;
    struct Case {
        const char* what;
        int32_t id;
        IFvalue value;
        int code;
    };
    IFvalue complex {};
    complex.cValue = { 0.5, -2 };
    const Case cases[] = {
        { "a real", Size, real(4), 0 },
        { "an integer at its least", Count, integer(1), 0 },
        { "an integer at its most", Count, integer(6), 0 },
        { "an integer below its range", Count, integer(0), E_BADVALUE },
        { "an integer above its range", Count, integer(7), E_BADVALUE },
        { "a flag", On, integer(0), 0 },
        { "a flag of the wrong kind", On, integer(2), E_BADTYPE },
        { "a complex value", Ac, complex, 0 },
        { "an ask-only value", Twice, real(1), E_BADPARM },
        { "an unknown id", 99, real(1), E_BADPARM },
        { "a setter refusing", Reset, integer(-1), E_BADVALUE },
    };
    for (const Case& c : cases) {
        Part p {};
        table.defaults(p);
        const Part before = p;
        EXPECT_EQ(table.set(p, c.id, c.value), c.code) << c.what;
        if (c.code != 0) {
            EXPECT_TRUE(same(p, before)) << c.what << ": a refused value changes nothing";
            continue;
        }
        IFvalue back {};
        if (c.id == On) {
            EXPECT_FALSE(p.on);
            EXPECT_EQ(table.ask(ckt, p, c.id, back), E_BADPARM) << "set only";
        } else {
            ASSERT_EQ(table.ask(ckt, p, c.id, back), 0) << c.what;
            EXPECT_EQ(std::memcmp(&back, &c.value, sizeof(IFcomplex)), 0) << c.what;
        }
    }
}

TEST(ParameterTable, GivenFlagsAndSideEffects)
{
    Simulation s;
    Part p {};
    table.defaults(p);
    IFvalue value {};
    ASSERT_EQ(table.ask(*s.ckt, p, Twice, value), 0);
    EXPECT_EQ(value.rValue, 5);
    ASSERT_EQ(table.set(p, Count, integer(4)), 0);
    EXPECT_FALSE(p.sizegiven) << "a row raises only its own flag";
    ASSERT_EQ(table.set(p, Size, real(1.5)), 0);
    EXPECT_TRUE(p.sizegiven);
    ASSERT_EQ(table.ask(*s.ckt, p, Twice, value), 0);
    EXPECT_EQ(value.rValue, 3);
    ASSERT_EQ(table.set(p, Reset, integer(7)), 0);
    EXPECT_EQ(p.size, 7);
    EXPECT_FALSE(p.sizegiven);
    EXPECT_EQ(p.resets, 1);
}

TEST(ParameterTable, EveryDescriptorRowAnswersAsItsFlagsSay)
{
    // Through the engine's entries: a row sets exactly when it says IF_SET and is asked exactly
    // when it says IF_ASK, for every device type and analysis.
    Simulation s;
    for (int32_t type = 0; type < s.d->numDevices; ++type) {
        const IFdevice* device = s.d->devices[type];
        IFmodel* model = nullptr;
        ASSERT_EQ(s.d->newModel(s.ckt, type, &model, device->name), 0);
        IFinstance* instance = nullptr;
        ASSERT_EQ(s.d->newInstance(s.ckt, model, &instance, device->name), 0);
        for (int32_t i = 0; i < device->numInstanceParms; ++i) {
            const IFparm& parm = device->instanceParms[i];
            IFvalue value {};
            const int asked = s.d->askInstanceQuest(s.ckt, instance, parm.id, &value, nullptr);
            EXPECT_EQ(asked == 0, (parm.dataType & IF_ASK) != 0) << device->name << " " << parm.keyword;
            if (!(parm.dataType & IF_SET)) {
                EXPECT_EQ(s.d->setInstanceParm(s.ckt, instance, parm.id, &value, nullptr), E_BADPARM)
                    << device->name << " " << parm.keyword;
            }
        }
        IFvalue value {};
        EXPECT_EQ(s.d->setInstanceParm(s.ckt, instance, 999, &value, nullptr), E_BADPARM) << device->name;
        EXPECT_EQ(s.d->askModelQuest(s.ckt, model, 999, &value, nullptr), E_BADPARM) << device->name;
    }
    const IFanalysis* tran = s.d->analyses[s.analysis("TRAN")];
    IFjob* job = nullptr;
    ASSERT_EQ(s.d->newAnalysis(s.ckt, s.analysis("TRAN"), "TRAN", &job, s.task), 0);
    for (int32_t i = 0; i < tran->numParms; ++i) {
        IFvalue value {};
        EXPECT_EQ(s.d->askAnalysisQuest(s.ckt, job, tran->analysisParms[i].id, &value, nullptr), 0)
            << tran->analysisParms[i].keyword;
        EXPECT_EQ(value.rValue, 0) << tran->analysisParms[i].keyword;
    }
    IFvalue value {};
    EXPECT_EQ(s.d->askAnalysisQuest(s.ckt, s.options, 1, &value, nullptr), E_BADPARM)
        << "options are set only";
}
