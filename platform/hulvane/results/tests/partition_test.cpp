#include "platform/hulvane/results/partition.h"
#include "platform/hulvane/results/tests/partition_testing.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace resultstest;

namespace {

namespace fs = std::filesystem;

class Partition : public testing::Test {
protected:
    fs::path folder = vkt::test::makeTempSubfolder("partition");
    fs::path file = folder / "p.pdf";

    // A finished partition with one analog channel A and one sample per run, of values given.
    void writeruns(const std::vector<double>& values, int status = 0)
    {
        PARTITION p("p", file.c_str());
        ASSERT_EQ(p.open(PARTITION::MODE_UPDATE), 1);
        p.setchannel(p.addchannel("A", ""), PARTITION::KIND_ANALOG, 1, 0);
        for (double v : values) {
            p.beginrun();
            p.writeanalog(0, 0, v, 0);
            p.endrun();
        }
        p.close(status);
    }

    // The value of A at time 0 in each run of the file as it is on disk.
    std::vector<double> valuesondisk()
    {
        PARTITION p("p", file.c_str());
        std::vector<double> values;
        if (!p.open(PARTITION::MODE_READHEADER))
            return values;
        for (int run = 0; run < p.runcount; ++run)
            if (CHANNEL_ITERATOR* it = p.getiterator("A", run))
                values.push_back(it->getvalue(0));
        return values;
    }

    std::vector<std::string> foldernames()
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        return names;
    }
};

TEST_F(Partition, FindChannelFollowsAliasesIgnoresCaseAndStopsOnCircles)
{
    PARTITION p("p", file.c_str());
    p.setchannel(p.addchannel("VOUT", ""), PARTITION::KIND_ANALOG, 1, 0);
    const char* aliases[][2] = {{"A1", "VOUT"}, {"A2", "a1"}, {"L1", "L2"}, {"L2", "L1"}, {"X", "MISSING"}};
    for (const auto& alias : aliases)
        p.setchannel(p.addchannel(alias[0], alias[1]), PARTITION::KIND_ALIAS, 0, 0);
    const std::pair<const char*, int> cases[] = {
        {"vout", 0}, {"A2", 0}, {"a1", 0}, {"L1", -1}, {"x", -1}, {"NOPE", -1}, {nullptr, -1}};
    for (const auto& [name, number] : cases)
        EXPECT_EQ(p.findchannel(name), number) << (name ? name : "null");
    EXPECT_EQ(p.addchannel("a2", "ignored"), 0);
}

TEST_F(Partition, LabelsAreWhatAGraphShowsForAKey)
{
    PARTITION p("p", file.c_str());
    p.setchannel(p.addchannel("VOUT", "Output"), PARTITION::KIND_ANALOG, 1, 0);
    p.setchannel(p.addchannel("VIN", ""), PARTITION::KIND_ANALOG, 1, 0);
    p.setchannel(p.addchannel("A1", "vout"), PARTITION::KIND_ALIAS, 0, 0);
    EXPECT_STREQ(p.getlabel("vout"), "Output");
    EXPECT_STREQ(p.getlabel("A1"), "Output");
    EXPECT_STREQ(p.getlabel("vin"), "VIN");
    EXPECT_EQ(p.getlabel("NOPE"), nullptr);
    EXPECT_EQ(p.getlabel(nullptr), nullptr);
}

TEST_F(Partition, LongChannelNamesAreKeptAndFoundAgain)
{
    const std::string longname(40, 'N');
    const std::string longlabel(300, 'L');
    PARTITION p("p", file.c_str());
    int first = p.addchannel(longname.c_str(), longlabel.c_str());
    int other = p.addchannel((longname + "2").c_str(), "");
    EXPECT_EQ(p.addchannel(longname.c_str(), ""), first);
    EXPECT_NE(other, first);
    EXPECT_EQ(p.channels[first]->label, longlabel.substr(0, 255));
    const PARTITION::CHANNEL& made = *p.channels[other];
    EXPECT_EQ(made.kind, PARTITION::KIND_NONE);
    EXPECT_EQ(made.width, 0);
    EXPECT_EQ(made.holdcount, -1);
    EXPECT_EQ(made.tolerance, 0);
}

TEST_F(Partition, ReadingBackGivesChannelsRunsAndStatus)
{
    writeruns({1.0, 2.0}, 2);
    PARTITION p("p", file.c_str());
    ASSERT_EQ(p.open(PARTITION::MODE_READHEADER), 1);
    DPA list;
    int runs = 0;
    p.getchannels(list, &runs);
    ASSERT_EQ(list.count, 1);
    EXPECT_STREQ(reinterpret_cast<PARTITION::CHANNEL*>(list.ptr(0))->name, "A");
    EXPECT_EQ(runs, 2);
    int maxruns = 0;
    EXPECT_EQ(p.getmaxruns(&maxruns), 2);
    EXPECT_EQ(maxruns, 2);
    EXPECT_EQ(readbytes(file)[34], 2);
    EXPECT_EQ(valuesondisk(), (std::vector<double> {1.0, 2.0}));
}

