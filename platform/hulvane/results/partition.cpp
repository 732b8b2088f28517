#include "platform/hulvane/results/partition.h"

#include "core/files/ramfile.h"
#include "core/text/ascii.h"
#include "core/text/strutil.h"
#include "platform/win/pathboundary.h"
#include "platform/win/replacefile.h"
#include "platform/hulvane/results/partitionformat.h"
#include "platform/hulvane/results/report.h"
#include "platform/hulvane/results/resultsname.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

using namespace partitionformat;

namespace {

constexpr size_t streamBuffer = 1 << 18;
constexpr int32_t tableEntryMax = 1 + MAXNAME + 1 + MAXNAME + 4;

long filesize(FILE* stream)
{
    if (std::fseek(stream, 0, SEEK_END) != 0)
        return -1;
    return std::ftell(stream);
}

// A run slot describes bytes of the file: a data run its length, a record run its byte length in
// the marker slot; both must lie inside the file.
bool runinside(int32_t offset, int32_t length, int32_t markers, long size)
{
    return offset >= HEADERSIZE && length >= 0 && markers >= 0
        && int64_t(offset) + std::max(length, markers) <= int64_t(size);
}

bool widthfits(int32_t kind, int32_t width)
{
    switch (kind) {
    case PARTITION::KIND_ANALOG:
        return width == 8;
    case PARTITION::KIND_COMPLEX:
        return width == 16;
    case PARTITION::KIND_DIGITAL:
        return width >= 0 && width <= MAXWIDTH && width % 4 == 0;
    case PARTITION::KIND_NONE:
    case PARTITION::KIND_ALIAS:
        return width >= 0 && width <= MAXWIDTH;
    default:
        return false;
    }
}

// Reads a counted string of the table into buf (256 bytes); false when it runs past the table.
bool tablestring(RAMFILE& table, char* buf)
{
    if (table.position >= table.length || table.buffer[table.position] >= table.length - table.position)
        return false;
    vfgetstr(buf, table);
    return true;
}

}  // namespace

PARTITION::PARTITION(const char* partitionname, const char* filepath)
{
    strnzcpy(name, partitionname, PATHSIZE - 1);
    strnzcpy(path, filepath ? filepath : resultsfilepath(partitionname).c_str(), PATHSIZE - 1);
}

PARTITION::~PARTITION()
{
    close(0);
    clearcontents();
}

int PARTITION::open(int newmode)
{
    close(0);
    bool opened = false;
    switch (newmode) {
    case MODE_CREATE:
    case MODE_UPDATE:
        opened = openforwriting(newmode);
        break;
    case MODE_READ:
    case MODE_READHEADER:
        opened = openforreading(newmode);
        break;
    default:
        break;
    }
    return opened ? 1 : 0;
}

bool PARTITION::openforreading(int newmode)
{
    std::string found = findexistingpath(path);
    FILE* stream = found.empty() ? nullptr : std::fopen(found.c_str(), "rb");
    if (!stream) {
        resultserror("Cannot open the results file '%s': %s.", path, std::strerror(found.empty() ? ENOENT : errno));
        return false;
    }
    clearcontents();
    file.fp = stream;
    streampath = found;
    if (newmode == MODE_READ) {
        file.seek(HEADERSIZE, SEEK_SET);
        mode = MODE_READ;
        return true;
    }
    if (!readheader()) {
        std::fclose(stream);
        file.fp = nullptr;
        streampath.clear();
        clearcontents();
        return false;
    }
    mode = MODE_READHEADER;
    return true;
}

