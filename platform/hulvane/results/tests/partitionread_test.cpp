#include "platform/hulvane/results/partition.h"
#include "platform/hulvane/results/tests/partition_testing.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace resultstest;

namespace {

constexpr uint32_t low = 1;
constexpr uint32_t high = 3;

class PartitionRead : public testing::Test {
protected:
    std::filesystem::path file = vkt::test::makeTempSubfolder("read") / "p.pdf";
};

TEST_F(PartitionRead, IteratorIsNullWithoutChannelSamplesOrFinishedRun)
{
    PARTITION p("p", file.c_str());
    ASSERT_EQ(p.open(PARTITION::MODE_UPDATE), 1);
    int a = p.addchannel("A", "");
    p.addchannel("EMPTY", "");
    p.setchannel(p.addchannel("TOA", "A"), PARTITION::KIND_ALIAS, 0, 0);
    p.setchannel(p.addchannel("TOEMPTY", "EMPTY"), PARTITION::KIND_ALIAS, 0, 0);
    int b = p.addchannel("B", "");
    p.beginrun();
    p.writeanalog(0, a, 1.0, 0);
    p.endrun();
    p.beginrun();
    p.writeanalog(0, b, 2.0, 0);
    EXPECT_EQ(p.getiterator("B", 1), nullptr);  // the run is not finished yet
    p.endrun();
    const std::pair<const char*, int> absent[] = {
        {"MISSING", 0}, {"EMPTY", 0}, {"TOEMPTY", 0}, {"A", 1}, {"A", 2}, {"A", -1}, {"B", 0}};
    for (const auto& [name, run] : absent)
        EXPECT_EQ(p.getiterator(name, run), nullptr) << name << " run " << run;
    CHANNEL_ITERATOR* alias = p.getiterator("toa", 0);
    ASSERT_NE(alias, nullptr);
    EXPECT_EQ(alias->channel, a);
    EXPECT_EQ(p.iterators.count, 1);
}

// A run of 16-byte marker and sample pairs plus extra 6-byte samples at the last time reaches any
// even length; the end tag adds 2.
void writedigitalrun(PARTITION& p, int pairs, int extras)
{
    p.beginrun();
    for (int i = 0; i < pairs; ++i)
        p.writedigital(i * 1e-9, 0, i % 2 ? &high : &low, 1);
    for (int i = 0; i < extras; ++i)
        p.writedigital((pairs - 1) * 1e-9, 0, &high, 1);
    p.endrun();
}

TEST_F(PartitionRead, RunsUpToTheCacheLimitAreReadOnceLongerOnesStreamedAlike)
{
    PARTITION p("p", file.c_str());
    ASSERT_EQ(p.open(PARTITION::MODE_UPDATE), 1);
    p.setchannel(p.addchannel("D", ""), PARTITION::KIND_DIGITAL, 1, 0);
    writedigitalrun(p, 65535, 2);
    writedigitalrun(p, 65534, 5);
    ASSERT_EQ(p.runs[0].length, 1048574);
    ASSERT_EQ(p.runs[1].length, 1048576);
    p.close(0);

    ASSERT_EQ(p.open(PARTITION::MODE_READHEADER), 1);
    CHANNEL_ITERATOR* cached = p.getiterator("D", 0);
    CHANNEL_ITERATOR* streamed = p.getiterator("D", 1);
    EXPECT_NE(p.runs[0].cache, nullptr);
    EXPECT_TRUE(cached->memoryfile && !cached->ownfile);
    EXPECT_EQ(p.runs[1].cache, nullptr);
    EXPECT_TRUE(streamed->ownfile && !streamed->memoryfile);
    for (int i = 0; i < 65534; i += 4099) {
        double t = i * 1e-9 + 0.5e-9;
        EXPECT_EQ(cached->getstate(t), streamed->getstate(t)) << i;
        EXPECT_EQ(streamed->getstate(t), i % 2 ? high : low) << i;
    }
    // A second iterator over the cached run shares its copy.
    EXPECT_EQ(p.getiterator("D", 0)->memoryfile->buffer, cached->memoryfile->buffer);
}

TEST_F(PartitionRead, IteratorsOverAPartitionBeingWrittenLeaveTheWriterInPlace)
{
    PARTITION p("p", file.c_str());
    ASSERT_EQ(p.open(PARTITION::MODE_UPDATE), 1);
    p.setchannel(p.addchannel("D", ""), PARTITION::KIND_DIGITAL, 1, 0);
    writedigitalrun(p, 70000, 0);
    writedigitalrun(p, 3, 0);
    CHANNEL_ITERATOR* streamed = p.getiterator("D", 0);
    CHANNEL_ITERATOR* cached = p.getiterator("D", 1);
    ASSERT_TRUE(streamed && cached);
    writedigitalrun(p, 5, 0);
    EXPECT_EQ(streamed->getstate(69999e-9), high);
    EXPECT_EQ(cached->getstate(2e-9), low);
    p.close(0);

    ASSERT_EQ(p.open(PARTITION::MODE_READHEADER), 1);
    ASSERT_EQ(p.runcount, 3);
    EXPECT_EQ(p.getiterator("D", 2)->getstate(4e-9), low);
    EXPECT_EQ(p.getiterator("D", 0)->getstate(69999e-9), high);
}

TEST_F(PartitionRead, RecordsOfRunOneAreIndexedByName)
{
    PARTITION p("p", file.c_str());
    ASSERT_EQ(p.open(PARTITION::MODE_UPDATE), 1);
    p.beginrun();
    p.endrun();
    DIDX none;
    EXPECT_EQ(p.loadrecords(none), 0);
    p.beginrun();
    for (const char* part : {"R10", "R2", "C1"}) {
        p.beginrecord(part);
        p.recordprintf("%s=%d", part, 1);
        p.endrecord();
    }
    p.endrecords();
    DIDX records;
    EXPECT_EQ(p.loadrecords(records), 1);
    ASSERT_EQ(records.count, 3);
    const char* r2 = records["R2"];
    ASSERT_NE(r2, nullptr);
    EXPECT_STREQ(r2 + std::strlen(r2) + 1, "R2=1");
    EXPECT_STREQ(records.ptr(2), "R10");
    records.zap();
}

TEST_F(PartitionRead, InitialValueOfEachChannelKind)
{
    PARTITION p("p", file.c_str());
    ASSERT_EQ(p.open(PARTITION::MODE_UPDATE), 1);
    p.beginrun();
    p.writeanalog(0, p.addchannel("A", ""), 1.25, 0);
    p.writedigital(0, p.addchannel("D", ""), &high, 1);
    const uint32_t wide[] = {high, low, high, 2};
    p.writedigital(0, p.addchannel("BUS", ""), wide, 4);
    p.writecomplex(0, p.addchannel("F", ""), {1, 2});
    p.endrun();

    CHANNELVALUE value {};
    ASSERT_EQ(p.getinitialvalue("A", &value), 1);
    EXPECT_EQ(value.kind, 0);
    EXPECT_EQ(value.value, 1.25);
    ASSERT_EQ(p.getinitialvalue("D", &value), 1);
    EXPECT_EQ(value.kind, 1);
    EXPECT_EQ(value.state, high);
    ASSERT_EQ(p.getinitialvalue("BUS", &value), 1);
    EXPECT_EQ(value.kind, 2);
    EXPECT_EQ(value.state, 0b101u);
    EXPECT_EQ(p.getinitialvalue("F", &value), 0);
    EXPECT_EQ(p.getinitialvalue("MISSING", &value), 0);
}

}  // namespace