TEST_F(Partition, UpdateKeepsThePreservedBlockAndWritesNewRunsAfterIt)
{
    ByteVector oldrun = Bytes().marker(0).analog(0, 9.0).end().data;
    ByteVector table = Bytes().channel("OLD", "", 1, 8).data;
    Bytes old;
    old.append(header(0, 5, 1253 + 22, 1, {{1253, 22, 1}})).text("BLOCK").append(oldrun).append(table);
    writebytes(file, old.data);
    {
        PARTITION p("p", file.c_str());
        ASSERT_EQ(p.open(PARTITION::MODE_UPDATE), 1);
        EXPECT_EQ(p.channels.count, 0);
        EXPECT_EQ(p.runcount, 0);
        p.beginrun();
        p.writeanalog(1, p.addchannel("NEW", ""), 4.0, 0);
        p.endrun();
        p.close(0);
    }
    ByteVector run = Bytes().marker(1).analog(0, 4.0).end().data;
    Bytes expected;
    expected.append(header(0, 5, 1253 + 22, 1, {{1253, 22, 1}})).text("BLOCK").append(run);
    expected.channel("NEW", "", 1, 8);
    EXPECT_EQ(readbytes(file), expected.data);
}

TEST_F(Partition, UpdateOfAForeignFileStartsANewOne)
{
    writebytes(file, Bytes().text("not a partition at all").data);
    Reports reports;
    writeruns({3.0});
    EXPECT_EQ(valuesondisk(), (std::vector<double> {3.0}));
    EXPECT_TRUE(reports.errors.empty()) << reports.allerrors();
}

TEST_F(Partition, OldFileStaysWholeUntilTheWriterCloses)
{
    writeruns({1.0});
    const ByteVector before = readbytes(file);
    {
        PARTITION p("p", file.c_str());
        ASSERT_EQ(p.open(PARTITION::MODE_UPDATE), 1);
        p.setchannel(p.addchannel("A", ""), PARTITION::KIND_ANALOG, 1, 0);
        p.beginrun();
        p.writeanalog(0, 0, 2.0, 0);
        p.endrun();
        // A run that ends in a fatal error stops here and never closes its partitions.
        EXPECT_EQ(readbytes(file), before);
        EXPECT_EQ(valuesondisk(), (std::vector<double> {1.0}));
        p.close(0);
    }
    EXPECT_EQ(valuesondisk(), (std::vector<double> {2.0}));
    EXPECT_EQ(foldernames(), (std::vector<std::string> {"p.pdf"}));
}

TEST_F(Partition, FileThatCannotBePutInPlaceIsReportedAndTheOldOneKept)
{
    writeruns({1.0});
    const ByteVector before = readbytes(file);
    Reports reports;
    {
        PARTITION p("p", file.c_str());
        ASSERT_EQ(p.open(PARTITION::MODE_UPDATE), 1);
        p.setchannel(p.addchannel("A", ""), PARTITION::KIND_ANALOG, 1, 0);
        p.beginrun();
        p.writeanalog(0, 0, 2.0, 0);
        p.endrun();
        fs::rename(folder, folder.string() + ".moved");
        p.close(0);
        fs::rename(folder.string() + ".moved", folder);
    }
    ASSERT_EQ(reports.errors.size(), 1u);
    EXPECT_NE(reports.errors[0].find("Could not write the results file"), std::string::npos);
    EXPECT_EQ(readbytes(file), before);
}

TEST_F(Partition, MoreThanHundredRunsAreKeptAndOldReadersSeeTheFirstHundred)
{
    std::vector<double> values;
    for (int run = 0; run < 150; ++run)
        values.push_back(run);
    writeruns(values);
    const ByteVector bytes = readbytes(file);
    int16_t headerruns;
    int32_t table;
    std::memcpy(&headerruns, bytes.data() + 46, 2);
    std::memcpy(&table, bytes.data() + 40, 4);
    EXPECT_EQ(headerruns, 100);
    const size_t extension = static_cast<size_t>(table) + Bytes().channel("A", "", 1, 8).data.size();
    ASSERT_EQ(bytes.size(), extension + 12 + 50 * 12);
    EXPECT_EQ(std::string(bytes.begin() + extension, bytes.begin() + extension + 8), "RUNTABLE");
    EXPECT_EQ(valuesondisk(), values);
}

