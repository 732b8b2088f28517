// A netlist built through the netlist's interface and written by its writer runs as the same
// circuit written by hand: the results read back through the partition reader are the same.
#include "host/simrun/tests/endtoend.h"
#include "platform/hulvane/netgen.h"
#include "platform/hulvane/tests/rcnetlist.h"

#include <string>
#include <utility>
#include <vector>

namespace {

// Every sample of a channel: its time and value.
std::vector<std::pair<double, double>> samples(PARTITION& partition, const char* channel)
{
    std::vector<std::pair<double, double>> out;
    CHANNEL_ITERATOR* probe = partition.getiterator(channel, 0);
    EXPECT_NE(probe, nullptr) << channel;
    if (!probe)
        return out;
    for (int more = probe->start(); more; more = probe->step())
        out.emplace_back(probe->currenttime, probe->getvalue(probe->currenttime));
    return out;
}

TEST_F(EndToEnd, AWrittenNetlistRunsAsTheSameCircuitWrittenByHand)
{
    NETLIST netlist;
    hulvanetest::buildrc(netlist, true, "RCAPI");
    const std::string written = (vkt::test::tempFolder() / "rcapi.net").string();
    ASSERT_EQ(net_gen(netlist, written.c_str(), NETFORMAT_SDF), 1);

    simulate("rc.net");
    const auto byhand = samples(results("RC"), "VOUT");
    run = runcommand(std::string(SIMRUN_PROGRAM) + " " + written);
    ASSERT_LE(run.exitcode, 1) << run.output;
    const auto generated = samples(results("RCAPI"), "VOUT");
    ASSERT_GT(byhand.size(), 100u);
    EXPECT_EQ(generated, byhand);
}

} // namespace
