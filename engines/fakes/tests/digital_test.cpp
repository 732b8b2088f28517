#include "engines/fakes/digital.h"
#include "engines/fakes/instance.h"
#include "engines/fakes/recorder.h"

#include "engines/contract/models.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A digital model that asks for a callback when it is bound.
class Clock final : public IPALLEXMODEL {
public:
    int digitalpin(const char*) override { return 1; }
    void bindpallex(IINSTANCE*, IPALLEXCKT* ckt) override
    {
        circuit = ckt;
        ckt->setcallback(1000, this, 7);
        ckt->requesttime(2000);
    }
    void runmode(int32_t) override {}
    void setstate(double, int32_t) override {}
    int32_t getstate(double, ACTIVEEVENT*) override { return 0; }
    void simulate(int64_t, uint32_t) override {}
    void callback(int64_t, intptr_t) override {}
    int32_t pallexevent(intptr_t) override { return 0; }

    IPALLEXCKT* circuit = nullptr;
};

std::vector<double> requested;

void request(void*, double time)
{
    requested.push_back(time);
}

}  // namespace

TEST(FakeDigital, RecordsPartsPinsInterfacesAndTheLockStep)
{
    fakes::reset();
    fakes::digital().adcs["MIX"] = { "U1", "U2" };
    fakes::digital().unknowntypes = { "NOSUCH" };

    IPALLEXCKT* circuit = nullptr;
    EXPECT_NE(pallex_initialize(nullptr, &circuit), 0);
    fakes::Instance u1("U1", { { "TPD", "10n" } });
    Clock clock;
    PXobject* part = nullptr;
    EXPECT_NE(pallex_create(&u1, "INTMODEL", nullptr, &clock, &part), 0);
    EXPECT_EQ(clock.circuit, circuit);
    IPALLEXPIN2* pin = nullptr;
    EXPECT_NE(pallex_connect(part, "Q", 2, "MIX", &pin), 0);
    ASSERT_NE(pin, nullptr);
    EXPECT_EQ(pin->getstate(), STATE_FLT);
    EXPECT_NE(pallex_pokepin(part, 0, 1e-9, STATE_SHI), 0);
    EXPECT_NE(pin->ishigh(), 0);
    EXPECT_EQ(pallex_peekpin(part, 1, nullptr), 0);
    PXobject* refused = nullptr;
    EXPECT_EQ(pallex_create(&u1, "NOSUCH", nullptr, nullptr, &refused), 0);

    PXinterface pairs[PX_MAXINTERFACES];
    int32_t count = 0;
    EXPECT_NE(pallex_createadcs("MIX", pairs, PX_MAXINTERFACES, &count), 0);
    ASSERT_EQ(count, 2);
    EXPECT_STREQ(pairs[1].name, "U2");
    EXPECT_NE(pallex_createdacs("MIX", pairs, PX_MAXINTERFACES, &count), 0);
    EXPECT_EQ(count, 0);

    PXlink* dac = nullptr;
    pallex_linkdac("MIX", nullptr, &dac);
    EXPECT_NE(dac, nullptr);
    STATE* live = nullptr;
    EXPECT_NE(pallex_linknet("MIX", &live), 0);
    EXPECT_EQ(pallex_linknet("ANALOG", &live), 0);
    EXPECT_EQ(getdelay(&u1, "TPD", 5), 10000);
    EXPECT_EQ(getdelay(&u1, "TPLH", 5), 5);

    fakes::script("changes", { 2 });
    int changes = 0;
    EXPECT_EQ(pallex_bootstep(1, 1, &changes), 1);
    EXPECT_EQ(changes, 2);
    requested.clear();
    EXPECT_EQ(pallex_accept(3e-9, nullptr, request), 1);
    EXPECT_EQ(requested, std::vector<double> { 2e-9 });
    EXPECT_EQ(circuit->gettime(), 3000);
    EXPECT_NE(pallex_terminate(), 0);

    EXPECT_EQ(fakes::calls(),
        (std::vector<std::string> { "pallex_initialize()", "pallex_create(U1, INTMODEL)",
            "setcallback(1000, 7)", "requesttime(2000)", "pallex_connect(U1, Q, 2, MIX)",
            "pallex_pokepin(U1, 0, 1e-09, 0F)", "pallex_peekpin(U1, 1)", "pallex_create(U1, NOSUCH)",
            "pallex_createadcs(MIX)", "pallex_createdacs(MIX)", "pallex_linkdac(MIX)", "pallex_linknet(MIX)",
            "pallex_linknet(ANALOG)", "getdelay(U1, TPD)", "getdelay(U1, TPLH)", "pallex_bootstep(1, 1)",
            "pallex_accept(3e-09)", "pallex_terminate()" }));
    fakes::reset();
}
