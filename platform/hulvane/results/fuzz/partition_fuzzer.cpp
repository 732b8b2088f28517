// Reads arbitrary bytes as a partition file with its header, then every channel of every run and
// the records; nothing may crash, hang or leak. Seed corpus: tests/damaged/.

#include "platform/hulvane/results/partition.h"
#include "platform/hulvane/results/report.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

const std::string& scratchfile()
{
    static const std::string path = "/tmp/partition_fuzzer." + std::to_string(::getpid()) + ".pdf";
    return path;
}

void queryall(CHANNEL_ITERATOR* it, int32_t kind)
{
    for (double t = 0; !it->atend && t < 1e3; t = t * 2 + 1e-9) {
        if (kind == PARTITION::KIND_ANALOG)
            it->getstate(t);
        else if (kind == PARTITION::KIND_DIGITAL)
            it->getvalue(t);
        else
            it->getphase(t);
    }
    it->rewind(0);
    while (it->step()) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    setresultserrorhook([](const char*) {});
    setresultsasserthook([](const char*, const char*, int) {});
    FILE* out = std::fopen(scratchfile().c_str(), "wb");
    if (!out)
        return 0;
    std::fwrite(data, 1, size, out);
    std::fclose(out);

    PARTITION p("fuzz", scratchfile().c_str());
    if (!p.open(PARTITION::MODE_READHEADER))
        return 0;
    for (int run = 0; run < p.runcount && run < 4; ++run)
        for (int c = 0; c < p.channels.count && c < 16; ++c)
            if (CHANNEL_ITERATOR* it = p.getiterator(p.channels[c]->name, run))
                queryall(it, p.channels[it->channel]->kind);
    CHANNELVALUE value;
    if (p.channels.count > 0)
        p.getinitialvalue(p.channels[0]->name, &value);
    DIDX records;
    p.loadrecords(records);
    records.zap();
    return 0;
}
