#include "core/text/proptext.h"

#include "core/containers/proplist.h"
#include "core/text/proprewrite.h"
#include "core/text/scan.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int nameField = 64; // getfield reads at most 63 characters

// The records of a list in one brace form, freed with it.
struct LISTITEMS {
    LISTITEMS(const PROPLIST& list, uint16_t flags)
    {
        for (int i = 0; i < list.count; ++i) {
            const char* name = list.ptr(i);
            items.add(new PROPITEM(name, name + std::strlen(name) + 1, flags));
        }
    }
    LISTITEMS(const LISTITEMS&) = delete;
    LISTITEMS& operator=(const LISTITEMS&) = delete;
    ~LISTITEMS() { items.zap(); }

    // Names that compare equal are one property; the later record replaces the earlier one.
    GDIDX<PROPITEM> items { 0, DIDX::DESTROY };
};

} // namespace

void PROPTEXT::setprops(const char* sec, const PROPLIST& list, uint16_t flags, int keepbraces)
{
    LISTITEMS records(list, flags);
    setprops(sec, records.items, keepbraces);
}

void PROPTEXT::setprops(const char* sec, const GDIDX<PROPITEM>& items, int keepbraces)
{
    PROPREWRITE pass(*this);
    const char* wanted = pass.wanted(sec);
    bool inside = sec == nullptr;
    DIDX done(0, DIDX::KEEPOLD); // names written so far, as alnumcmp tells them apart
    auto isdone = [&done](const PROPITEM* item) { return done.idxn(item->name) >= 0; };
    auto write = [&](const PROPITEM* item, unsigned form) {
        pass.property(item->name, item->value, form);
        done.add(item->name, item->name);
    };
    auto writemissing = [&] {
        for (const PROPITEM* item : items)
            if (!isdone(item))
                write(item, item->flags);
    };

    while (pass.next()) {
        if (const char* header = pass.header()) {
            bool entering = samesection(header, wanted);
            // New properties close their section, above the header of the next one.
            if (inside && !entering)
                writemissing();
            inside = entering;
            pass.copy();
            continue;
        }
        if (!inside || pass.starline()) {
            pass.copy();
            continue;
        }
        char* p = pass.line();
        char field[nameField];
        if (!getfield(&p, field, '=')) {
            // Comments stay; blank lines and free text go, unless the set is empty: then only
            // the property lines are cleared.
            if (field[0] == ';' || items.count == 0)
                pass.copy();
            continue;
        }
        const PROPITEM* item = items.ptr(items.idxn(field));
        if (!item)
            continue;
        unsigned form = item->flags;
        if (keepbraces)
            forstoredlines(pass.raw(), [&form](std::string_view line) { form = storedform(line); });
        write(item, form);
    }
    if (!std::all_of(items.begin(), items.end(), isdone)) {
        // Also a section named like the default one needs its header below another section.
        if (!inside && *wanted)
            pass.sectionheader(wanted);
        writemissing();
    }
    pass.finish();
}
