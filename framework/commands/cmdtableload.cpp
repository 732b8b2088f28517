// Loading the command tables from their resources, every read bounded by the resource.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "framework/commands/cmdinfotable.h"
#include "framework/context/applncontext.h"
#include "framework/context/stringtranslator.h"
#include "framework/menus/menu.h"
#include "platform/tirsk/reporting.h"
#include "platform/win/resources.h"

namespace {

// One record as the resource holds it.
struct RECORD {
    uint16_t id = 0;
    uint16_t flags = 0;
    const char* text = nullptr;
    uint16_t helpid = 0;
    const char* image = nullptr;
    uint16_t hintcode = CMDHINT_NONE;
    const char* hint = nullptr;
};

// Reads records from a resource without ever passing its end.
class RECORDREADER {
public:
    RECORDREADER(const uint8_t* data, size_t size)
        : at(data)
        , end(data + size)
    {
    }

    bool atend() const { return at == end; }

    // The next whole record; nothing (the position kept) when it runs past the end.
    std::optional<RECORD> next()
    {
        const uint8_t* start = at;
        RECORD record;
        if (!read16(record.id) || !read16(record.flags) || !readrest(record)) {
            at = start;
            return std::nullopt;
        }
        return record;
    }

private:
    bool readrest(RECORD& record)
    {
        if (record.flags & CMDF_SEPARATOR)
            return true;
        if (record.flags & CMDF_SUBMENU)
            return record.flags != CMDF_SUBMENU || readtext(record.text);
        if (record.flags & CMDF_REFERENCE)
            return true;
        if (!readtext(record.text) || !read16(record.helpid) || !readtext(record.image))
            return false;
        if (end - at >= 2 && (at[0] | at[1] << 8) < 0x20)
            return read16(record.hintcode);
        return readtext(record.hint);
    }

    bool read16(uint16_t& value)
    {
        if (end - at < 2)
            return false;
        value = static_cast<uint16_t>(at[0] | at[1] << 8);
        at += 2;
        return true;
    }

    bool readtext(const char*& text)
    {
        const void* nul = at < end ? memchr(at, 0, static_cast<size_t>(end - at)) : nullptr;
        if (!nul)
            return false;
        text = reinterpret_cast<const char*>(at);
        at = static_cast<const uint8_t*>(nul) + 1;
        return true;
    }

    const uint8_t* at;
    const uint8_t* end;
};

// Translates texts of one context's resource under its section key.
class TEXTS {
public:
    explicit TEXTS(const char* contextname)
        : translator(getapplnstringtranslator())
        , section(std::string("CMD: ") + contextname)
    {
    }

    CMDTEXT text(const char* text) const
    {
        char* translated = translator ? translator->translate(text, section.c_str()) : nullptr;
        return translated ? CMDTEXT::adopt(translated) : CMDTEXT(text);
    }

    CMDTEXT hint(const char* hint, const char* commandtext) const
    {
        std::string key = std::string("HINT for: ") + (commandtext ? commandtext : "");
        char* translated = translator ? translator->translate(hint, section.c_str(), key.c_str()) : nullptr;
        return translated ? CMDTEXT::adopt(translated) : CMDTEXT(hint);
    }

private:
    STRINGTRANSLATOR* translator;
    std::string section;
};

// The image a record names as "NAME:index" (index 0 without a colon); null for "".
CMDIMAGE imageof(const char* image)
{
    if (!*image)
        return {};
    std::string name = image;
    int index = 0;
    if (size_t colon = name.find(':'); colon != std::string::npos) {
        index = atoi(name.c_str() + colon + 1);
        name.resize(colon);
    }
    return CMDIMAGE(MENU::make_images(name.c_str(), index, MENU::TRANSPARENTCOLOUR));
}

} // namespace

int CMDINFOTABLE::load(const char* names, HINSTANCE instance)
{
    contextnames.load(names, instance);
    unsigned long context = 0;
    const char* name = nullptr;
    if (!contextnames.item(0, &context, &name))
        return 1;
    int loaded = 1;
    for (int i = 0; contextnames.item(i, &context, &name); ++i)
        if (!load(static_cast<unsigned short>(context), instance))
            loaded = 0;
    return loaded;
}

int CMDINFOTABLE::load(unsigned short context, HINSTANCE instance)
{
    HRSRC resource = context ? FindResourceA(instance, MAKEINTRESOURCEA(context), RT_RCDATA) : nullptr;
    if (!resource)
        return 0;
    const TEXTS texts(contextnames.string(context));
    RECORDREADER reader(static_cast<const uint8_t*>(LockResource(LoadResource(instance, resource))),
        SizeofResource(instance, resource));
    bool first = true;
    CMDTEXT previoushint;
    while (std::optional<RECORD> record = reader.next()) {
        CMDINFO& entry = entries.append();
        if (first)
            contextstarts.add(entries.last());
        first = false;
        entry.context = context;
        entry.id = record->id;
        entry.flags = record->flags;
        if (contextgroup(context) == CMDCTX_GLOBAL && !entry.isseparator())
            entry.flags |= CMDF_FIXED;
        if (entry.isseparator() || entry.issubmenuend())
            continue;
        if (entry.issubmenu()) {
            entry.text = texts.text(record->text);
            continue;
        }
        if (entry.isreference()) {
            for (int i = 0; i < entries.last(); ++i) {
                const CMDINFO& target = entries[i];
                if (contextgroup(target.context) != CMDCTX_SHARED || target.id != entry.id)
                    continue;
                entry.text = target.text;
                entry.helpid = target.helpid;
                entry.hint = target.hint;
                entry.hintcode = target.hintcode;
                entry.bitmap = target.bitmap;
                entry.refindex = i;
                break;
            }
            continue;
        }
        entry.text = texts.text(record->text);
        entry.helpid = record->helpid;
        if (record->hint) {
            entry.hint = texts.hint(record->hint, entry.text);
            previoushint = entry.hint;
        } else if (record->hintcode == CMDHINT_PREVIOUS) {
            entry.hint = previoushint;
        } else if (record->hintcode == CMDHINT_ASKWINDOW) {
            entry.hintcode = CMDHINT_ASKWINDOW;
        }
        entry.bitmap = imageof(record->image);
    }
    if (!reader.atend())
        errorbox("Command table for context %04X is misaligned.", context);
    return 1;
}
