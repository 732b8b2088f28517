#include "platform/hulvane/pinout.h"

#include "platform/hulvane/netlist.h"
#include "platform/hulvane/refname.h"
#include "platform/lunder/libbytes.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <ostream>
#include <strings.h>

namespace {

constexpr uint8_t PINOUTVERSION = 1;

constexpr int MOSTELEMENTS = 26;
constexpr int MOSTMEMBERS = 1024;

// The long type names one writer uses; the short ones are the netlist's.
const char* const longtypes[] = { "PASSIVE", "INPUT", "OUTPUT", "BIDIR", "TRISTATE", "PULLUP", "PULLDOWN",
    "POWER" };

int typeofname(const std::string& text)
{
    for (int type = 0; type < 8; ++type) {
        if (strcasecmp(text.c_str(), longtypes[type]) == 0)
            return type;
    }
    if (strcasecmp(text.c_str(), "N/C") == 0)
        return ET_NC;
    const int type = electypeof(text.c_str());
    return type >= ET_PASSIVE && type <= ET_POWER ? type : type == ET_NC ? ET_NC : -1;
}

std::string trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    const size_t last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

std::vector<std::string> split(const std::string& text, const char* separators)
{
    std::vector<std::string> out;
    size_t from = 0;
    for (;;) {
        const size_t at = text.find_first_of(separators, from);
        out.push_back(trim(text.substr(from, at == std::string::npos ? std::string::npos : at - from)));
        if (at == std::string::npos)
            return out;
        from = at + 1;
    }
}

} // namespace

// Reads a script item by item, keeping the line and column of each for its messages.
class PINOUTCOMPILER {
public:
    PINOUTCOMPILER(PINOUT& pinout, const std::string& text, std::ostream* messages)
        : pinout(pinout)
        , text(text)
        , messages(messages)
    {
    }

    int run()
    {
        skipblanks();
        if (strncasecmp(text.c_str() + at, "*PINOUT", 7) != 0)
            return fail("the script does not begin with *PINOUT");
        at += 7;
        const size_t lineend = text.find('\n', at);
        std::string header = trim(text.substr(at, lineend == std::string::npos ? std::string::npos : lineend - at));
        if (!header.empty() && header.back() == '\r')
            header = trim(header.substr(0, header.size() - 1));
        if (header.empty())
            return fail("the pinout has no name");
        if (!pinout.name[0])
            std::snprintf(pinout.name, sizeof pinout.name, "%s", header.c_str());
        at = lineend == std::string::npos ? text.size() : lineend + 1;
        bool elementsgiven = false;
        for (;;) {
            skipblanks();
            if (at >= text.size() || (text[at] == '*' && atlinestart()))
                break;
            if (text[at] != '{')
                return fail("'{' expected");
            itemstart = at;
            std::string body;
            if (!readitem(body))
                return 0;
            // Messages about an item name the place it begins.
            const size_t after = at;
            at = itemstart;
            if (!item(body, elementsgiven))
                return 0;
            at = after;
        }
        pinout.stop = at;
        pinout.script = text.substr(0, at);
        return 1;
    }

private:
    bool atlinestart() const
    {
        size_t p = at;
        while (p > 0 && (text[p - 1] == ' ' || text[p - 1] == '\t'))
            --p;
        return p == 0 || text[p - 1] == '\n';
    }

    void skipblanks()
    {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
            ++at;
    }

    // The text between the braces of the item at `at`, doubled braces inside quotes undoubled.
    bool readitem(std::string& body)
    {
        ++at;
        bool quoted = false;
        for (; at < text.size(); ++at) {
            const char c = text[at];
            if (c == '\n' && !quoted)
                break;
            if (c == '"') {
                quoted = !quoted;
            } else if (quoted && (c == '{' || c == '}') && at + 1 < text.size() && text[at + 1] == c) {
                ++at;
            } else if (!quoted && c == '}') {
                ++at;
                return true;
            }
            body += c;
        }
        at = itemstart;
        return fail("'}' expected at the end of the line");
    }

