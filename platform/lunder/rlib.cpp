#include "platform/lunder/rlib.h"

#include "core/text/alnum.h"
#include "platform/lunder/dlib.h"
#include "platform/lunder/libcounter.h"
#include "platform/lunder/mlib.h"
#include "platform/ombrel/cts.h"

#include <cstring>
#include <memory>

RLIB_ENTRY::RLIB_ENTRY(const char* n)
    : name {}
{
    std::strncpy(name, n ? n : "", LIBNAMESIZE - 1);
}

RLIB_ENTRY::~RLIB_ENTRY() = default;

void RLIB_ENTRY::preview(CTS&, VGDVC*)
{
}

void RLIB_ENTRY::preview(CTS&, SGDVC*, LIBBROWSEINFO*, char*)
{
}

const char* RLIB_ENTRY::description()
{
    return nullptr;
}

int RLIB_ENTRY::placedcount()
{
    return -1;
}

int RLIB_ENTRY::convert(DPKB& b)
{
    return unpack(b);
}

LIB_ITEM::LIB_ITEM(int t, DLIB* l, const char* n)
    : type(t)
    , library(l)
    , name {}
{
    std::strncpy(name, n ? n : "", LIBNAMESIZE - 1);
}

RLIB_BASE::RLIB_BASE(MLIB* set)
    : GDIDX<RLIB_ENTRY>(0, REPLACE, alnumicmp)
    , libraries(set)
{
}

RLIB_BASE::~RLIB_BASE()
{
    zap();
}

RLIB_ENTRY* RLIB_BASE::load(const char* n, DLIB* library)
{
    if (!library && !(libraries && libraries->getnewest(n, nullptr, &library))) {
        error = "No library holds '" + std::string(n) + "'.";
        return nullptr;
    }
    uint32_t created = 0;
    std::unique_ptr<DPKB> data(library->read(n, created, error));
    if (!data)
        return nullptr;
    const DLIB_INDEX_ENTRY* indexed = library->entry(n);
    std::unique_ptr<RLIB_ENTRY> entry(create(indexed ? indexed->name : n));
    if (!entry || !(data->mode == DPKB_WORD16 ? entry->convert(*data) : entry->unpack(*data))) {
        error = "Entry '" + std::string(n) + "' of library '" + library->path + "' cannot be read.";
        return nullptr;
    }
    entry->created = created;
    entry->library = library->number;
    return entry.release();
}

RLIB_ENTRY* RLIB_BASE::get(const char* n, DLIB* library, int flags)
{
    if (!n || !*n)
        return nullptr;
    if (!(flags & 1)) {
        if (RLIB_ENTRY* loaded = (*this)[n])
            return loaded;
    }
    RLIB_ENTRY* entry = load(n, library);
    if (entry && !(flags & 1))
        add(entry);
    return entry;
}

int RLIB_BASE::add(RLIB_ENTRY* entry)
{
    raiselibcounter();
    return GDIDX<RLIB_ENTRY>::add(entry);
}

int RLIB_BASE::sync(DPA& list) const
{
    for (RLIB_ENTRY* entry : *this)
        list.add(entry);
    return count;
}

int RLIB_BASE::browse(const char* n, DLIB* library, SGDVC* device, LIBBROWSEINFO* info, char* text)
{
    if (text)
        *text = 0;
    if (!n || !*n)
        return 0;
    std::unique_ptr<RLIB_ENTRY> fresh;
    RLIB_ENTRY* entry = library ? nullptr : (*this)[n];
    if (!entry) {
        fresh.reset(load(n, library));
        entry = fresh.get();
    }
    if (!entry)
        return 0;
    CTS origin;
    entry->preview(origin, device, info, text);
    return 1;
}

int RLIB_BASE::tidy(const DIDX& used)
{
    int removed = 0;
    for (int i = count - 1; i >= 0; --i) {
        if (used.idxn(key(i)) < 0) {
            delete remove(i);
            ++removed;
        }
    }
    if (removed)
        raiselibcounter();
    return removed;
}

void RLIB_BASE::reset()
{
    for (RLIB_ENTRY* entry : *this)
        entry->temporary = 0;
}