bool PARTITION::readheader()
{
    long size = filesize(file.fp);
    unsigned char header[HEADERSIZE];
    if (size < HEADERSIZE || file.seek(0, SEEK_SET) != 0 || file.read(header, HEADERSIZE) != HEADERSIZE
        || load<int16_t>(header + VERSIONAT) != VERSION) {
        resultserror("'%s' is not a results partition file.", path);
        return false;
    }
    int32_t blocksize = load<int32_t>(header + BLOCKSIZEAT);
    int32_t tableposition = load<int32_t>(header + TABLEOFFSETAT);
    int16_t channelcount = load<int16_t>(header + CHANNELCOUNTAT);
    int16_t headerruns = load<int16_t>(header + RUNCOUNTAT);
    const char* damage = nullptr;
    if (blocksize < 0 || blocksize > size - HEADERSIZE)
        damage = "its preserved block lies outside the file";
    else if (tableposition < HEADERSIZE || tableposition > size)
        damage = "its channel table lies outside the file";
    else if (channelcount < 0)
        damage = "its channel count is negative";
    else if (headerruns < 0 || headerruns > HEADERRUNS)
        damage = "its run count is out of range";
    if (damage) {
        resultserror("The results file '%s' is damaged: %s.", path, damage);
        return false;
    }
    runs.resize(static_cast<size_t>(headerruns));
    for (int i = 0; i < headerruns; ++i) {
        RUN& run = runs[static_cast<size_t>(i)];
        run.offset = load<int32_t>(header + RUNOFFSETSAT + 4 * i);
        run.length = load<int32_t>(header + RUNLENGTHSAT + 4 * i);
        run.markers = load<int32_t>(header + RUNMARKERSAT + 4 * i);
        if (!runinside(run.offset, run.length, run.markers, size)) {
            resultserror("The results file '%s' is damaged: run %d lies outside the file.", path, i);
            return false;
        }
    }
    runcount = headerruns;
    status = load<int16_t>(header + STATUSAT);
    preservedsize = blocksize;
    tableoffset = tableposition;
    if (file.seek(tableposition, SEEK_SET) != 0 || !readchanneltable(channelcount, size))
        return false;
    return headerruns < HEADERRUNS || readextension(size);
}

bool PARTITION::readchanneltable(int32_t count, long size)
{
    long at = file.tell();
    int64_t bytes = std::min<int64_t>(size - at, int64_t(count) * tableEntryMax);
    std::vector<unsigned char> block(static_cast<size_t>(std::max<int64_t>(bytes, 1)));
    if (file.read(block.data(), static_cast<int>(bytes)) != bytes) {
        resultserror("The results file '%s' cannot be read.", path);
        return false;
    }
    RAMFILE table(block.data(), static_cast<int>(bytes));
    for (int i = 0; i < count; ++i) {
        auto* channel = new CHANNEL;
        channels.add(channel);
        unsigned char words[4];
        if (!tablestring(table, channel->name) || !tablestring(table, channel->label) || table.read(words, 4) != 4) {
            resultserror("The results file '%s' is damaged: its channel table ends early.", path);
            return false;
        }
        channel->kind = load<int16_t>(words);
        channel->width = load<int16_t>(words + 2);
        if (!widthfits(channel->kind, channel->width)) {
            resultserror("The results file '%s' is damaged: channel %d has kind %d and width %d.", path, i,
                channel->kind, channel->width);
            return false;
        }
    }
    return file.seek(at + table.tell(), SEEK_SET) == 0;
}

bool PARTITION::readextension(long size)
{
    unsigned char head[EXTENSIONHEADSIZE];
    long at = file.tell();
    if (file.read(head, EXTENSIONHEADSIZE) != EXTENSIONHEADSIZE || std::memcmp(head, EXTENSIONMAGIC, 8) != 0)
        return true;
    int32_t total = load<int32_t>(head + 8);
    int64_t extra = int64_t(total) - HEADERRUNS;
    int64_t bytes = extra * 12;
    if (extra < 1 || bytes > INT32_MAX || at + EXTENSIONHEADSIZE + bytes > size) {
        resultserror("The results file '%s' is damaged: its run table extension does not fit the file.", path);
        return false;
    }
    std::vector<unsigned char> tables(static_cast<size_t>(bytes));
    if (file.read(tables.data(), static_cast<int>(bytes)) != bytes) {
        resultserror("The results file '%s' cannot be read.", path);
        return false;
    }
    runs.resize(static_cast<size_t>(total));
    for (int64_t i = 0; i < extra; ++i) {
        RUN& run = runs[static_cast<size_t>(HEADERRUNS + i)];
        run.offset = load<int32_t>(tables.data() + 4 * i);
        run.length = load<int32_t>(tables.data() + 4 * (extra + i));
        run.markers = load<int32_t>(tables.data() + 4 * (2 * extra + i));
        if (!runinside(run.offset, run.length, run.markers, size)) {
            resultserror("The results file '%s' is damaged: run %d lies outside the file.", path,
                static_cast<int>(HEADERRUNS + i));
            return false;
        }
    }
    runcount = total;
    return true;
}