    bool item(const std::string& body, bool& elementsgiven)
    {
        const size_t equals = equalsoutsidequotes(body);
        if (equals == std::string::npos)
            return fail("'=' expected");
        const std::string key = trim(body.substr(0, equals));
        const std::string value = trim(body.substr(equals + 1));
        if (strcasecmp(key.c_str(), "ELEMENTS") == 0) {
            char* end = nullptr;
            const long count = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end || count < 1 || count > MOSTELEMENTS)
                return fail("ELEMENTS must be a number from 1 to 26");
            if (!pinout.rows.empty() || elementsgiven)
                return fail("ELEMENTS must come once, before the pins");
            pinout.elements = static_cast<int>(count);
            elementsgiven = true;
            return true;
        }
        if (strcasecmp(key.c_str(), "NC") == 0) {
            pinout.ncpins = value;
            return true;
        }
        if (strcasecmp(key.c_str(), "PINSWAP") == 0) {
            pinout.swaps.push_back(split(value, ","));
            return true;
        }
        if (strcasecmp(key.c_str(), "COMMON") == 0) {
            for (const std::string& pin : split(value, ","))
                pinout.common.push_back(pin);
            return true;
        }
        if (strcasecmp(key.c_str(), "GATESWAP") == 0) {
            if (strcasecmp(value.c_str(), "TRUE") != 0 && strcasecmp(value.c_str(), "FALSE") != 0)
                return fail("GATESWAP must be TRUE or FALSE");
            pinout.gateswap = strcasecmp(value.c_str(), "TRUE") == 0;
            return true;
        }
        return pin(key, value);
    }

    static size_t equalsoutsidequotes(const std::string& body)
    {
        bool quoted = false;
        for (size_t i = 0; i < body.size(); ++i) {
            if (body[i] == '"')
                quoted = !quoted;
            else if (body[i] == '=' && !quoted)
                return i;
        }
        return std::string::npos;
    }

    // PIN "name" or TYPE (name), then its list.
    bool pin(const std::string& key, const std::string& value)
    {
        PINOUT::ROW row;
        const size_t open = key.find_first_of("\"(");
        if (open == std::string::npos)
            return fail("unknown keyword '" + key + "'");
        const std::string word = trim(key.substr(0, open));
        const char close = key[open] == '"' ? '"' : ')';
        const size_t end = key.find(close, open + 1);
        if (end == std::string::npos || !trim(key.substr(end + 1)).empty())
            return fail(close == '"' ? "the pin name lacks its closing '\"'" : "the pin name lacks its closing ')'");
        row.name = key.substr(open + 1, end - open - 1);
        if (row.name.empty())
            return fail("the pin has no name");
        if (close == '"') {
            if (strcasecmp(word.c_str(), "PIN") != 0)
                return fail("PIN expected before a quoted name");
        } else if ((row.type = typeofname(word)) < 0) {
            return fail("unknown pin type '" + word + "'");
        }
        int first = 0;
        int count = 0;
        if (row.type < 0 && getbusrange(row.name.c_str(), &first, &count)) {
            if (count > MOSTMEMBERS)
                return fail("the bus has more than 1024 members");
            row.base = row.name.substr(0, row.name.find('['));
            int last = 0;
            std::sscanf(row.name.c_str() + row.base.size(), "[%*d..%d]", &last);
            for (int i = 0; i < count; ++i)
                row.members.push_back(last >= first ? first + i : first - i);
        }
        if (value != "\"\"")
            row.items = split(value, ",");
        for (const std::string& item : row.items) {
            if (item.empty() || item.find_first_of("\" ") != std::string::npos)
                return fail("a pad list holds an empty or unreadable item");
        }
        if (row.type >= 0) {
            // The rows of one pin of no element add up.
            for (PINOUT::ROW& other : pinout.rows) {
                if (strcasecmp(other.name.c_str(), row.name.c_str()) == 0) {
                    if (other.type != row.type)
                        return fail("pin '" + row.name + "' is given two types");
                    other.items.insert(other.items.end(), row.items.begin(), row.items.end());
                    return true;
                }
            }
        } else {
            const size_t expected = static_cast<size_t>(pinout.elements) * std::max<size_t>(row.members.size(), 1);
            if (row.items.size() != expected)
                return fail("pin '" + row.name + "' has " + std::to_string(row.items.size()) + " pad items; "
                    + std::to_string(expected) + " expected");
            for (const PINOUT::ROW& other : pinout.rows) {
                if (strcasecmp(other.name.c_str(), row.name.c_str()) == 0)
                    return fail("pin '" + row.name + "' is given twice");
            }
        }
        pinout.rows.push_back(std::move(row));
        return true;
    }

    int fail(const std::string& why)
    {
        if (messages) {
            int line = 1;
            size_t start = 0;
            for (size_t i = 0; i < at && i < text.size(); ++i) {
                if (text[i] == '\n') {
                    ++line;
                    start = i + 1;
                }
            }
            *messages << "line " << line << ", column " << (at - start + 1) << ": " << why << ".\n";
        }
        pinout.clear();
        return 0;
    }

    PINOUT& pinout;
    const std::string& text;
    std::ostream* messages;
    size_t at = 0;
    size_t itemstart = 0;
};

PINOUT::PINOUT(const char* text)
    : RLIB_ENTRY(text ? text : "")
{
}

int PINOUT::pack(DPKB& b)
{
    LIBWRITER out;
    out.u8(PINOUTVERSION);
    out.u32(static_cast<uint32_t>(script.size()));
    out.raw(script.data(), script.size());
    return packrecord(b, out);
}

int PINOUT::unpack(DPKB& b)
{
    LIBCURSOR in(nullptr, 0);
    uint8_t version = 0;
    uint32_t length = 0;
    if (!unpackrecord(b, in) || !in.u8(version) || version != PINOUTVERSION || !in.u32(length)
        || length != in.remaining())
        return 0;
    const std::string text(reinterpret_cast<const char*>(in.here()), length);
    return compile(text, nullptr) && stop == text.size() ? 1 : 0;
}

