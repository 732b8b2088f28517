// The interface device: models that stamp themselves through the circuit interface solve as the
// engine's own devices do, in transient and in AC, and get their step limits and accepted points.
#include "engines/contract/models.h"
#include "engines/nerith/tests/simulation.h"

#include <algorithm>
#include <cmath>
#include <complex>

using nerithtest::frontend;
using nerithtest::Plot;
using nerithtest::Simulation;

namespace {

// A resistor between two nodes, stamped through the cells the model fetched when it bound; with a
// step limit it asks every step to be at most that long, and it keeps the times it was accepted at.
class ResistorModel final : public ISPICEMODEL {
public:
    ResistorModel(int32_t a, int32_t b, double resistance)
        : p(a)
        , q(b)
        , g(1 / resistance)
    {
    }

    int analogpin(const char*) override { return 1; }
    void bindspice(IINSTANCE*, ISPICECKT* circuit) override
    {
        ++binds;
        pp = circuit->element(p, p);
        qq = circuit->element(q, q);
        pq = circuit->element(p, q);
        qp = circuit->element(q, p);
    }
    void runmode(int32_t) override { }
    void setstate(double, int32_t) override { }
    int32_t getstate(double, ACTIVEEVENT*) override { return 0; }
    void loaddc(double, uint32_t, const double*, double*) override { stamp(); }
    void loadac(double, double*, double*) override { stamp(); }
    void limitstep(double, double* step) override
    {
        if (limit > 0)
            *step = std::min(*step, limit);
    }
    void acceptstep(double time, const double*) override { accepted.push_back(time); }
    int32_t spiceevent(intptr_t) override { return 0; }

    double limit = 0;
    int binds = 0;
    std::vector<double> accepted;

private:
    void stamp()
    {
        *pp += g;
        *qq += g;
        *pq -= g;
        *qp -= g;
    }

    int32_t p;
    int32_t q;
    double g;
    double* pp = nullptr;
    double* qq = nullptr;
    double* pq = nullptr;
    double* qp = nullptr;
};

// An OBJITF instance serving the model.
IFinstance* addmodel(Simulation& s, const char* name, ISPICEMODEL* model)
{
    IFinstance* instance = s.add("OBJITF", name, {});
    const IFdevice* device = s.d->devices[s.types.at(instance)];
    const IFparm* parm = nerithtest::findparm(device->instanceParms, device->numInstanceParms, "model");
    EXPECT_NE(parm, nullptr);
    IFvalue value {};
    value.pValue = model;
    EXPECT_EQ(s.d->setInstanceParm(s.ckt, instance, OBJITF_MODEL, &value, nullptr), 0);
    EXPECT_EQ(parm->id, OBJITF_MODEL);
    return instance;
}

// An RC low-pass from a pulse: its resistor is the engine's, or a model's through OBJITF.
Plot lowpass(bool throughmodel, double limit = 0, std::vector<double>* accepted = nullptr)
{
    Simulation s;
    auto* v1 = s.add("Vsource", "v1", { "in", "0" });
    EXPECT_EQ(s.set(v1, "pulse", std::vector<double> { 0, 1, 1e-4, 1e-5, 1e-5, 1e-3, 2e-3 }), 0);
    s.add("Capacitor", "c1", { "out", "0" }, { { "capacitance", 1e-6 } });
    ResistorModel model(s.node("in")->number, s.node("out")->number, 1e3);
    model.limit = limit;
    if (throughmodel)
        addmodel(s, "x1", &model);
    else
        s.add("Resistor", "r1", { "in", "out" }, { { "resistance", 1e3 } });
    s.transient({ { "tstop", 4e-3 } });
    EXPECT_EQ(s.runtransient(), 0) << s.message(E_PRIVATE);
    if (throughmodel) {
        EXPECT_EQ(model.binds, 1);
    }
    if (accepted)
        *accepted = model.accepted;
    return frontend().plots.back();
}

} // namespace

TEST(Objitf, AModelStampingAResistorSolvesAsTheResistor)
{
    const Plot engine = lowpass(false);
    const Plot model = lowpass(true);
    ASSERT_EQ(engine.points.size(), model.points.size());
    for (std::size_t k = 0; k < engine.points.size(); ++k) {
        EXPECT_EQ(engine.points[k].first, model.points[k].first);
        ASSERT_EQ(engine.points[k].second.size(), model.points[k].second.size());
        for (std::size_t n = 0; n < engine.points[k].second.size(); ++n)
            EXPECT_NEAR(engine.points[k].second[n], model.points[k].second[n], 1e-12) << k;
    }
}

TEST(Objitf, AModelStampingAResistorPassesItsSmallSignal)
{
    // An RC low-pass at its corner frequency: half the power and -45 degrees.
    Simulation s;
    s.add("Vsource", "v1", { "in", "0" }, { { "acmag", 1 } });
    s.add("Capacitor", "c1", { "out", "0" }, { { "capacitance", 1e-6 } });
    ResistorModel model(s.node("in")->number, s.node("out")->number, 1e3);
    addmodel(s, "x1", &model);
    IFtask* task = s.analysis("AC",
        { { "fstart", nerithtest::real(1e3 / (2 * M_PI)) }, { "fstop", nerithtest::real(1e3 / (2 * M_PI)) },
            { "numsteps", nerithtest::integer(1) }, { "lin", nerithtest::integer(1) } });
    ASSERT_EQ(s.d->doAnalyses(s.ckt, 1, task), 0) << s.message(E_PRIVATE);
    const Plot& plot = frontend().plots.back();
    ASSERT_EQ(plot.points.size(), 1u);
    const std::complex<double> out = plot.at(0, static_cast<std::size_t>(s.column(plot, "out")));
    EXPECT_NEAR(std::abs(out), 1 / std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(std::arg(out), -M_PI / 4, 1e-12);
}

TEST(Objitf, ModelsLimitTheStepAndSeeEveryAcceptedPoint)
{
    std::vector<double> accepted;
    const Plot plot = lowpass(true, 1e-5, &accepted);
    ASSERT_GT(plot.points.size(), 400u);
    std::vector<double> delivered;
    for (std::size_t k = 0; k < plot.points.size(); ++k) {
        delivered.push_back(plot.points[k].first);
        if (k > 0) {
            EXPECT_LE(plot.points[k].first - plot.points[k - 1].first, 1e-5 * (1 + 1e-9)) << k;
        }
    }
    EXPECT_EQ(accepted, delivered);
}

TEST(Objitf, AnInstanceWithoutAModelFailsNamingIt)
{
    Simulation s;
    s.add("Vsource", "v1", { "a", "0" }, { { "dc", 1 } });
    s.add("Resistor", "r1", { "a", "0" }, { { "resistance", 1e3 } });
    s.add("OBJITF", "x1", {});
    EXPECT_EQ(s.run(), E_PRIVATE);
    EXPECT_NE(s.message(E_PRIVATE).find("x1"), std::string::npos) << s.message(E_PRIVATE);
}