bool PARTITION::openforwriting(int newmode)
{
    std::string destination = pathforwriting(path);
    std::unique_ptr<unsigned char[]> block;
    int32_t blocksize = 0;
    if (newmode == MODE_UPDATE)
        blocksize = readpreserved(destination, block);
    std::string temporary;
    // Partitions may lie in sub-folders of the results folder that no run made yet.
    std::error_code ignored;
    if (!destination.empty())
        std::filesystem::create_directories(std::filesystem::path(destination).parent_path(), ignored);
    FILE* stream = destination.empty() ? nullptr
        : live                         ? std::fopen(destination.c_str(), "w+be")
                                       : openbeside(destination, temporary);
    if (!stream) {
        resultserror("Cannot write the results file '%s': %s.", path, std::strerror(destination.empty() ? ENOENT : errno));
        return false;
    }
    std::setvbuf(stream, nullptr, _IOFBF, streamBuffer);
    clearcontents();
    file.fp = stream;
    streampath = live ? destination : temporary;
    target = destination;
    full = 0;
    file.seek(HEADERSIZE, SEEK_SET);
    if (blocksize > 0) {
        file.write(block.get(), blocksize);
        preserved = std::move(block);
        preservedsize = blocksize;
    }
    dataend = file.tell();
    mode = newmode;
    // In its place from the start, the file is an empty partition until its runs come.
    if (live)
        writeheader(0);
    return true;
}

int32_t PARTITION::readpreserved(const std::string& existing, std::unique_ptr<unsigned char[]>& block)
{
    FILE* old = std::fopen(existing.c_str(), "rb");
    if (!old)
        return 0;
    long size = filesize(old);
    unsigned char header[HEADERSIZE];
    // Anything but a partition is written over as a new file.
    if (size < HEADERSIZE || std::fseek(old, 0, SEEK_SET) != 0 || std::fread(header, 1, HEADERSIZE, old) != HEADERSIZE
        || load<int16_t>(header + VERSIONAT) != VERSION) {
        std::fclose(old);
        return 0;
    }
    int32_t blocksize = load<int32_t>(header + BLOCKSIZEAT);
    if (blocksize < 0 || blocksize > size - HEADERSIZE) {
        resultserror("The results file '%s' is damaged: its preserved block lies outside the file and is dropped.", path);
        blocksize = 0;
    }
    if (blocksize > 0) {
        block.reset(new unsigned char[static_cast<size_t>(blocksize)]);
        if (std::fread(block.get(), 1, static_cast<size_t>(blocksize), old) != static_cast<size_t>(blocksize)) {
            resultserror("The results file '%s' cannot be read; its preserved block is dropped.", path);
            block.reset();
            blocksize = 0;
        }
    }
    std::fclose(old);
    return blocksize;
}

int PARTITION::close(int status)
{
    if (mode == MODE_CLOSED)
        return 0;
    int written = 0;
    if (writing()) {
        writeheaderbytes(status);
        int error = std::ferror(file.fp) ? EIO : 0;
        if (live)
            error = std::fclose(file.fp) != 0 && !error ? errno : error;
        else if (error)
            discardbeside(file.fp, streampath);
        else if (!replacetarget(file.fp, streampath, target))
            error = errno;
        if (error && live)
            resultserror("Could not write the results file '%s': %s.", path, std::strerror(error));
        else if (error)
            resultserror("Could not write the results file '%s': %s. The file was left as it was.", path,
                std::strerror(error));
        written = error ? 0 : 1;
    } else {
        std::fclose(file.fp);
    }
    file.fp = nullptr;
    clearcontents();
    streampath.clear();
    target.clear();
    mode = MODE_CLOSED;
    return written;
}

void PARTITION::writeheader(int status)
{
    writeheaderbytes(status);
    if (!writing())
        return;
    int error = std::ferror(file.fp) ? EIO : 0;
    if (!error && !(live ? std::fflush(file.fp) == 0 : publishcopy(file.fp, target)))
        error = errno;
    if (error)
        resultserror("Could not write the results file '%s': %s.", path, std::strerror(error));
}

void PARTITION::writeheaderbytes(int status)
{
    long end = file.tell();
    if (!writing())
        return;
    if (end > INT32_MAX) {
        markfull();
        end = dataend;
    }
    file.seek(end, SEEK_SET);
    writechanneltable();
    long tableend = file.tell();

    unsigned char header[HEADERSIZE] = {};
    std::memcpy(header, SIGNATURE, sizeof SIGNATURE);
    store<int16_t>(header + VERSIONAT, VERSION);
    store<int16_t>(header + STATUSAT, static_cast<int16_t>(status));
    store<int32_t>(header + BLOCKSIZEAT, preservedsize);
    store<int32_t>(header + TABLEOFFSETAT, static_cast<int32_t>(end));
    store<int16_t>(header + CHANNELCOUNTAT, static_cast<int16_t>(channels.count));
    int32_t headerruns = std::min(runcount, HEADERRUNS);
    store<int16_t>(header + RUNCOUNTAT, static_cast<int16_t>(headerruns));
    for (int i = 0; i < headerruns; ++i) {
        const RUN& run = runs[static_cast<size_t>(i)];
        store<int32_t>(header + RUNOFFSETSAT + 4 * i, run.offset);
        store<int32_t>(header + RUNLENGTHSAT + 4 * i, run.length);
        store<int32_t>(header + RUNMARKERSAT + 4 * i, run.markers);
    }
    file.seek(0, SEEK_SET);
    file.write(header, HEADERSIZE);
    std::fflush(file.fp);
    // An earlier, longer state of the file (a snapshot rewrites from run 0) leaves nothing behind.
    if (::ftruncate(::fileno(file.fp), tableend) != 0)
        std::clearerr(file.fp);
    file.seek(end, SEEK_SET);
}

