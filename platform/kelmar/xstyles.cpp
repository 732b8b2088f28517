#include "platform/kelmar/xstyles.h"

#include <cstring>
#include <strings.h>

#include "core/files/vfile.h"

namespace {

bool fitsname(const char* name)
{
    return name && *name && std::strlen(name) <= XSTYLENAMEMAX;
}

} // namespace

template <class T>
XSTYLE_ENTRY<T>::XSTYLE_ENTRY(const char* entryname, const T& entrystyle, uint8_t entryflags)
    : flags(entryflags)
    , style(entrystyle)
{
    setname(entryname);
}

template <class T> void XSTYLE_ENTRY<T>::setname(const char* entryname)
{
    size_t length = entryname ? strnlen(entryname, XSTYLENAMEMAX) : 0;
    std::memcpy(name, entryname, length);
    name[length] = '\0';
}

template <class T>
XSTYLE_MANAGER<T>::XSTYLE_MANAGER()
    : GDIDX<ENTRY>(16, DIDX::KEEPOLD, strcasecmp)
{
}

template <class T> XSTYLE_MANAGER<T>::~XSTYLE_MANAGER()
{
    this->zap();
}

template <class T> void XSTYLE_MANAGER<T>::destroy(void* item)
{
    auto* entry = static_cast<ENTRY*>(item);
    if (entry && !(entry->flags & XS_SHARED)) {
        delete entry;
    }
}

template <class T> int XSTYLE_MANAGER<T>::add(const char* name, const T& style, uint8_t flags)
{
    if (!fitsname(name)) {
        return -1;
    }
    if (ENTRY* present = get(name)) {
        present->style = style;
        return find(name);
    }
    return GDIDX<ENTRY>::add(new ENTRY(name, style, flags));
}

template <class T> int XSTYLE_MANAGER<T>::addcopy(const char* name, const char* base)
{
    if (!fitsname(name) || get(name)) {
        return -1;
    }
    const ENTRY* model = base ? get(base) : nullptr;
    return add(name, model ? model->style : T(), 0);
}

template <class T> void XSTYLE_MANAGER<T>::reset(const ENTRY* rows, int count)
{
    this->zap();
    this->locked = 0;
    for (int i = 0; rows && (count < 0 ? rows[i].name[0] != '\0' : i < count); ++i) {
        // The head keeps the order of the rows, unsorted.
        this->DPA::add(rows[i].flags & XS_SHARED ? const_cast<ENTRY*>(&rows[i]) : new ENTRY(rows[i]));
        ++this->locked;
    }
}

template <class T> int XSTYLE_MANAGER<T>::read(VFILE& file)
{
    int low = file.getc();
    int high = file.getc();
    if (low < 0 || high < 0) {
        return 0;
    }
    for (int count = low | high << 8; count > 0; --count) {
        char name[256];
        if (!vfgetstr(name, file) || !fitsname(name)) {
            return 0;
        }
        int flags = file.getc();
        T style;
        if (flags < 0 || !style.read(file)) {
            return 0;
        }
        if (ENTRY* present = get(name)) {
            present->style = style;
        } else {
            GDIDX<ENTRY>::add(new ENTRY(name, style, static_cast<uint8_t>(flags & ~XS_SHARED)));
        }
    }
    return 1;
}

template <class T> int XSTYLE_MANAGER<T>::write(VFILE& file) const
{
    if (this->count > 0xFFFF || file.putc(this->count & 0xFF) < 0 || file.putc(this->count >> 8) < 0) {
        return 0;
    }
    for (const ENTRY* entry : *this) {
        vfputstr(entry->name, file);
        if (file.putc(entry->flags & ~XS_SHARED) < 0 || !entry->style.write(file)) {
            return 0;
        }
    }
    return 1;
}

template struct XSTYLE_ENTRY<GSTYLE>;
template struct XSTYLE_ENTRY<TSTYLE>;
template class XSTYLE_MANAGER<GSTYLE>;
template class XSTYLE_MANAGER<TSTYLE>;
