// The example model library on the real digital engine, with a part and an analog circuit of the
// test's own in place of the kernel's.
#include "engines/fakes/instance.h"
#include "engines/nerith/circuit.h"
#include "engines/pallex/pallex.h"
#include "platform/win/modules.h"
#include "simulator/kernel/activeevent.h"
#include "simulator/models/extmodel/modelentries.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// The part: its properties and messages from the engines' fake instance, its pins from the test.
class Part final : public IINSTANCE {
public:
    explicit Part(std::map<std::string, std::string> properties)
        : base("U1", std::move(properties))
    {
    }
    const char* getname() override { return base.getname(); }
    const char* getvalue() override { return base.getvalue(); }
    const char* getstrval(const char* name, const char* def) override { return base.getstrval(name, def); }
    double getnumval(const char* name, double def) override { return base.getnumval(name, def); }
    int getboolval(const char* name, int def) override { return base.getboolval(name, def); }
    uint32_t gethexval(const char* name, uint32_t def) override { return base.gethexval(name, def); }
    int32_t getinitval(const char* name, int32_t def) override { return ::getinitval(this, name, def); }
    int64_t getdelay(const char* name, int64_t def) override { return ::getdelay(this, name, def); }
    uint32_t getactiveid() override { return 0; }
    IINSTANCE* getlink() override { return nullptr; }
    int getmoddata(const void**, int32_t*) override { return 0; }
    int32_t getspicenode(const char* pin, int) override { return std::string(pin) == "OUT" ? 1 : -1; }
    IPALLEXPIN2* getpallexpin(const char* pin, int) override
    {
        auto found = pins.find(pin);
        return found == pins.end() ? nullptr : found->second;
    }
    int message(const char*, ...) override { return 1; }
    int warning(const char* format, ...) override
    {
        messages.push_back(std::string("W ") + format);
        return 1;
    }
    int error(const char* format, ...) override
    {
        messages.push_back(std::string("E ") + format);
        return 1;
    }
    void fatal(const char* format, ...) override { throw fakes::Fatal(format); }
    int log(const char*, ...) override { return 0; }
    void* createpopup(void*) override { return nullptr; }
    void sendelementmessage(intptr_t) override { }
    intptr_t sendhostmessage(uint32_t) override { return 0; }
    int loadmemory(const char*, uint8_t*, int32_t, uint32_t, int32_t) override { return 0; }
    IBUSPIN* getbuspin(const char*, IPALLEXPIN2**, int32_t) override { return nullptr; }
    IBUSPIN* getbuspinbyname(const char*, int32_t, int32_t, int) override { return nullptr; }
    int logmessage(int, const char*, va_list) override { return 1; }
    void help(const char*, int32_t) override { }
    void registertrace(const TRACEFLAGINFO*, TRACEFLAG*, int32_t, ITRACEOWNER*) override { }
    int trace(TRACEFLAG*, int, const char*, va_list) override { return 0; }
    int ismixed() override { return 1; }
    INETINFO* getpinnet(const char*) override { return nullptr; }

    fakes::Instance base;
    std::map<std::string, IPALLEXPIN2*> pins;
    std::vector<std::string> messages;
};

// One node (OUT) to ground; the break points the model sets.
class Analog final : public ISPICECKT {
public:
    int modetest(uint32_t) override { return 0; }
    int query(double* out, int code) override
    {
        if (code != QUERY_SRCFACT)
            return 0;
        *out = sourcefactor;
        return 1;
    }
    double* state(int32_t, int32_t) override { return nullptr; }
    void suspend(IINSTANCE*, const char*) override { }
    double* solution() override { return nullptr; }
    double lowerinitialstep(double limit) override { return limit; }
    int32_t newnode(IINSTANCE*, const char*) override { return 0; }
    int32_t newbranch(IINSTANCE*, const char*) override { return 0; }
    double* element(int32_t row, int32_t column) override
    {
        return row == 1 && column == 1 ? &cell : nullptr;
    }
    int setbreak(double time) override
    {
        breaks.push_back(time);
        return 1;
    }
    int32_t allocstates(int32_t) override { return -1; }
    void proposestep(double) override { }

    double cell = 0;
    double sourcefactor = 1;
    std::vector<double> breaks;
};

void ignore(void*, double)
{
}

class CounterTest : public testing::Test {
protected:
    void SetUp() override
    {
        library = LoadLibraryA(COUNTER_LIBRARY);
        ASSERT_NE(library, nullptr) << moduleloaderror();
        create = reinterpret_cast<decltype(&createmixedmodel)>(GetProcAddress(library, "createmixedmodel"));
        remove = reinterpret_cast<decltype(&deletemixedmodel)>(GetProcAddress(library, "deletemixedmodel"));
        ASSERT_TRUE(create && remove);
        EXPECT_EQ(GetProcAddress(library, "createspicemodel"), nullptr);
        ASSERT_NE(pallex_initialize(nullptr, &digital), 0);
    }
    void TearDown() override
    {
        pallex_terminate();
        if (model)
            remove(model);
        FreeLibrary(library);
    }

