#include "platform/hulvane/results/partition.h"
#include "platform/hulvane/results/partitionformat.h"
#include "platform/hulvane/results/report.h"

#include <new>
#include <cstring>
#include <vector>

using namespace partitionformat;

namespace {

// Runs up to this many bytes are read into memory once and shared by their iterators; longer ones
// are streamed by each iterator from its own handle.
constexpr int32_t cacheLimit = 0xFFFFF;

CHANNEL_ITERATOR* makeiterator(PARTITION* partition, int32_t kind, int32_t channel, int32_t run, int32_t width)
{
    switch (kind) {
    case PARTITION::KIND_ANALOG:
        return new ANALOG_ITERATOR(partition, channel, run, width);
    case PARTITION::KIND_DIGITAL:
        return new DIGITAL_ITERATOR(partition, channel, run, width);
    case PARTITION::KIND_COMPLEX:
        return new FREQUENCY_ITERATOR(partition, channel, run, width);
    default:
        return nullptr;
    }
}

}  // namespace

bool PARTITION::readat(int64_t offset, void* buffer, int32_t n)
{
    if (!file.fp)
        return false;
    long kept = file.tell();
    bool ok = file.seek(static_cast<long>(offset), SEEK_SET) == 0 && file.read(buffer, n) == n;
    if (writing())
        file.seek(kept, SEEK_SET);
    return ok;
}

CHANNEL_ITERATOR* PARTITION::getiterator(const char* channelname, int runnumber)
{
    int number = findchannel(channelname);
    if (number < 0 || !hasrun(runnumber))
        return nullptr;
    const CHANNEL& channel = *channels[number];
    RUN& run = runs[static_cast<size_t>(runnumber)];
    std::unique_ptr<CHANNEL_ITERATOR> iterator(makeiterator(this, channel.kind, number, runnumber, channel.width));
    if (!iterator)
        return nullptr;
    if (run.length <= cacheLimit && !run.cache) {
        std::shared_ptr<unsigned char[]> copy(new unsigned char[static_cast<size_t>(run.length) + 1]);
        if (!readat(run.offset, copy.get(), run.length)) {
            resultserror("The results file '%s' cannot be read: run %d ends early.", path, runnumber);
            return nullptr;
        }
        run.cache = std::move(copy);
    }
    if (run.cache) {
        iterator->cached = run.cache;
        iterator->memoryfile = std::make_unique<RAMFILE>(run.cache.get(), run.length);
        iterator->file = iterator->memoryfile.get();
    } else {
        if (writing())
            std::fflush(file.fp);
        FILE* own = std::fopen(streampath.c_str(), "rb");
        if (!own) {
            resultserror("Cannot open the results file '%s': %s.", path, std::strerror(errno));
            return nullptr;
        }
        iterator->ownfile = std::make_unique<DISKFILE>(own);
        iterator->file = iterator->ownfile.get();
    }
    if (!iterator->start())
        return nullptr;
    iterators.add(iterator.get());
    return iterator.release();
}

int PARTITION::getinitialvalue(const char* channelname, CHANNELVALUE* result)
{
    CHANNEL_ITERATOR* iterator = getiterator(channelname, 0);
    if (!iterator)
        return 0;
    switch (channels[iterator->channel]->kind) {
    case KIND_ANALOG:
        result->kind = 0;
        result->value = iterator->getvalue(0.0);
        return 1;
    case KIND_DIGITAL: {
        const uint32_t* states = iterator->getstates(0.0);
        int32_t words = iterator->width / 4;
        if (words <= 1) {
            result->kind = 1;
            result->state = states[0];
            return 1;
        }
        result->kind = 2;
        result->state = 0;
        for (int32_t i = 0; i < words; ++i)
            if ((states[i] & 3) == 3)
                result->state |= 1u << i;
        return 1;
    }
    default:
        return 0;
    }
}

int PARTITION::loadrecords(DIDX& index)
{
    if (!hasrun(1))
        return 0;
    const RUN& run = runs[1];
    std::vector<unsigned char> bytes(static_cast<size_t>(run.markers));
    if (!readat(run.offset, bytes.data(), run.markers)) {
        resultserror("The results file '%s' cannot be read: run 1 ends early.", path);
        return 1;
    }
    size_t at = 0;
    while (at + 4 <= bytes.size()) {
        int32_t count = load<int32_t>(bytes.data() + at);
        if (count < 1)
            break;
        at += 4;
        if (static_cast<size_t>(count) > bytes.size() - at) {
            resultserror("The results file '%s' is damaged: a record of run 1 runs past the end of the run.", path);
            break;
        }
        // Allocated as DPA's destroy releases it, so that the index's zap frees the records.
        auto* block = static_cast<char*>(::operator new(static_cast<size_t>(count) + 1));
        std::memcpy(block, bytes.data() + at, static_cast<size_t>(count));
        block[count] = '\0';
        int slot = index.add(block);
        if (index.ptr(slot) != block)
            ::operator delete(block);
        at += static_cast<size_t>(count);
    }
    return 1;
}
