#include "framework/commands/cmdinfotable.h"

#include <cstdlib>

#include "framework/appln/applnmodule.h"
#include "framework/context/applncontext.h"
#include "framework/menus/menu.h"
#include "platform/win/gdi.h"
#include "platform/win/messagequeue.h"

CMDTEXT::CMDTEXT(const char* text)
{
    if (text)
        this->text = std::make_shared<const std::string>(text);
}

CMDTEXT CMDTEXT::adopt(char* text)
{
    CMDTEXT adopted(text);
    free(text);
    return adopted;
}

CMDIMAGE::CMDIMAGE(HBITMAP image)
{
    if (image)
        bitmap.reset(image, [](HBITMAP held) { DeleteObject(held); });
}

CMDINFOTABLE::~CMDINFOTABLE()
{
    MENU::make_images(static_cast<const char*>(nullptr), 0, MENU::TRANSPARENTCOLOUR);
}

CMDINFO* CMDINFOTABLE::find(unsigned short context, unsigned short id)
{
    if (!id)
        return nullptr;
    const uint16_t group = contextgroup(context);
    for (int32_t start : contextstarts) {
        if (!startsgroup(start, group))
            continue;
        const uint16_t exact = entries[start].context;
        for (int i = start; i < entries.size() && entries[i].context == exact; ++i)
            if (entries[i].matches(id))
                return &entries[i];
    }
    return nullptr;
}

bool CMDINFOTABLE::startsgroup(int start, unsigned short group) const
{
    return entries.inbounds(start) && contextgroup(entries[start].context) == group;
}

int CMDINFOTABLE::dispatch(unsigned short context, unsigned short id, ICMDTARGET* target)
{
    if (!target || !find(context, id))
        return 0;
    APPLNCONTEXT* saved = setapplncontext(target->getapplncontext());
    int result = target->docommand(id);
    setapplncontext(saved);
    return result;
}

const char* CMDINFOTABLE::gettiptext(unsigned short context, unsigned short id)
{
    CMDINFO* entry = find(context, id);
    return entry ? entry->text.get() : nullptr;
}

const char* CMDINFOTABLE::gethinttext(unsigned short context, unsigned short id)
{
    CMDINFO* entry = find(context, id);
    if (!entry)
        return nullptr;
    if (entry->hintcode == CMDHINT_ASKWINDOW)
        return reinterpret_cast<const char*>(SendMessageA(getapplnwinhdl(), WM_COMMANDHINTTEXT, context, id));
    return entry->hint;
}

unsigned short CMDINFOTABLE::gethelpid(unsigned short context, unsigned short id)
{
    CMDINFO* entry = find(context, id);
    return entry ? entry->helpid : 0;
}

unsigned short CMDINFOTABLE::getfirstcommand(unsigned short context)
{
    for (int32_t start : contextstarts)
        if (entries.inbounds(start) && entries[start].context == context)
            return entries[start].id;
    return 0;
}

CMDINFO* CMDINFOTABLE::item(int index)
{
    return entries.inbounds(index) ? &entries[index] : nullptr;
}

CMDINFO& CMDINFOTABLE::addcommand(
    unsigned short context, unsigned short id, const char* text, const char* hint)
{
    const bool newcontext = !entries.size() || entries[entries.last()].context != context;
    CMDINFO& entry = entries.append();
    entry.context = context;
    entry.id = id;
    entry.text = CMDTEXT(text);
    entry.hint = CMDTEXT(hint);
    if (newcontext)
        contextstarts.add(entries.last());
    return entry;
}

CMDINFO& CMDINFOTABLE::addseparator()
{
    const uint16_t context = entries.size() ? entries[entries.last()].context : 0;
    CMDINFO& entry = entries.append();
    entry.context = context;
    entry.flags = CMDF_SEPARATOR;
    return entry;
}

void CMDINFOTABLE::removecommands(unsigned short group)
{
    int first = 0;
    while (first < contextstarts.size() && !startsgroup(contextstarts[first], group))
        ++first;
    if (first == contextstarts.size())
        return;
    int starts = 1;
    while (first + starts < contextstarts.size() && startsgroup(contextstarts[first + starts], group))
        ++starts;
    const int from = contextstarts[first];
    int end = from;
    while (end < entries.size() && contextgroup(entries[end].context) == group)
        ++end;
    const int removed = end - from;
    contextstarts.remove(first, starts);
    for (int i = 0; i < contextstarts.size(); ++i)
        if (contextstarts[i] >= end)
            contextstarts[i] -= removed;
    entries.remove(from, removed);
    for (int i = 0; i < entries.size(); ++i) {
        CMDINFO& entry = entries[i];
        if (entry.refindex >= end) {
            entry.refindex -= removed;
        } else if (entry.refindex >= from) {
            CMDINFO unreferenced;
            unreferenced.context = entry.context;
            unreferenced.id = entry.id;
            unreferenced.flags = entry.flags;
            entry = unreferenced;
        }
    }
}

CMDINFOTABLE* getapplncmdinfotable()
{
    APPLNMODULE* module = getapplnmodule();
    return module ? module->getcmdinfotable() : nullptr;
}

const char* getapplnhinttext(unsigned short context, unsigned short id)
{
    CMDINFOTABLE* table = getapplncmdinfotable();
    return table ? table->gethinttext(context, id) : nullptr;
}

const char* getapplntiptext(unsigned short context, unsigned short id)
{
    CMDINFOTABLE* table = getapplncmdinfotable();
    return table ? table->gettiptext(context, id) : nullptr;
}