void PARTITION::writechanneltable()
{
    for (CHANNEL* channel : channels) {
        vfputstr(channel->name, file);
        vfputstr(channel->label, file);
        unsigned char words[4];
        store<int16_t>(words, static_cast<int16_t>(channel->kind));
        store<int16_t>(words + 2, static_cast<int16_t>(channel->width));
        file.write(words, 4);
    }
    if (runcount <= HEADERRUNS)
        return;
    unsigned char head[EXTENSIONHEADSIZE];
    std::memcpy(head, EXTENSIONMAGIC, 8);
    store<int32_t>(head + 8, runcount);
    file.write(head, EXTENSIONHEADSIZE);
    std::vector<unsigned char> tables(static_cast<size_t>(runcount - HEADERRUNS) * 12);
    size_t extra = static_cast<size_t>(runcount - HEADERRUNS);
    for (size_t i = 0; i < extra; ++i) {
        const RUN& run = runs[HEADERRUNS + i];
        store<int32_t>(tables.data() + 4 * i, run.offset);
        store<int32_t>(tables.data() + 4 * (extra + i), run.length);
        store<int32_t>(tables.data() + 4 * (2 * extra + i), run.markers);
    }
    file.write(tables.data(), static_cast<int>(tables.size()));
}

void PARTITION::clearcontents()
{
    iterators.zap();
    channels.zap();
    runs.clear();
    runcount = 0;
    runbegun = 0;
    lasttime = 0;
    recordstart = 0;
    recordhastext = 0;
    preserved.reset();
    preservedsize = 0;
    status = 0;
    tableoffset = 0;
    appended = 0;
}

void PARTITION::reset()
{
    if (file.fp)
        file.seek(HEADERSIZE, SEEK_SET);
    clearcontents();
    full = 0;
    dataend = HEADERSIZE;
}

PARTITION::RUN& PARTITION::currentrun()
{
    if (runs.size() <= static_cast<size_t>(runcount))
        runs.resize(static_cast<size_t>(runcount) + 1);
    return runs[static_cast<size_t>(runcount)];
}

int PARTITION::hasrun(int runnumber) const
{
    return runnumber >= 0 && runnumber < runcount && runs[static_cast<size_t>(runnumber)].offset != 0 ? 1 : 0;
}

int PARTITION::addchannel(const char* channelname, const char* channellabel)
{
    int found = findchannel(channelname);
    if (found >= 0)
        return found;
    if (channels.count >= MAXCHANNELS)
        return -1;
    auto* channel = new CHANNEL;
    strnzcpy(channel->name, channelname, MAXNAME);
    strnzcpy(channel->label, channellabel, MAXNAME);
    return channels.add(channel);
}

int PARTITION::findchannel(const char* channelname) const
{
    if (!channelname)
        return -1;
    // Each step of an alias chain must reach a new channel; more steps than channels is a circle.
    for (int steps = 0; steps <= channels.count; ++steps) {
        int found = -1;
        for (int i = 0; i < channels.count && found < 0; ++i)
            if (asciicasecmp(channels[i]->name, channelname) == 0)
                found = i;
        if (found < 0 || channels[found]->kind != KIND_ALIAS)
            return found;
        channelname = channels[found]->label;
    }
    return -1;
}

const char* PARTITION::getlabel(const char* channelname) const
{
    const int found = findchannel(channelname);
    if (found < 0)
        return nullptr;
    const CHANNEL* channel = channels[found];
    return channel->label[0] ? channel->label : channel->name;
}

int PARTITION::getmaxruns(int* runs) const
{
    if (runs)
        *runs = runcount;
    return runcount;
}

void PARTITION::getchannels(DPA& list, int* runs) const
{
    for (CHANNEL* channel : channels)
        list.add(channel);
    if (runs)
        *runs = runcount;
}
