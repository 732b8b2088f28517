// Key tables, as the framework's key translator reads them (framework/commands/keytranslator.h):
// 8-byte records of context (16 bits), key code (32 bits) and command id (16 bits). Source form of
// the body, one binding after the other: the context, the key and the command.
//
//   0x100 "Ctrl+N" 0x200
//   0x100 "Alt+F4" 0x13B
//   0x110 "Shift+Page Up" 0x217D
//
// A key is written as its name ("F1", "Delete", "Num 7", the names menus show), after any of the
// modifiers "Ctrl+", "Alt+", "Shift+" and "Win+" (any case), or as a key code number. A named key
// carries each modifier in both sets, and the extended bit where the key always has it.

#include <string>
#include <string_view>

#include "platform/win/keynames.h"
#include "platform/win/rc/keycodes.h"
#include "platform/win/rc/kinds.h"

namespace rc {

namespace {

struct MODIFIER {
    std::string_view prefix;
    uint32_t bits;
};

constexpr MODIFIER modifiers[] = {
    { "ctrl+", KEY_CTRL },
    { "alt+", KEY_ALT },
    { "shift+", KEY_SHIFT },
    { "win+", KEY_WIN },
};

bool startswith(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (c != prefix[i])
            return false;
    }
    return true;
}

uint32_t keycode(Parser& in, std::string_view spec)
{
    uint32_t code = 0;
    for (bool found = true; found;) {
        found = false;
        for (const MODIFIER& modifier : modifiers) {
            if (spec.size() > modifier.prefix.size() && startswith(spec, modifier.prefix)) {
                code |= modifier.bits;
                spec.remove_prefix(modifier.prefix.size());
                found = true;
            }
        }
    }
    int vk = win::keybyname(spec);
    if (vk < 0)
        in.fail("no key is named '" + std::string(spec) + "'");
    code |= static_cast<uint32_t>(vk);
    if (win::isextendedkey(vk))
        code |= KEY_EXTENDED;
    return code;
}

class KeyTableKind : public ResourceKind {
public:
    NameOrId type() const override { return { {}, 10 }; }

    std::vector<uint8_t> compile(Parser& in) const override
    {
        std::vector<uint8_t> out;
        while (!in.atsymbol('}')) {
            auto context = static_cast<uint16_t>(in.number(0, 0xFFFF, "a command context"));
            uint32_t key = 0;
            if (in.attext())
                key = keycode(in, in.text("the key"));
            else
                key = static_cast<uint32_t>(in.number(1, UINT32_MAX, "the key"));
            auto command = static_cast<uint16_t>(in.number(0, 0xFFFF, "a command id"));
            put16(out, context);
            put32(out, key);
            put16(out, command);
        }
        return out;
    }
};

} // namespace

const ResourceKind& keytablekind()
{
    static const KeyTableKind kind;
    return kind;
}

} // namespace rc
