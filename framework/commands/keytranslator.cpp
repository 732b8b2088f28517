#include "framework/commands/keytranslator.h"

#include <algorithm>
#include <vector>

#include "framework/appln/applnmodule.h"
#include "framework/context/applncontext.h"

namespace {

bool keyorder(const KEYCMD* a, const KEYCMD* b)
{
    return a->context != b->context ? a->context < b->context : a->key < b->key;
}

bool commandorder(const KEYCMD* a, const KEYCMD* b)
{
    return a->context != b->context ? a->context < b->context : a->command < b->command;
}

KEYCMD** first(const DPA& list)
{
    return reinterpret_cast<KEYCMD**>(list.items);
}

KEYCMD** last(const DPA& list)
{
    return first(list) + list.count;
}

// The binding equal to probe in a list sorted by order; null when none.
const KEYCMD* search(const DPA& list, const KEYCMD& probe, bool (*order)(const KEYCMD*, const KEYCMD*))
{
    KEYCMD** at = std::lower_bound(first(list), last(list), &probe, order);
    return at != last(list) && !order(&probe, *at) ? *at : nullptr;
}

constexpr bool withoutctrloralt(unsigned long key)
{
    return !(key & (KEY_CTRL | KEY_ALT));
}

} // namespace

const KEYCMD KEYTRANSLATOR::dummycmd {};

bool isalphakey(unsigned long key)
{
    const unsigned long vk = key & 0xFF;
    return vk >= 'A' && vk <= 'Z' && withoutctrloralt(key);
}

bool isnumkey(unsigned long key)
{
    const unsigned long vk = key & 0xFF;
    return vk >= '0' && vk <= '9' && withoutctrloralt(key);
}

bool isfunctionkey(unsigned long key)
{
    const unsigned long vk = key & 0xFF;
    return vk >= 0x70 && vk <= 0x7B;
}

bool isarrowkey(unsigned long key)
{
    const unsigned long code = key & 0x1FF;
    return code >= 0x125 && code <= 0x128;
}

bool iscursorkey(unsigned long key)
{
    const unsigned long code = key & 0x1FF;
    return code >= 0x121 && code <= 0x128;
}

KEYTRANSLATOR::KEYTRANSLATOR(CMDINFOTABLE& table, unsigned short scroll)
    : cmdtable(table)
    , scrollcmd(scroll)
{
}

KEYTRANSLATOR::KEYTRANSLATOR(const KEYTRANSLATOR& other)
    : cmdtable(other.cmdtable)
    , scrollcmd(other.scrollcmd)
{
    *this = other;
}

KEYTRANSLATOR& KEYTRANSLATOR::operator=(const KEYTRANSLATOR& other)
{
    if (this == &other)
        return *this;
    zap();
    for (const KEYCMD* binding : other.bykey)
        addrecord(binding->context, binding->command, binding->key);
    resort_keys();
    resort_cmds();
    return *this;
}

KEYTRANSLATOR::~KEYTRANSLATOR()
{
    zap();
}

bool KEYTRANSLATOR::operator==(const KEYTRANSLATOR& other) const
{
    auto same = [](const DPA& a, const DPA& b) {
        return std::equal(first(a), last(a), first(b), last(b), [](const KEYCMD* x, const KEYCMD* y) {
            return x->context == y->context && x->command == y->command && x->key == y->key;
        });
    };
    return same(bykey, other.bykey) && same(bycommand, other.bycommand);
}

void KEYTRANSLATOR::addrecord(unsigned short context, unsigned short command, unsigned long key)
{
    auto* binding = new KEYCMD { contextgroup(context), command, foldkey(static_cast<uint32_t>(key)) };
    bykey.add(binding);
    bycommand.add(binding);
}

void KEYTRANSLATOR::resort_keys()
{
    std::stable_sort(first(bykey), last(bykey), keyorder);
}

void KEYTRANSLATOR::resort_cmds()
{
    std::stable_sort(first(bycommand), last(bycommand), commandorder);
}