    // The counter of `width` outputs, clocked by a clock of period 100 ns (rising at 50, 150, ...
    // ns), bound to both sides.
    void make(std::map<std::string, std::string> properties, int width)
    {
        part = std::make_unique<Part>(std::move(properties));
        model = create("counter", nullptr);
        ASSERT_NE(model, nullptr);
        PXobject* clock = nullptr;
        pallex_create(&clockpart, "CLOCK", nullptr, nullptr, &clock);
        pallex_connect(clock, "Q", 2, "clk", nullptr);
        PXobject* handle = nullptr;
        ASSERT_NE(
            pallex_create(part.get(), "EXTMODEL", nullptr, static_cast<IPALLEXMODEL*>(model), &handle), 0);
        ASSERT_NE(pallex_connect(handle, "CLK", 1, "clk", &part->pins["CLK"]), 0);
        for (int bit = 0; bit < width; ++bit) {
            std::string name = "Q" + std::to_string(bit);
            ASSERT_NE(pallex_connect(
                          handle, name.c_str(), 2, ("q" + std::to_string(bit)).c_str(), &part->pins[name]),
                0);
        }
        model->bindspice(part.get(), &analog);
        ASSERT_NE(pallex_setup(), 0);
    }

    // The count on the outputs q0 .. q<width - 1>.
    int outputs(int width)
    {
        int value = 0;
        for (int bit = 0; bit < width; ++bit) {
            STATE* state = nullptr;
            pallex_linknet(("q" + std::to_string(bit)).c_str(), &state);
            value |= (state && *state == STATE_SHI) << bit;
        }
        return value;
    }

    // OUT's open-circuit voltage the model stamps at `time` in `mode`.
    double out(double time, uint32_t mode = MODE_TRAN)
    {
        analog.cell = 0;
        double rhs[2] = { 0, 0 };
        model->loaddc(time, mode, nullptr, rhs);
        return rhs[1] / analog.cell;
    }

    HMODULE library = nullptr;
    decltype(&createmixedmodel) create = nullptr;
    decltype(&deletemixedmodel) remove = nullptr;
    IPALLEXCKT* digital = nullptr;
    fakes::Instance clockpart { "CK", { { "PERIOD", "100n" } } };
    std::unique_ptr<Part> part;
    Analog analog;
    IMIXEDMODEL* model = nullptr;
};

TEST_F(CounterTest, OnlyItsOwnTypeIsMade)
{
    IMIXEDMODEL* other = create("DAC", nullptr);
    EXPECT_EQ(other, nullptr);
    model = create("COUNTER", nullptr);
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->analogpin("out"), 1);
    EXPECT_EQ(model->analogpin("CLK"), 0);
    EXPECT_EQ(static_cast<IPALLEXMODEL*>(model)->digitalpin("Q12"), 1);
    EXPECT_EQ(static_cast<IPALLEXMODEL*>(model)->digitalpin("OUT"), 0);
}

TEST_F(CounterTest, CountsRisingEdgesAndStepsItsOutputAfterTheDelay)
{
    make({ { "TD", "10n" }, { "ROUT", "50" } }, 4);
    EXPECT_NEAR(out(0, MODE_TRANOP), 0, 1e-12);
    EXPECT_DOUBLE_EQ(analog.cell, 1 / 50.0);
    // The first edge at 50 ns: the count is 1 from 60 ns, OUT rises to 5/15 V by 61 ns.
    EXPECT_EQ(pallex_accept(50e-9, nullptr, ignore), 1);
    ASSERT_EQ(analog.breaks.size(), 2u);
    EXPECT_NEAR(analog.breaks[0], 60e-9, 1e-18);
    EXPECT_NEAR(analog.breaks[1], 61e-9, 1e-18);
    EXPECT_EQ(outputs(4), 0);
    double next = 0;
    pallex_timestep(100e-9, &next);
    EXPECT_DOUBLE_EQ(next, 60e-9);
    EXPECT_EQ(pallex_accept(60e-9, nullptr, ignore), 1);
    EXPECT_EQ(outputs(4), 1);
    EXPECT_NEAR(out(59.9e-9), 0, 1e-12);
    EXPECT_NEAR(out(60.5e-9), 5.0 / 30, 1e-9);
    EXPECT_NEAR(out(61e-9), 5.0 / 15, 1e-12);
    // Twenty edges by 2 us: the four bits wrapped once.
    for (double time = 100e-9; time <= 2e-6; time += 50e-9)
        pallex_accept(time, nullptr, ignore);
    EXPECT_EQ(outputs(4), 4);
    EXPECT_NEAR(out(2e-6), 4 * 5.0 / 15, 1e-12);
    analog.sourcefactor = 0.5;
    EXPECT_NEAR(out(2e-6, MODE_DCOP), 2 * 5.0 / 15, 1e-12);
}

TEST_F(CounterTest, StartsFromItsInitialCountAndReportsItsChanges)
{
    make({ { "WIDTH", "3" }, { "INIT", "6" }, { "VFS", "7" }, { "TRISE", "0" } }, 3);
    EXPECT_EQ(pallex_accept(1e-9, nullptr, ignore), 1);
    EXPECT_EQ(outputs(3), 6);
    EXPECT_NEAR(out(1e-9), 6, 1e-12);
    // The interactive run calls the analog side of a mixed model.
    ISPICEMODEL* interactive = model;
    ACTIVEEVENT event {};
    EXPECT_EQ(interactive->getstate(0, &event), 1);
    EXPECT_EQ(event.value, 6);
    EXPECT_EQ(interactive->getstate(0, &event), 0);
    // Two edges: 6, 7, 0; without TRISE the output steps at once.
    EXPECT_EQ(pallex_accept(200e-9, nullptr, ignore), 1);
    EXPECT_EQ(outputs(3), 0);
    EXPECT_NEAR(out(160e-9), 0, 1e-12);
    // A user event at the present time loads the count.
    interactive->setstate(200e-9, 5);
    pallex_accept(201e-9, nullptr, ignore);
    EXPECT_EQ(outputs(3), 5);
    EXPECT_EQ(interactive->getstate(0, &event), 1);
    EXPECT_EQ(event.value, 5);
}

} // namespace
