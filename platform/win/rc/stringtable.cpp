// String tables, as the string-table class reads them: a sequence of records, each opened by a
// tag byte, all integers little-endian and unaligned.
//   tag 0: 16-bit number, 32-bit flags, text and NUL      numbered entry
//   tag 1: name and NUL, 32-bit value, text and NUL       named entry (any tag but 0 and 2)
//   tag 2                                                 end of the table
// Source form of the body, one entry after the other:
//   <number> [flags <number>] "text"                      numbers 0 to 0xFFFF (or -32768 to -1)
//   named "NAME" <number> "text"                          names of 1 to 31 characters

#include <set>

#include "platform/win/rc/kinds.h"

namespace rc {

namespace {

constexpr uint8_t numberedTag = 0;
constexpr uint8_t namedTag = 1;
constexpr uint8_t endTag = 2;
constexpr size_t longestName = 31;

void puttext(std::vector<uint8_t>& out, const std::string& text)
{
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
}

std::string entrytext(Parser& in)
{
    std::string text = in.text("the entry's text");
    if (text.find('\0') != std::string::npos)
        in.fail("a text cannot hold a NUL character");
    return text;
}

class StringTableKind : public ResourceKind {
public:
    NameOrId type() const override { return { {}, 10 }; }

    std::vector<uint8_t> compile(Parser& in) const override
    {
        std::vector<uint8_t> out;
        std::set<uint16_t> numbers;
        std::set<std::string> names;
        while (!in.atsymbol('}')) {
            if (in.keyword("named")) {
                std::string name = in.text("the entry's name");
                if (name.empty() || name.size() > longestName || name.find('\0') != std::string::npos)
                    in.fail("a name has 1 to 31 characters and no NUL");
                std::string folded;
                for (char c : name)
                    folded += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
                if (!names.insert(folded).second)
                    in.fail("name '" + name + "' is used twice");
                auto value = static_cast<uint32_t>(in.number(INT32_MIN, UINT32_MAX, "the entry's value"));
                out.push_back(namedTag);
                puttext(out, name);
                put32(out, value);
                puttext(out, entrytext(in));
                continue;
            }
            auto number = static_cast<uint16_t>(in.number(INT16_MIN, UINT16_MAX, "an entry number"));
            uint32_t flags = 0;
            if (in.keyword("flags"))
                flags = static_cast<uint32_t>(in.number(0, UINT32_MAX, "the flags"));
            if (!numbers.insert(number).second)
                in.fail("number " + std::to_string(number) + " is used twice");
            out.push_back(numberedTag);
            put16(out, number);
            put32(out, flags);
            puttext(out, entrytext(in));
        }
        out.push_back(endTag);
        return out;
    }
};

} // namespace

const ResourceKind& stringtablekind()
{
    static const StringTableKind kind;
    return kind;
}

} // namespace rc
