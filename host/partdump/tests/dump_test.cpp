#include "host/partdump/dump.h"
#include "platform/hulvane/results/partition.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string dump(const std::string& path, bool records)
{
    char* text = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&text, &size);
    int result = dumppartition(path.c_str(), records, out);
    std::fclose(out);
    std::string dumped(text, size);
    std::free(text);
    return result == 0 ? dumped : "failed";
}

TEST(PartitionDump, EverySectionAsCsv)
{
    const std::string path = (vkt::test::makeTempSubfolder("dump") / "p.pdf").string();
    {
        PARTITION p("p", path.c_str());
        ASSERT_EQ(p.open(PARTITION::MODE_UPDATE), 1);
        p.beginrun();
        p.writeanalog(0, p.addchannel("V(out)", "a,\"b\""), 1.5, 0);
        p.writeanalog(1e-3, 0, -2, 0);
        const uint32_t states[] = {3, 1};
        p.writedigital(1e-3, p.addchannel("BUS", ""), states, 2);
        p.writecomplex(1e3, p.addchannel("AC", ""), {1, -1});
        p.endrun();
        p.beginrun();
        p.beginrecord("R1");
        p.recordprintf("V=1, I=2");
        p.endrecord();
        p.endrecords();
        p.close(1);
    }
    EXPECT_EQ(dump(path, true),
        "name,value\nfile," + path + "\nstatus,1\npreserved block,0\nchannel table,1348\nchannels,3\nruns,2\n"
        "\nchannel,name,label,kind,width\n"
        "0,V(out),\"a,\"\"b\"\"\",analog,8\n1,BUS,,digital,8\n2,AC,,complex,16\n"
        "\nrun,offset,length,markers\n0,1248,80,3\n1,1328,1,20\n"  // a record run: 1 record of 20 bytes
        "\nrun,channel,time,value\n"
        "0,V(out),0,1.5\n0,V(out),0.001,-2\n0,BUS,0.001,0x00000003 0x00000001\n0,AC,1000,1,-1\n"
        "\nrecord,text\nR1,\"V=1, I=2\"\n");
    EXPECT_EQ(dump(path + ".missing", false), "failed");
}

}  // namespace