const KEYCMD* KEYTRANSLATOR::find_key(unsigned short context, unsigned long key, int anycontext) const
{
    if (!key)
        return &dummycmd;
    if (!anycontext) {
        const KEYCMD probe { contextgroup(context), 0, foldkey(static_cast<uint32_t>(key)) };
        const KEYCMD* found = search(bykey, probe, keyorder);
        return found ? found : &dummycmd;
    }
    for (const KEYCMD* binding : bykey)
        if ((binding->context ^ context) < 0x100 && binding->key == key)
            return binding;
    return &dummycmd;
}

const KEYCMD* KEYTRANSLATOR::find_cmd(unsigned short context, unsigned short command) const
{
    if (!command)
        return &dummycmd;
    const KEYCMD probe { contextgroup(context), command, 0 };
    const KEYCMD* found = search(bycommand, probe, commandorder);
    return found ? found : &dummycmd;
}

void KEYTRANSLATOR::erase(const KEYCMD* binding)
{
    bykey.remove(bykey.find(binding));
    bycommand.remove(bycommand.find(binding));
    delete binding;
}

int KEYTRANSLATOR::assign(unsigned short context, unsigned short command, unsigned long key)
{
    if (const KEYCMD* bound = find_key(context, key, 0); bound != &dummycmd)
        erase(bound);
    if (const KEYCMD* existing = find_cmd(context, command); existing != &dummycmd)
        const_cast<KEYCMD*>(existing)->key = foldkey(static_cast<uint32_t>(key));
    else
        addrecord(context, command, key);
    resort_keys();
    resort_cmds();
    return 1;
}

void KEYTRANSLATOR::remove_key(unsigned short context, unsigned long key)
{
    if (const KEYCMD* bound = find_key(context, key, 0); bound != &dummycmd)
        erase(bound);
}

void KEYTRANSLATOR::remove_command(unsigned short context, unsigned short command)
{
    if (const KEYCMD* bound = find_cmd(context, command); bound != &dummycmd)
        erase(bound);
}

unsigned short KEYTRANSLATOR::getcommand(unsigned short context, unsigned long key, int anycontext)
{
    return find_key(context, key, anycontext)->command;
}

unsigned long KEYTRANSLATOR::getkey(unsigned short context, unsigned short command)
{
    return find_cmd(context, command)->key;
}

int KEYTRANSLATOR::exists(unsigned short context, unsigned short command)
{
    return find_cmd(context, command) != &dummycmd;
}

const CMDINFO* KEYTRANSLATOR::ownentry(const KEYCMD& binding)
{
    for (int i = 0; const CMDINFO* entry = cmdtable.item(i); ++i)
        if (contextgroup(entry->context) == binding.context && entry->id == binding.command)
            return entry->isreference() ? nullptr : entry;
    return nullptr;
}

void KEYTRANSLATOR::validate()
{
    std::vector<const KEYCMD*> dropped;
    for (const KEYCMD* binding : bycommand)
        if (!ownentry(*binding))
            dropped.push_back(binding);
    for (const KEYCMD* binding : dropped)
        erase(binding);

    std::vector<KEYCMD> noted;
    noted.reserve(50);
    for (int i = 0; const CMDINFO* entry = cmdtable.item(i); ++i) {
        if (!entry->isreference())
            continue;
        const CMDINFO* target = cmdtable.item(entry->refindex);
        if (!target || !target->id)
            continue;
        const KEYCMD* shared = find_cmd(target->context, target->id);
        if (shared != &dummycmd && find_cmd(entry->context, entry->id) == &dummycmd)
            noted.push_back({ entry->context, entry->id, shared->key });
    }
    for (const KEYCMD& binding : noted)
        addrecord(binding.context, binding.command, binding.key);
    resort_keys();
    resort_cmds();
}

void KEYTRANSLATOR::zap()
{
    while (bycommand.count)
        bycommand.remove(bycommand.count - 1);
    bykey.zap();
}

KEYTRANSLATOR* getapplnkeytranslator()
{
    APPLNMODULE* module = getapplnmodule();
    return module ? module->getkeytranslator() : nullptr;
}