TEST_F(Partition, SnapshotsRewriteFromRunZeroAndTheCloseKeepsTheLastOne)
{
    PARTITION p("p", file.c_str());
    ASSERT_EQ(p.open(PARTITION::MODE_UPDATE), 1);
    int probe = p.addchannel("A", "");
    p.setchannel(probe, PARTITION::KIND_ANALOG, 1, 0.01);
    // The run the interactive analysis begins with its plot.
    p.beginrun();
    for (int snapshot = 1; snapshot <= 3; ++snapshot) {
        // The interactive run's snapshot, as its file effects go.
        p.rewind();
        p.writeanalog(0, probe, snapshot, 0);
        p.endrun();
        p.beginrun();
        for (int part = 0; part < 2; ++part) {
            p.beginrecord(("U" + std::to_string(part)).c_str());
            p.recordprintf("snapshot %d", snapshot);
            p.endrecord();
        }
        p.endrecords();
        p.writeheader(0);

        PARTITION reader("p", file.c_str());
        ASSERT_EQ(reader.open(PARTITION::MODE_READHEADER), 1) << snapshot;
        EXPECT_EQ(reader.getiterator("A", 0)->getvalue(0), snapshot);
        EXPECT_EQ(reader.runs[1].length, 2);
    }
    // The end of the plot: its run was ended by the snapshots.
    p.endrun();
    p.close(1);
    EXPECT_EQ(valuesondisk(), (std::vector<double> {3.0}));
    PARTITION reader("p", file.c_str());
    ASSERT_EQ(reader.open(PARTITION::MODE_READHEADER), 1);
    EXPECT_EQ(reader.runcount, 2);
    DIDX records;
    EXPECT_EQ(reader.loadrecords(records), 1);
    ASSERT_EQ(records.count, 2);
    EXPECT_STREQ(records.ptr(1) + 3, "snapshot 3");
    records.zap();
}

TEST_F(Partition, CreateModeWritesTheChannelTableToo)
{
    {
        PARTITION p("p", file.c_str());
        ASSERT_EQ(p.open(PARTITION::MODE_CREATE), 1);
        p.beginrun();
        p.writeanalog(0, p.addchannel("A", ""), 5.0, 0);
        p.endrun();
    }
    EXPECT_EQ(valuesondisk(), (std::vector<double> {5.0}));
}

TEST_F(Partition, ResetStartsTheFileAgainAfterTheHeader)
{
    {
        PARTITION p("p", file.c_str());
        ASSERT_EQ(p.open(PARTITION::MODE_UPDATE), 1);
        p.beginrun();
        p.writeanalog(0, p.addchannel("OLD", ""), 1.0, 0);
        p.endrun();
        p.reset();
        EXPECT_EQ(p.file.tell(), 1248);
        EXPECT_EQ(p.channels.count, 0);
        EXPECT_EQ(p.runcount, 0);
        p.beginrun();
        p.writeanalog(0, p.addchannel("A", ""), 7.0, 0);
        p.endrun();
    }
    EXPECT_EQ(valuesondisk(), (std::vector<double> {7.0}));
}

TEST_F(Partition, OpenRefusesWhatItCannotRead)
{
    Reports reports;
    PARTITION missing("p", (folder / "missing.pdf").c_str());
    EXPECT_EQ(missing.open(PARTITION::MODE_READHEADER), 0);
    EXPECT_EQ(missing.mode, PARTITION::MODE_CLOSED);
    PARTITION unknown("p", file.c_str());
    EXPECT_EQ(unknown.open(7), 0);
    ASSERT_EQ(reports.errors.size(), 1u);
    EXPECT_NE(reports.errors[0].find("Cannot open the results file"), std::string::npos);

    writeruns({1.0});
    PARTITION raw("p", file.c_str());
    ASSERT_EQ(raw.open(PARTITION::MODE_READ), 1);
    EXPECT_EQ(raw.file.tell(), 1248);
    EXPECT_EQ(raw.channels.count, 0);
}

