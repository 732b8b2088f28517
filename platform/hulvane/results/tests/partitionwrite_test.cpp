#include "platform/hulvane/results/partition.h"
#include "platform/hulvane/results/tests/partition_testing.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

using namespace resultstest;

namespace {

struct GoldenCase {
    const char* what;
    std::function<void(PARTITION&)> write;  // channels and samples of the one run
    ByteVector run;                         // the run as the file must hold it
    int32_t markers;
    ByteVector table;
};

std::vector<GoldenCase> goldenCases()
{
    std::vector<GoldenCase> cases;
    cases.push_back({"analog without tolerance writes every sample",
        [](PARTITION& p) {
            p.setchannel(p.addchannel("V1", "out"), PARTITION::KIND_ANALOG, 1, 0);
            p.writeanalog(0, 0, 1.0, 0);
            p.writeanalog(1e-3, 0, 2.0, 0);
            p.writeanalog(2e-3, 0, 2.0, 0);
        },
        Bytes().marker(0).analog(0, 1.0).marker(1e-3).analog(0, 2.0).marker(2e-3).analog(0, 2.0).end().data, 3,
        Bytes().channel("V1", "out", 1, 8).data});

    cases.push_back({"a constant with tolerance writes samples 1, 11, 22 and the last at the end",
        [](PARTITION& p) {
            p.setchannel(p.addchannel("V1", ""), PARTITION::KIND_ANALOG, 1, 0.01);
            for (int k = 0; k < 24; ++k)
                p.writeanalog(k * 1e-3, 0, 1.5, 0);
        },
        Bytes()
            .marker(0).analog(0, 1.5)
            .marker(10 * 1e-3).analog(0, 1.5)
            .marker(21 * 1e-3).analog(0, 1.5)
            .marker(23 * 1e-3).analog(0, 1.5)
            .end().data,
        4, Bytes().channel("V1", "", 1, 8).data});

    cases.push_back({"a bend writes the held sample before it",
        [](PARTITION& p) {
            p.setchannel(p.addchannel("V1", ""), PARTITION::KIND_ANALOG, 1, 0.01);
            const double values[] = {1, 2, 3, 4, 4, 4};
            for (int t = 0; t < 6; ++t)
                p.writeanalog(t, 0, values[t], 0);
        },
        Bytes().marker(0).analog(0, 1).marker(3).analog(0, 4).marker(5).analog(0, 4).end().data, 3,
        Bytes().channel("V1", "", 1, 8).data});

    cases.push_back({"force writes at once whatever the tolerance",
        [](PARTITION& p) {
            p.setchannel(p.addchannel("V1", ""), PARTITION::KIND_ANALOG, 1, 0.01);
            for (int t = 0; t < 3; ++t)
                p.writeanalog(t, 0, 2.0, 1);
        },
        Bytes().marker(0).analog(0, 2).marker(1).analog(0, 2).marker(2).analog(0, 2).end().data, 3,
        Bytes().channel("V1", "", 1, 8).data});

    // 0/0 is no prediction: every sample of a signal at zero is written.
    cases.push_back({"a relative error that is not a number writes",
        [](PARTITION& p) {
            p.setchannel(p.addchannel("V1", ""), PARTITION::KIND_ANALOG, 1, 0.01);
            for (int t = 0; t < 4; ++t)
                p.writeanalog(t, 0, 0.0, 0);
        },
        Bytes().marker(0).analog(0, 0).analog(0, 0).marker(1).analog(0, 0).marker(2).analog(0, 0)
            .marker(3).analog(0, 0).end().data,
        4, Bytes().channel("V1", "", 1, 8).data});

    cases.push_back({"two channels at one time share one marker",
        [](PARTITION& p) {
            p.setchannel(p.addchannel("A", ""), PARTITION::KIND_ANALOG, 1, 0);
            p.setchannel(p.addchannel("B", ""), PARTITION::KIND_ANALOG, 1, 0);
            for (int t = 0; t < 2; ++t) {
                p.writeanalog(t, 0, t + 0.5, 0);
                p.writeanalog(t, 1, t - 0.5, 0);
            }
        },
        Bytes().marker(0).analog(0, 0.5).analog(1, -0.5).marker(1).analog(0, 1.5).analog(1, 0.5).end().data, 2,
        Bytes().channel("A", "", 1, 8).channel("B", "", 1, 8).data});

    cases.push_back({"a sample earlier than the last marker is stored after it",
        [](PARTITION& p) {
            p.setchannel(p.addchannel("A", ""), PARTITION::KIND_ANALOG, 1, 0);
            p.writeanalog(1, 0, 3.0, 0);
            p.writeanalog(0.5, 0, 4.0, 0);
        },
        Bytes().marker(1).analog(0, 3).analog(0, 4).end().data, 1, Bytes().channel("A", "", 1, 8).data});

    cases.push_back({"a held sample of one channel lands after another channel's newer marker",
        [](PARTITION& p) {
            p.setchannel(p.addchannel("SLOW", ""), PARTITION::KIND_ANALOG, 1, 0.01);
            p.setchannel(p.addchannel("FAST", ""), PARTITION::KIND_ANALOG, 1, 0);
            const double slow[] = {1, 2, 6};
            for (int t = 0; t < 3; ++t) {
                p.writeanalog(t, 1, 7.0, 0);
                p.writeanalog(t, 0, slow[t], 0);
            }
        },
        Bytes()
            .marker(0).analog(1, 7).analog(0, 1)
            .marker(1).analog(1, 7)
            .marker(2).analog(1, 7).analog(0, 2).analog(0, 6)
            .end().data,
        3, Bytes().channel("SLOW", "", 1, 8).channel("FAST", "", 1, 8).data});

    cases.push_back({"a digital sample first writes the analog samples held before its time",
        [](PARTITION& p) {
            p.setchannel(p.addchannel("A", ""), PARTITION::KIND_ANALOG, 1, 0.01);
            p.addchannel("D", "bus");
            p.writeanalog(0, 0, 1.0, 0);
            p.writeanalog(1, 0, 1.0, 0);
            const uint32_t state = 3;
            p.writedigital(2, 1, &state, 1);
        },
        Bytes().marker(0).analog(0, 1).marker(1).analog(0, 1).marker(2).i16(1).i32(3).end().data, 3,
        Bytes().channel("A", "", 1, 8).channel("D", "bus", 2, 4).data});

    cases.push_back({"digital samples of two state words",
        [](PARTITION& p) {
            p.setchannel(p.addchannel("D", ""), PARTITION::KIND_DIGITAL, 2, 0);
            const uint32_t first[] = {1, 3};
            const uint32_t second[] = {3, 0x1d};
            p.writedigital(0, 0, first, 2);
            p.writedigital(1e-9, 0, second, 2);
        },
        Bytes().marker(0).i16(0).i32(1).i32(3).marker(1e-9).i16(0).i32(3).i32(0x1d).end().data, 2,
        Bytes().channel("D", "", 2, 8).data});

    cases.push_back({"complex samples: real part, then imaginary part",
        [](PARTITION& p) {
            p.addchannel("AC", "");
            p.writecomplex(1e3, 0, {1.0, -2.0});
            p.writecomplex(2e3, 0, {0.5, 0.25});
        },
        Bytes().marker(1e3).i16(0).f64(1.0).f64(-2.0).marker(2e3).i16(0).f64(0.5).f64(0.25).end().data, 2,
        Bytes().channel("AC", "", 3, 16).data});

    cases.push_back({"a run without samples is the end tag alone",
        [](PARTITION& p) { p.addchannel("A", "alias target"); }, Bytes().end().data, 0,
        Bytes().channel("A", "alias target", 0, 0).data});
    return cases;
}

class PartitionWrite : public testing::Test {
protected:
    std::filesystem::path folder = vkt::test::makeTempSubfolder("write");
    std::filesystem::path file = folder / "golden.pdf";
};

TEST_F(PartitionWrite, GoldenBytesOfEachChannelKindAndCompression)
{
    for (const GoldenCase& c : goldenCases()) {
        SCOPED_TRACE(c.what);
        {
            PARTITION p("golden", file.c_str());
            ASSERT_EQ(p.open(PARTITION::MODE_UPDATE), 1);
            p.beginrun();
            c.write(p);
            p.endrun();
            p.close(1);
        }
        const int32_t runsize = static_cast<int32_t>(c.run.size());
        int16_t channels = 0;
        for (size_t at = 0; at < c.table.size(); ++channels)
            at += 1 + c.table[at], at += 1 + c.table[at], at += 4;
        ByteVector expected = header(1, 0, 1248 + runsize, channels, {{1248, runsize, c.markers}});
        expected.insert(expected.end(), c.run.begin(), c.run.end());
        expected.insert(expected.end(), c.table.begin(), c.table.end());
        EXPECT_EQ(readbytes(file), expected);
    }
}

TEST_F(PartitionWrite, RecordRunHoldsCountedRecordsAndDropsThoseWithoutText)
{
    {
        PARTITION p("records", file.c_str());
        ASSERT_EQ(p.open(PARTITION::MODE_UPDATE), 1);
        p.beginrun();
        p.beginrecord("R1");
        p.recordprintf("V=%d", 5);
        p.recordprintf("!");
        p.endrecord();
        p.beginrecord("R2");
        p.endrecord();
        p.beginrecord("R3");
        p.recordprintf("x");
        p.endrecord();
        p.endrecords();
        p.close(0);
    }
    ByteVector run = Bytes().i32(8).text("R1").zeros(1).text("V=5!").zeros(1).i32(5).text("R3").zeros(1)
                         .text("x").zeros(1).i32(0).data;
    ByteVector expected = header(0, 0, 1248 + 25, 0, {{1248, 2, 25}});
    expected.insert(expected.end(), run.begin(), run.end());
    EXPECT_EQ(readbytes(file), expected);
}

TEST_F(PartitionWrite, WidthFollowsKindAndWordsAndOutOfRangeIsIgnored)
{
    struct Case {
        int kind, words, width;
    } cases[] = {
        {PARTITION::KIND_ANALOG, 1, 8},
        {PARTITION::KIND_ANALOG, 5, 8},
        {PARTITION::KIND_DIGITAL, 3, 12},
        {PARTITION::KIND_ALIAS, 7, 12},  // keeps the width it had
        {PARTITION::KIND_DIGITAL, 40, 128},
        {PARTITION::KIND_DIGITAL, -2, 0},
        {PARTITION::KIND_COMPLEX, 1, 16},
    };
    PARTITION p("widths", file.c_str());
    int c = p.addchannel("C", "");
    for (const Case& k : cases) {
        SCOPED_TRACE(k.kind * 100 + k.words);
        p.setchannel(c, k.kind, k.words, 0.5);
        EXPECT_EQ(p.channels[c]->kind, k.kind);
        EXPECT_EQ(p.channels[c]->width, k.width);
        EXPECT_EQ(p.channels[c]->holdcount, -1);
        EXPECT_EQ(p.channels[c]->tolerance, 0.5);
    }
    p.setchannel(1, PARTITION::KIND_ANALOG, 1, 0);
    p.setchannel(-1, PARTITION::KIND_ANALOG, 1, 0);
    EXPECT_EQ(p.channels.count, 1);
}

TEST_F(PartitionWrite, SampleOfAnotherKindIsReportedAndNotWritten)
{
    Reports reports;
    PARTITION p("kinds", file.c_str());
    ASSERT_EQ(p.open(PARTITION::MODE_UPDATE), 1);
    int digital = p.addchannel("D", "");
    int analog = p.addchannel("A", "");
    p.setchannel(digital, PARTITION::KIND_DIGITAL, 1, 0);
    p.setchannel(analog, PARTITION::KIND_ANALOG, 1, 0);
    p.beginrun();
    const uint32_t state = 1;
    p.writeanalog(0, digital, 1.0, 0);
    p.writedigital(0, analog, &state, 1);
    p.writecomplex(0, analog, {1, 1});
    p.writeanalog(0, 5, 1.0, 0);
    p.endrun();
    EXPECT_EQ(reports.asserts, (std::vector<std::string> {"wuno:336", "wuno:355", "wuno:373", "wuno:336"}));
    EXPECT_EQ(p.runs[0].length, 2);
    EXPECT_EQ(p.runs[0].markers, 0);
}

TEST_F(PartitionWrite, DigitalSamplesKeepTheChannelWidth)
{
    PARTITION p("width", file.c_str());
    ASSERT_EQ(p.open(PARTITION::MODE_UPDATE), 1);
    p.setchannel(p.addchannel("D", ""), PARTITION::KIND_DIGITAL, 2, 0);
    p.beginrun();
    const uint32_t one = 3;
    const uint32_t three[] = {1, 3, 7};
    p.writedigital(0, 0, &one, 1);
    p.writedigital(1, 0, three, 3);
    p.endrun();
    // Each sample is 8 bytes: the short one padded with zeros, the long one cut.
    EXPECT_EQ(p.runs[0].length, 2 * (10 + 2 + 8) + 2);
}

TEST_F(PartitionWrite, RunThatWouldPassTwoGigabytesIsDroppedAndReported)
{
    Reports reports;
    {
        PARTITION p("big", file.c_str());
        ASSERT_EQ(p.open(PARTITION::MODE_UPDATE), 1);
        p.setchannel(p.addchannel("A", ""), PARTITION::KIND_ANALOG, 1, 0);
        p.beginrun();
        p.writeanalog(0, 0, 1.0, 0);
        p.endrun();
        p.beginrun();
        p.file.seek(INT32_MAX, SEEK_SET);  // a sparse stand-in for 2 GB of samples
        p.writeanalog(0, 0, 2.0, 0);
        p.endrun();
        p.beginrun();
        p.writeanalog(0, 0, 3.0, 0);
        p.endrun();
        EXPECT_EQ(p.runcount, 1);
        p.close(0);
    }
    ASSERT_EQ(reports.errors.size(), 1u) << reports.allerrors();
    EXPECT_NE(reports.errors[0].find("reached 2 GB: run 1 and later are not recorded"), std::string::npos);
    PARTITION back("big", file.c_str());
    ASSERT_EQ(back.open(PARTITION::MODE_READHEADER), 1);
    EXPECT_EQ(back.runcount, 1);
    EXPECT_LT(std::filesystem::file_size(file), 2000u);
}

}  // namespace