RLIB_ENTRY* PINOUT::duplicate()
{
    auto* copy = new PINOUT(name);
    copy->compile(script, nullptr);
    copy->created = created;
    copy->library = library;
    return copy;
}

void PINOUT::clear()
{
    script.clear();
    elements = 1;
    rows.clear();
    ncpins.clear();
    swaps.clear();
    common.clear();
    gateswap = 0;
    stop = 0;
}

int PINOUT::compile(const std::string& text, std::ostream* messages)
{
    clear();
    return PINOUTCOMPILER(*this, text, messages).run();
}

const PINOUT::ROW* PINOUT::findrow(const char* pin, int* member) const
{
    *member = 0;
    if (!pin)
        return nullptr;
    for (const ROW& row : rows) {
        if (strcasecmp(row.name.c_str(), pin) == 0)
            return &row;
    }
    // A bus member: "D3" or "D[3]".
    for (const ROW& row : rows) {
        if (row.members.empty() || strncasecmp(row.base.c_str(), pin, row.base.size()) != 0)
            continue;
        const char* index = pin + row.base.size();
        const bool bracketed = *index == '[';
        char* end = nullptr;
        const long value = std::strtol(index + (bracketed ? 1 : 0), &end, 10);
        if (end == index + (bracketed ? 1 : 0) || (bracketed ? std::string(end) != "]" : *end != '\0'))
            continue;
        for (size_t i = 0; i < row.members.size(); ++i) {
            if (row.members[i] == value) {
                *member = static_cast<int>(i);
                return &row;
            }
        }
    }
    return nullptr;
}

const char* PINOUT::getelementpinnum(int element, const char* pin) const
{
    int member = 0;
    const ROW* row = findrow(pin, &member);
    if (!row || element < 0 || element >= elements)
        return nullptr;
    if (row->type >= 0)
        return row->items.empty() ? "" : row->items.front().c_str();
    const std::string& item = row->items[static_cast<size_t>(element) * std::max<size_t>(row->members.size(), 1)
        + static_cast<size_t>(member)];
    return item == "?" ? "" : item.c_str();
}

void PINOUT::getvirtualpins(std::vector<std::string>& names) const
{
    for (const ROW& row : rows) {
        if (row.type >= 0)
            names.push_back(row.name);
    }
}

int PINOUT::getpintype(const char* pin) const
{
    int member = 0;
    const ROW* row = findrow(pin, &member);
    return row ? row->type : -1;
}

const char* PINOUT::getvirtualpinnum(const char* pin, int index) const
{
    int member = 0;
    const ROW* row = findrow(pin, &member);
    if (!row || row->type < 0 || index < 0 || static_cast<size_t>(index) >= row->items.size())
        return nullptr;
    return row->items[static_cast<size_t>(index)].c_str();
}

int PINOUT::isvirtual(const char* pin) const
{
    return getpintype(pin) >= 0 ? 1 : 0;
}

int PINOUT::iscommon(const char* pin) const
{
    if (isvirtual(pin))
        return 1;
    for (const std::string& name : common) {
        if (pin && strcasecmp(name.c_str(), pin) == 0)
            return 1;
    }
    return 0;
}

int PINOUT::getswappedpins(int k, std::string& names) const
{
    if (k < 1 || static_cast<size_t>(k) > swaps.size())
        return 0;
    names.clear();
    for (const std::string& pin : swaps[static_cast<size_t>(k - 1)])
        names += (names.empty() ? "" : ", ") + pin;
    return 1;
}

int PINOUT::getnetinfo(const char* reference, const char* pin, std::string& number, int& type) const
{
    const char* pads = getelementpinnum(getelementidx(reference), pin);
    if (!pads)
        return 0;
    number = pads;
    const int own = getpintype(pin);
    if (own >= 0)
        type = own;
    return 1;
}

int PINOUT::checkpinswap(const char* text) const
{
    for (const std::string& pin : split(text ? text : "", ",;")) {
        int member = 0;
        if (!pin.empty() && !findrow(pin.c_str(), &member))
            return 0;
    }
    return 1;
}

void PINOUT::netgen(NETLIST& netlist, const char* reference, NET_PART* element, NET_MODULE* module) const
{
    if (!element || !netlist.claimpackage(partof(reference ? reference : "")))
        return;
    for (const ROW& row : rows) {
        if (row.type < 0)
            continue;
        netlist.newnet();
        for (const std::string& item : row.items)
            netlist.addpin(element, row.name.c_str(), item.c_str(), row.type, 0);
        netlist.addlabel(module, nullptr, row.name.c_str(), row.type == ET_POWER ? ET_POWERTERM : ET_GLOBAL);
        netlist.addnet();
    }
}

int getelementidx(const char* reference)
{
    const char* colon = reference ? std::strrchr(reference, ':') : nullptr;
    if (!colon || !colon[1])
        return 0;
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(colon[1])));
    if (c >= 'A' && c <= 'Z' && !colon[2])
        return c - 'A';
    const int number = std::atoi(colon + 1);
    return number > 0 ? number - 1 : 0;
}
