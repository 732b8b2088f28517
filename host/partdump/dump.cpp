#include "host/partdump/dump.h"

#include "platform/hulvane/results/partition.h"

#include <cstring>
#include <string>

namespace {

const char* kindname(int32_t kind)
{
    static const char* const names[] = {"none", "analog", "digital", "complex", "alias"};
    return kind >= 0 && kind <= 4 ? names[kind] : "unknown";
}

// A text as one CSV field: quoted, with quotes doubled, when it holds a separator or a quote.
std::string csv(const char* text)
{
    if (!std::strpbrk(text, ",\"\r\n"))
        return text;
    std::string field = "\"";
    for (const char* c = text; *c; ++c) {
        if (*c == '"')
            field += '"';
        field += *c;
    }
    return field + "\"";
}

void dumpsample(FILE* out, const CHANNEL_ITERATOR& it, int32_t kind)
{
    if (kind == PARTITION::KIND_ANALOG) {
        std::fprintf(out, "%.17g\n", static_cast<const ANALOG_ITERATOR&>(it).currentvalue);
        return;
    }
    if (kind == PARTITION::KIND_COMPLEX) {
        const auto& f = static_cast<const FREQUENCY_ITERATOR&>(it);
        std::fprintf(out, "%.17g,%.17g\n", f.currentsample[0], f.currentsample[1]);
        return;
    }
    const auto& d = static_cast<const DIGITAL_ITERATOR&>(it);
    for (int32_t i = 0; i < d.words; ++i)
        std::fprintf(out, "%s0x%08X", i ? " " : "", d.currentstates[i]);
    std::fputc('\n', out);
}

void dumpsamples(FILE* out, PARTITION& p, int run)
{
    for (PARTITION::CHANNEL* channel : p.channels) {
        if (channel->kind < PARTITION::KIND_ANALOG || channel->kind > PARTITION::KIND_COMPLEX)
            continue;
        CHANNEL_ITERATOR* it = p.getiterator(channel->name, run);
        if (!it)
            continue;
        do {
            std::fprintf(out, "%d,%s,%.17g,", run, csv(channel->name).c_str(), it->currenttime);
            dumpsample(out, *it, channel->kind);
        } while (it->step());
        delete p.iterators.remove(it);
    }
}

void dumprecords(FILE* out, PARTITION& p)
{
    DIDX records;
    p.loadrecords(records);
    for (int i = 0; i < records.count; ++i) {
        const char* name = records.ptr(i);
        std::fprintf(out, "%s,%s\n", csv(name).c_str(), csv(name + std::strlen(name) + 1).c_str());
    }
    records.zap();
}

}  // namespace

int dumppartition(const char* path, bool records, FILE* out)
{
    PARTITION p("partdump", path);
    if (!p.open(PARTITION::MODE_READHEADER))
        return 1;
    std::fprintf(out, "name,value\nfile,%s\nstatus,%d\npreserved block,%d\nchannel table,%d\nchannels,%d\nruns,%d\n",
        csv(path).c_str(), p.status, p.preservedsize, p.tableoffset, p.channels.count, p.runcount);
    std::fprintf(out, "\nchannel,name,label,kind,width\n");
    for (int i = 0; i < p.channels.count; ++i) {
        const PARTITION::CHANNEL& c = *p.channels[i];
        std::fprintf(out, "%d,%s,%s,%s,%d\n", i, csv(c.name).c_str(), csv(c.label).c_str(), kindname(c.kind), c.width);
    }
    std::fprintf(out, "\nrun,offset,length,markers\n");
    for (int run = 0; run < p.runcount; ++run) {
        const PARTITION::RUN& r = p.runs[static_cast<size_t>(run)];
        std::fprintf(out, "%d,%d,%d,%d\n", run, r.offset, r.length, r.markers);
    }
    std::fprintf(out, "\nrun,channel,time,value\n");
    for (int run = 0; run < p.runcount; ++run)
        if (!(records && run == 1))
            dumpsamples(out, p, run);
    if (records) {
        std::fprintf(out, "\nrecord,text\n");
        dumprecords(out, p);
    }
    return 0;
}
