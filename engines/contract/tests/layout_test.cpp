// Model libraries and the engines call these interfaces by slot number and read the descriptors by
// offset, so a reordered or inserted entry is an ABI break even when everything still compiles.
#include "engines/contract/instance.h"
#include "engines/contract/models.h"
#include "engines/contract/simlog.h"
#include "engines/nerith/nerith.h"
#include "engines/pallex/pallex.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// The vtable slot of a virtual member function (Itanium C++ ABI: the pointer holds 1 + the byte
// offset of the slot).
template <class M>
std::ptrdiff_t slotof(M member)
{
    struct {
        std::uintptr_t ptr;
        std::ptrdiff_t adjust;
    } rep;
    static_assert(sizeof member == sizeof rep);
    std::memcpy(&rep, &member, sizeof rep);
    if ((rep.ptr & 1) == 0)
        return -1;
    return static_cast<std::ptrdiff_t>((rep.ptr - 1) / sizeof(void*));
}

constexpr std::size_t slot(int n)
{
    return static_cast<std::size_t>(n) * sizeof(void*);
}

}  // namespace

TEST(Contract, InstanceSlots)
{
    EXPECT_EQ(slotof(&IINSTANCE::getname), 0);
    EXPECT_EQ(slotof(&IINSTANCE::getnumval), 3);
    EXPECT_EQ(slotof(&IINSTANCE::getinitval), 6);
    EXPECT_EQ(slotof(&IINSTANCE::getdelay), 7);
    EXPECT_EQ(slotof(&IINSTANCE::getspicenode), 11);
    EXPECT_EQ(slotof(&IINSTANCE::getpallexpin), 12);
    EXPECT_EQ(slotof(&IINSTANCE::warning), 14);
    EXPECT_EQ(slotof(&IINSTANCE::fatal), 16);
    EXPECT_EQ(slotof(&IINSTANCE::loadmemory), 21);
    EXPECT_EQ(slotof(&IINSTANCE::logmessage), 24);
    EXPECT_EQ(slotof(&IINSTANCE::trace), 27);
    EXPECT_EQ(slotof(&IINSTANCE::getpinnet), 29);
}

TEST(Contract, ModelSlots)
{
    EXPECT_EQ(slotof(&ISPICEMODEL::analogpin), 0);
    EXPECT_EQ(slotof(&ISPICEMODEL::bindspice), 1);
    EXPECT_EQ(slotof(&ISPICEMODEL::getstate), 4);
    EXPECT_EQ(slotof(&ISPICEMODEL::loaddc), 5);
    EXPECT_EQ(slotof(&ISPICEMODEL::loadac), 6);
    EXPECT_EQ(slotof(&ISPICEMODEL::acceptstep), 8);
    EXPECT_EQ(slotof(&ISPICEMODEL::spiceevent), 9);
    EXPECT_EQ(slotof(&IPALLEXMODEL::digitalpin), 0);
    EXPECT_EQ(slotof(&IPALLEXMODEL::bindpallex), 1);
    EXPECT_EQ(slotof(&IPALLEXMODEL::simulate), 5);
    EXPECT_EQ(slotof(&IPALLEXMODEL::callback), 6);
    EXPECT_EQ(slotof(&IPALLEXMODEL::pallexevent), 7);
}