TEST_F(Partition, NamesGiveFilesInsideTheResultsFolderWithExtensionPdf)
{
    setenv("RESULTS", folder.c_str(), 1);
    const std::string overlong(600, 'A');
    const struct {
        const char* name;
        const char* joined; // as the path ends; null: refused
        const char* file; // on disk, below the folder
    } cases[] = {
        { "VOUT", "VOUT.PDF", "VOUT.PDF" },
        { "RUN.DAT", "RUN.DAT.PDF", "RUN.DAT.PDF" },
        { "run.pdf", "run.pdf", "run.pdf" },
        { "SUB\\DEEPER/RUN", "SUB\\DEEPER/RUN.PDF", "SUB/DEEPER/RUN.PDF" },
        { "..PDF", "..PDF", "..PDF" },
        { "", nullptr, nullptr },
        { "..\\VOUT", nullptr, nullptr },
        { "SUB/../../VOUT", nullptr, nullptr },
        { "SUB\\..", nullptr, nullptr },
        { "/etc/passwd", nullptr, nullptr },
        { "\\\\server\\share\\x", nullptr, nullptr },
        { "C:\\x", nullptr, nullptr },
        { "C:x", nullptr, nullptr },
        { "SUB\\", nullptr, nullptr },
        { overlong.c_str(), nullptr, nullptr },
    };
    for (const auto& c : cases) {
        PARTITION p(c.name);
        if (!c.joined) {
            Reports reports;
            EXPECT_STREQ(p.path, "") << c.name;
            EXPECT_EQ(p.open(PARTITION::MODE_UPDATE), 0) << c.name;
            continue;
        }
        EXPECT_EQ(std::string(p.path), folder.string() + "\\" + c.joined);
        ASSERT_EQ(p.open(PARTITION::MODE_UPDATE), 1) << c.name;
        p.close(0);
        EXPECT_TRUE(fs::exists(folder / c.file)) << c.name;
    }
    unsetenv("RESULTS");
    EXPECT_EQ(foldernames().size(), 5u) << "four files and one sub-folder";
    EXPECT_FALSE(fs::exists(folder.parent_path() / "VOUT.PDF"));
}

// Each damaged file gives a clear report and no crash; those that open read their runs safely.
TEST_F(Partition, DamagedFilesGiveAClearErrorAndReadSafely)
{
    struct Case {
        const char* file;
        const char* error;  // part of the report; null when the file opens
        int samples;        // of channel A in run 0, when the file opens
    } cases[] = {
        {"empty.pdf", "is not a results partition file", 0},
        {"short_header.pdf", "is not a results partition file", 0},
        {"wrong_version.pdf", "is not a results partition file", 0},
        {"block_outside.pdf", "damaged: its preserved block lies outside the file", 0},
        {"negative_block.pdf", "damaged: its preserved block lies outside the file", 0},
        {"table_outside.pdf", "damaged: its channel table lies outside the file", 0},
        {"negative_channels.pdf", "damaged: its channel count is negative", 0},
        {"too_many_runs.pdf", "damaged: its run count is out of range", 0},
        {"run_outside.pdf", "damaged: run 0 lies outside the file", 0},
        {"negative_run_offset.pdf", "damaged: run 0 lies outside the file", 0},
        {"table_ends_early.pdf", "damaged: its channel table ends early", 0},
        {"name_overruns_table.pdf", "damaged: its channel table ends early", 0},
        {"unknown_kind.pdf", "damaged: channel 0 has kind 9 and width 8", 0},
        {"wide_digital.pdf", "damaged: channel 0 has kind 2 and width 200", 0},
        {"analog_width.pdf", "damaged: channel 0 has kind 1 and width 4", 0},
        {"extension_outside.pdf", "damaged: its run table extension does not fit the file", 0},
        {"bad_tag.pdf", nullptr, 1},
        {"no_end_tag.pdf", nullptr, 2},
        {"cut_sample.pdf", nullptr, 1},
        {"alias_circle.pdf", nullptr, 3},
        {"record_overrun.pdf", nullptr, 3},
    };
    const fs::path fixtures = fs::path(VKT_TEST_SOURCE_DIR) / "damaged";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Reports reports;
        PARTITION p("p", (fixtures / c.file).c_str());
        int opened = p.open(PARTITION::MODE_READHEADER);
        if (c.error) {
            EXPECT_EQ(opened, 0);
            EXPECT_EQ(p.mode, PARTITION::MODE_CLOSED);
            ASSERT_EQ(reports.errors.size(), 1u) << reports.allerrors();
            EXPECT_NE(reports.errors[0].find(c.error), std::string::npos) << reports.errors[0];
            continue;
        }
        ASSERT_EQ(opened, 1) << reports.allerrors();
        CHANNEL_ITERATOR* it = p.getiterator("A", 0);
        ASSERT_NE(it, nullptr);
        int samples = 1;
        while (it->step())
            ++samples;
        EXPECT_EQ(samples, c.samples);
        EXPECT_EQ(p.getiterator("L1", 0), nullptr);
        DIDX records;
        p.loadrecords(records);
        records.zap();
        EXPECT_EQ(reports.errors.empty(), std::string(c.file) != "record_overrun.pdf") << reports.allerrors();
    }
}

}  // namespace
