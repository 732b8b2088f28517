#include "platform/kelmar/symbol.h"

#include <cstdio>
#include <cstring>
#include <strings.h>

#include "core/containers/dpkb.h"
#include "platform/casq/sgdvc.h"
#include "platform/kelmar/primitives.h"
#include "platform/kelmar/records.h"

namespace {

SYMBOLFINDER finder = nullptr;
thread_local int nesting = 0;

// One level of symbols inside symbols, while it lives; deep is set when the level is one too
// many, and then the walk goes no further.
class NESTED {
public:
    NESTED() { ++nesting; }
    ~NESTED() { --nesting; }
    NESTED(const NESTED&) = delete;
    NESTED& operator=(const NESTED&) = delete;
    bool deep() const { return nesting > SYMBOLNESTING; }
};

// The margin a preview leaves around the symbol.
constexpr int PREVIEWMARGIN = 254000;

} // namespace

SYMBOLFINDER setsymbolfinder(SYMBOLFINDER newfinder)
{
    SYMBOLFINDER before = finder;
    finder = newfinder;
    return before;
}

SYMBOL* findsymbol(const char* name)
{
    NESTED level;
    return finder && name && !level.deep() ? finder(name) : nullptr;
}

SYMBOL::SYMBOL(const char* symbolname)
    : RLIB_ENTRY(symbolname)
{
}

SYMBOL::SYMBOL(const char* symbolname, const CTS& origin, const DPA& from)
    : RLIB_ENTRY(symbolname)
{
    CTS back = origin.inverse();
    for (int i = 0; i < from.count; ++i) {
        auto* primitive = reinterpret_cast<PRIMITIVE*>(from.ptr(i));
        if (primitive) {
            PRIMITIVE* copy = primitive->clone();
            copy->map(back);
            primitives.add(copy);
        }
    }
}

SYMBOL::~SYMBOL()
{
    primitives.zap();
}

void SYMBOL::add(PRIMITIVE* primitive)
{
    if (primitive) {
        primitives.add(primitive);
    }
}

int SYMBOL::getmarker(const char* markername, CTS* cts, SYMBOL** marker) const
{
    for (PRIMITIVE* primitive : primitives) {
        if (primitive->kind() != PK_MARKER) {
            continue;
        }
        auto* instance = static_cast<PR_SYM*>(primitive);
        if (markername && strcasecmp(instance->getname(), markername) == 0) {
            if (cts) {
                *cts = instance->cts;
            }
            if (marker) {
                *marker = instance->getsymbol();
            }
            return 1;
        }
    }
    return 0;
}

BOX SYMBOL::occa(int mode) const
{
    NESTED level;
    BOX box;
    if (!level.deep()) {
        for (PRIMITIVE* primitive : primitives) {
            box |= primitive->occa(mode);
        }
    }
    return box;
}

int SYMBOL::test(POINT point, int* distance) const
{
    NESTED level;
    int hit = 0;
    if (!level.deep()) {
        for (PRIMITIVE* primitive : primitives) {
            hit |= primitive->test(point, distance);
        }
    }
    return hit;
}

void SYMBOL::plot(const CTS& cts, VGDVC* device, DWORD word) const
{
    NESTED level;
    if (!device || level.deep()) {
        return;
    }
    for (PRIMITIVE* primitive : primitives) {
        primitive->plot(cts, device, word);
    }
}

int SYMBOL::makesym(DIDX& markers, DPA& into, const CTS& cts) const
{
    NESTED level;
    int made = 0;
    if (!level.deep()) {
        for (PRIMITIVE* primitive : primitives) {
            made |= primitive->makesym(markers, into, cts);
        }
    }
    return made;
}

void SYMBOL::usedlist(DIDX& symbols, DIDX& styles) const
{
    NESTED level;
    if (!level.deep()) {
        for (PRIMITIVE* primitive : primitives) {
            primitive->usedlist(symbols, styles);
        }
    }
}

int SYMBOL::replace(SYMBOL* old, SYMBOL* with)
{
    int replaced = 0;
    for (PRIMITIVE* primitive : primitives) {
        replaced |= primitive->replace(old, with);
    }
    return replaced;
}

SYMBOL* SYMBOL::clone() const
{
    auto* copy = new SYMBOL(name);
    for (PRIMITIVE* primitive : primitives) {
        copy->primitives.add(primitive->clone());
    }
    return copy;
}

void SYMBOL::updatestyles(const XSTYLE_MANAGER<GSTYLE>& styles, const GSTYLE_ENTRY* fallback)
{
    for (PRIMITIVE* primitive : primitives) {
        primitive->updatestyles(styles, fallback);
    }
}

void SYMBOL::preview(CTS& cts, VGDVC* device)
{
    if (!device) {
        return;
    }
    BOX area = occa(OCCA_DRAWN);
    area.map(cts);
    if (area.isvoid()) {
        area = BOX(cts.offset(), cts.offset());
    }
    area.grow(PREVIEWMARGIN);
    device->fittopage(area, 0);
    device->erase(VOIDBOX);
    plot(cts, device, 0);
    device->enddrawing();
}

void SYMBOL::preview(CTS& cts, SGDVC* device, LIBBROWSEINFO* info, char* text)
{
    preview(cts, static_cast<VGDVC*>(device));
    if (text) {
        std::snprintf(text, 256, "Symbol %s", name);
    }
}

int SYMBOL::pack(DPKB& b)
{
    DPKB records(0u, b.mode);
    for (PRIMITIVE* primitive : primitives) {
        if (!primitive->pack(records)) {
            return 0;
        }
    }
    LIBWRITER out;
    out.u8(RECORDVERSION);
    out.u32(static_cast<uint32_t>(primitives.count));
    out.raw(records.base, static_cast<size_t>(records.putptr - records.base));
    return packrecord(b, out);
}

int SYMBOL::unpack(DPKB& b)
{
    LIBCURSOR in(nullptr, 0);
    uint32_t count = 0;
    if (!unpackrecord(b, in) || !takeversion(in) || !in.u32(count) || count > in.remaining() / b.wordsize()) {
        return 0;
    }
    // The primitives' records, read through a buffer of their own over the rest of the record.
    auto rest = static_cast<unsigned>(in.remaining());
    DPKB records(rest, b.mode);
    if (rest) {
        std::memcpy(records.alloc(rest), in.here(), rest);
    }
    records.getptr = records.base;
    GDPA<PRIMITIVE> read;
    for (uint32_t i = 0; i < count; ++i) {
        PRIMITIVE* primitive = PRIMITIVE::make(records);
        if (!primitive) {
            read.zap();
            return 0;
        }
        read.add(primitive);
    }
    if (records.getptr != records.base + records.size) {
        read.zap();
        return 0;
    }
    primitives.zap();
    for (PRIMITIVE* primitive : read) {
        primitives.add(primitive);
    }
    return 1;
}

RLIB_ENTRY* SYMBOL::duplicate()
{
    SYMBOL* copy = clone();
    copy->created = created;
    copy->library = library;
    return copy;
}