TEST(Contract, CircuitSlots)
{
    EXPECT_EQ(slotof(&ISPICECKT::modetest), 0);
    EXPECT_EQ(slotof(&ISPICECKT::query), 1);
    EXPECT_EQ(slotof(&ISPICECKT::state), 2);
    EXPECT_EQ(slotof(&ISPICECKT::suspend), 3);
    EXPECT_EQ(slotof(&ISPICECKT::solution), 4);
    EXPECT_EQ(slotof(&ISPICECKT::lowerinitialstep), 5);
    EXPECT_EQ(slotof(&ISPICECKT::newnode), 8);
    EXPECT_EQ(slotof(&ISPICECKT::newbranch), 9);
    EXPECT_EQ(slotof(&ISPICECKT::element), 11);
    EXPECT_EQ(slotof(&ISPICECKT::setbreak), 12);
    EXPECT_EQ(slotof(&ISPICECKT::allocstates), 14);
    EXPECT_EQ(slotof(&ISPICECKT::proposestep), 19);
    EXPECT_EQ(slotof(&IPALLEXCKT::gettime), 0);
    EXPECT_EQ(slotof(&IPALLEXCKT::setcallback), 1);
    EXPECT_EQ(slotof(&IPALLEXCKT::suspend), 2);
    EXPECT_EQ(slotof(&IPALLEXCKT::requesttime), 3);
    EXPECT_EQ(slotof(&IPALLEXPIN2::getstate), 0);
    EXPECT_EQ(slotof(&IPALLEXPIN2::ishigh), 1);
    EXPECT_EQ(slotof(&IPALLEXPIN2::setstate), 2);
    EXPECT_EQ(slotof(&IOPTIONS::getoption), 0);
    EXPECT_EQ(slotof(&IOPTIONS::getoptiontext), 1);
    EXPECT_EQ(slotof(&ISIMLOG::trace), 0);
    EXPECT_EQ(slotof(&ISIMLOG::log), 3);
    EXPECT_EQ(slotof(&ISIMLOG::help), 5);
}

TEST(Contract, DescriptorsArePointerWideSlots)
{
    EXPECT_EQ(sizeof(IFsimulator), slot(40));
    EXPECT_EQ(offsetof(IFsimulator, newCircuit), slot(3));
    EXPECT_EQ(offsetof(IFsimulator, findNode), slot(8));
    EXPECT_EQ(offsetof(IFsimulator, newModel), slot(18));
    EXPECT_EQ(offsetof(IFsimulator, doAnalyses), slot(30));
    EXPECT_EQ(offsetof(IFsimulator, numDevices), slot(32));
    EXPECT_EQ(offsetof(IFsimulator, devices), slot(33));
    EXPECT_EQ(offsetof(IFsimulator, nodeParms), slot(37));
    EXPECT_EQ(offsetof(IFsimulator, specSigs), slot(39));

    EXPECT_EQ(sizeof(IFfrontEnd), slot(20));
    EXPECT_EQ(offsetof(IFfrontEnd, pauseTest), slot(2));
    EXPECT_EQ(offsetof(IFfrontEnd, error), slot(4));
    EXPECT_EQ(offsetof(IFfrontEnd, appendData), slot(6));
    EXPECT_EQ(offsetof(IFfrontEnd, endPlot), slot(11));
    EXPECT_EQ(offsetof(IFfrontEnd, attributes), slot(14));
    EXPECT_EQ(offsetof(IFfrontEnd, digitalSetup), slot(15));
    EXPECT_EQ(offsetof(IFfrontEnd, digitalAccept), slot(19));
}

TEST(Contract, MixedModelDigitalPartFollowsAnalogPart)
{
    struct Mixed final : IMIXEDMODEL {
        int analogpin(const char*) override { return 0; }
        void bindspice(IINSTANCE*, ISPICECKT*) override {}
        void runmode(int32_t) override {}
        void setstate(double, int32_t) override {}
        int32_t getstate(double, ACTIVEEVENT*) override { return 0; }
        void loaddc(double, uint32_t, const double*, double*) override {}
        void loadac(double, double*, double*) override {}
        void limitstep(double, double*) override {}
        void acceptstep(double, const double*) override {}
        int32_t spiceevent(intptr_t) override { return 0; }
        int digitalpin(const char*) override { return 0; }
        void bindpallex(IINSTANCE*, IPALLEXCKT*) override {}
        void simulate(int64_t, uint32_t) override {}
        void callback(int64_t, intptr_t) override {}
        int32_t pallexevent(intptr_t) override { return 0; }
    } mixed;
    auto* analog = reinterpret_cast<char*>(static_cast<ISPICEMODEL*>(&mixed));
    auto* digital = reinterpret_cast<char*>(static_cast<IPALLEXMODEL*>(&mixed));
    EXPECT_EQ(digital - analog, static_cast<std::ptrdiff_t>(sizeof(void*)));
}
