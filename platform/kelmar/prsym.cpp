#include <cstring>
#include <strings.h>

#include "core/containers/didx.h"
#include "core/containers/dpa.h"
#include "platform/kelmar/primitives.h"
#include "platform/kelmar/records.h"
#include "platform/kelmar/symbol.h"

namespace {

constexpr int SYMBOLNAMEMAX = LIBNAMESIZE - 1;

} // namespace

PR_SYM::PR_SYM(const CTS& at, SYMBOL* instance, const GSTYLE_ENTRY& named)
    : PR_SYM(at, instance ? instance->name : "", instance, named)
{
}

PR_SYM::PR_SYM(const CTS& at, const char* symbolname, SYMBOL* instance, const GSTYLE_ENTRY& named)
    : PRIMITIVE(named)
    , symbol(instance)
{
    cts = at;
    setname(symbolname);
}

void PR_SYM::setname(const char* symbolname)
{
    size_t length = strnlen(symbolname, sizeof name - 1);
    std::memcpy(name, symbolname, length);
    name[length] = '\0';
}

int PR_SYM::kind() const
{
    return strncasecmp(name, MARKERPREFIX, std::strlen(MARKERPREFIX)) == 0 ? PK_MARKER : PK_SYMBOL;
}

BOX PR_SYM::occa(int mode) const
{
    BOX box = symbol ? symbol->occa(mode) : VOIDBOX;
    if (box.isvoid()) {
        return BOX(cts.offset(), cts.offset());
    }
    box.map(cts);
    return box;
}

int PR_SYM::test(POINT point, int* distance) const
{
    return symbol ? symbol->test(local(point), distance) : 0;
}

void PR_SYM::plot(const CTS& through, VGDVC* device, DWORD word) const
{
    if (symbol) {
        symbol->plot(cts * through, device, word);
    }
}

int PR_SYM::replace(SYMBOL* old, SYMBOL* with)
{
    if (!old || symbol != old || !with) {
        return 0;
    }
    symbol = with;
    setname(with->name);
    return 1;
}

void PR_SYM::usedlist(DIDX& symbols, DIDX& styles) const
{
    if (name[0]) {
        symbols.add(const_cast<char*>(name), const_cast<char*>(name));
    }
    if (symbol) {
        symbol->usedlist(symbols, styles);
    }
}

int PR_SYM::makesym(DIDX& markers, DPA& primitives, const CTS& through) const
{
    if (kind() == PK_SYMBOL && symbol) {
        return symbol->makesym(markers, primitives, cts * through);
    }
    PRIMITIVE* copy = clone();
    copy->map(through);
    primitives.add(copy);
    if (auto* marker = reinterpret_cast<MARKER*>(markers[name])) {
        marker->primitive = copy;
    }
    return 1;
}

void PR_SYM::scaleshape(int factor)
{
}

void PR_SYM::packshape(LIBWRITER& out) const
{
    out.str(name);
}

PRIMITIVE* PR_SYM::make(LIBCURSOR& in, const GSTYLE_ENTRY& named)
{
    const char* symbolname = nullptr;
    uint16_t length = 0;
    if (!in.str(symbolname, length, SYMBOLNAMEMAX) || length == 0) {
        return nullptr;
    }
    return new PR_SYM(CTS(), symbolname, findsymbol(symbolname), named);
}
