#include "platform/kelmar/primitive.h"

#include <cstring>

#include "core/containers/didx.h"
#include "core/containers/dpa.h"
#include "core/containers/dpkb.h"
#include "platform/kelmar/primitives.h"
#include "platform/kelmar/records.h"

PRIMITIVE::PRIMITIVE(const GSTYLE_ENTRY& named)
    : style(named)
{
    style.flags = 0;
}

int PRIMITIVE::getornt(CTS* out) const
{
    if (out) {
        *out = CTS(reference()) * cts;
    }
    return 1;
}

void PRIMITIVE::map(const CTS& transform)
{
    cts *= transform;
    cts.normalize();
    settle();
}

void PRIMITIVE::normalise(CTS& placement)
{
    CTS reference;
    getornt(&reference);
    map(reference.inverse());
    placement = reference * placement;
}

int PRIMITIVE::gethandles(DPA& handles) const
{
    return 0;
}

int PRIMITIVE::handleevent(DRAGHANDLE& handle, POINT point, int message, uint16_t keys, uint32_t data)
{
    return 0;
}

int PRIMITIVE::resize(DRAGHANDLE* handle)
{
    return 0;
}

void PRIMITIVE::setstyle(const GSTYLE_ENTRY& named)
{
    style = named;
    style.flags = 0;
}

int PRIMITIVE::setattr(int penstyle)
{
    if (penstyle < PENSTYLE_SOLID || penstyle > PENSTYLE_NONE || penstyle == style.style.penstyle) {
        return 0;
    }
    style.style.penstyle = penstyle;
    return 1;
}

void PRIMITIVE::updatestyles(const XSTYLE_MANAGER<GSTYLE>& styles, const GSTYLE_ENTRY* fallback)
{
    if (!style.name[0]) {
        return;
    }
    const GSTYLE_ENTRY* named = styles.get(style.name);
    if (named && !(named->flags & XS_DELETED)) {
        style.style = named->style;
    } else if (fallback) {
        setstyle(*fallback);
    }
}

int PRIMITIVE::replace(SYMBOL* old, SYMBOL* with)
{
    return 0;
}

void PRIMITIVE::usedlist(DIDX& symbols, DIDX& styles) const
{
    if (style.name[0]) {
        styles.add(const_cast<char*>(style.name), const_cast<char*>(style.name));
    }
}

int PRIMITIVE::makesym(DIDX& markers, DPA& primitives, const CTS& through) const
{
    PRIMITIVE* copy = clone();
    copy->map(through);
    primitives.add(copy);
    return 1;
}

void PRIMITIVE::scale(int factor)
{
    POINT offset = scaled(cts.offset(), factor);
    cts.x = offset.x;
    cts.y = offset.y;
    scaleshape(factor);
}

bool PRIMITIVE::takeoffset(POINT& offset)
{
    if (cts.angle != 0 || cts.mirror_word != 0) {
        return false;
    }
    offset = cts.offset();
    cts = ZEROCTS;
    return true;
}

POINT PRIMITIVE::scaled(POINT point, int factor)
{
    return POINT(clampcoord(int64_t { point.x } * factor), clampcoord(int64_t { point.y } * factor));
}

int32_t PRIMITIVE::halfpen() const
{
    return style.style.haspen() ? style.style.penwidth / 2 : 0;
}

BOX PRIMITIVE::placedbox(BOX shape, int mode) const
{
    if (mode == OCCA_DRAWN) {
        shape.grow(halfpen());
    }
    shape.map(cts);
    return shape;
}

int PRIMITIVE::narrow(int64_t away, int* distance)
{
    if (!distance || away > *distance) {
        return 0;
    }
    *distance = static_cast<int>(away);
    return 1;
}

POINT PRIMITIVE::local(POINT point) const
{
    return cts == ZEROCTS ? point : cts.inverse().map(point);
}

int PRIMITIVE::pack(DPKB& buffer) const
{
    LIBWRITER out;
    out.u8(RECORDVERSION);
    out.u8(static_cast<uint8_t>(kind() == PK_MARKER ? PK_SYMBOL : kind()));
    putnamed(out, style);
    putcts(out, cts);
    packshape(out);
    return packrecord(buffer, out);
}

PRIMITIVE* PRIMITIVE::make(DPKB& buffer)
{
    LIBCURSOR in(nullptr, 0);
    uint8_t kind = 0;
    GSTYLE_ENTRY named;
    CTS placement;
    if (!unpackrecord(buffer, in) || !takeversion(in) || !in.u8(kind) || !takenamed(in, named)
        || !takects(in, placement)) {
        return nullptr;
    }
    PRIMITIVE* (*makers[])(LIBCURSOR&, const GSTYLE_ENTRY&) = { nullptr, PR_LINE::make, PR_BOX::make,
        PR_CIRCLE::make, PR_BEZIER::make, PR_PATH::make, PR_SYM::make, PR_TEXT::make };
    if (kind >= std::size(makers) || !makers[kind]) {
        return nullptr;
    }
    PRIMITIVE* made = makers[kind](in, named);
    if (made && in.remaining() != 0) {
        delete made;
        return nullptr;
    }
    if (made) {
        made->cts = placement;
        made->cts.normalize();
        made->settle();
    }
    return made;
}
