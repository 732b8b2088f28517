#include "platform/hulvane/propdef.h"

#include "core/files/paths.h"
#include "core/text/proptext.h"
#include "platform/hulvane/librarypaths.h"
#include "platform/win/pathboundary.h"
#include "platform/win/replacefile.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <strings.h>

namespace {

const char* const typenames[PROPDEF::TYPES] = { "STRING", "CHECKBOX", "HIGHLOW", "YESNO", "TRUEFALSE", "KEYWORD",
    "KEYEDIT", "INTEGER", "FLOAT", "FILENAME", "STATE", "PACKAGE", "TRACE" };

const char* const signlimits[] = { "PNZ", "POZ", "NNZ", "NOZ" };

std::string trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    const size_t last = text.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// The text of a line without the braces that hide its parts (outside double quotes), and where
// each of its characters stands in the line.
std::string unbraced(const std::string& line, std::vector<size_t>& places)
{
    std::string out;
    places.clear();
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"')
            quoted = !quoted;
        if (quoted || (c != '{' && c != '}')) {
            out += c;
            places.push_back(i);
        }
    }
    places.push_back(line.size());
    return out;
}

bool isnumber(const std::string& text, bool integer)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    if (integer)
        std::strtol(text.c_str(), &end, 10);
    else
        std::strtod(text.c_str(), &end);
    return *end == '\0';
}

bool isname(const std::string& name)
{
    for (const char c : name) {
        if (c <= ' ' || c > '~' || std::strchr("\",;={}*", c))
            return false;
    }
    return true;
}

// Reads the definitions and defaults line by line, naming the place of the first fault.
class PROPDEFREADER {
public:
    PROPDEFREADER(const std::string& text, std::ostream* messages)
        : text(text)
        , messages(messages)
    {
    }

    int read(const char* defaulttype, std::vector<PROPDEF>& out)
    {
        const int fallback = propdeftypeof(defaulttype ? defaulttype : "STRING");
        if (fallback < 0)
            return fail(0, std::string("unknown default type '") + (defaulttype ? defaulttype : "") + "'");
        std::vector<PROPDEF> defs;
        std::istringstream lines(text);
        std::string section;
        for (std::string raw; std::getline(lines, raw);) {
            ++line;
            const std::string content = unbraced(raw, places);
            const size_t start = content.find_first_not_of(" \t\r");
            if (start == std::string::npos || content[start] == ';')
                continue;
            if (content[start] == '*') {
                section = trim(content.substr(start + 1));
                continue;
            }
            const bool definitions = strcasecmp(section.c_str(), "PROPDEFS") == 0;
            if (!definitions && strcasecmp(section.c_str(), "COMPONENT") != 0)
                continue;
            const size_t equals = content.find('=');
            if (equals == std::string::npos)
                return fail(start, "'=' expected");
            const std::string name = trim(content.substr(start, equals - start));
            if (name.empty() || name.size() > PROPDEF::MOSTNAME)
                return fail(start, "a property name has 1 to 49 characters");
            if (!isname(name))
                return fail(start, "a property name is of letters, digits and signs other than \" , ; = { }");
            if (definitions) {
                PROPDEF def;
                def.name = name;
                if (!definition(content, equals + 1, def))
                    return 0;
                for (const PROPDEF& other : defs) {
                    if (strcasecmp(other.name.c_str(), name.c_str()) == 0)
                        return fail(start, "property '" + name + "' is defined twice");
                }
                defs.push_back(std::move(def));
                continue;
            }
            PROPDEF* def = nullptr;
            for (PROPDEF& other : defs) {
                if (strcasecmp(other.name.c_str(), name.c_str()) == 0)
                    def = &other;
            }
            if (!def) {
                defs.push_back({ name, name, fallback, 0, 0, {}, {} });
                def = &defs.back();
            }
            def->value = trim(content.substr(equals + 1));
        }
        out = std::move(defs);
        return 1;
    }

private:
    bool definition(const std::string& content, size_t at, PROPDEF& def)
    {
        while (at < content.size() && content[at] == ' ')
            ++at;
        if (at >= content.size() || content[at] != '"')
            return fail(at, "a quoted description expected");
        const size_t close = content.find('"', at + 1);
        if (close == std::string::npos)
            return fail(at, "the description lacks its closing '\"'");
        def.description = content.substr(at + 1, close - at - 1);
        if (def.description.size() > PROPDEF::MOSTDESCRIPTION)
            return fail(at, "a description has at most 99 characters");
        at = close + 1;
        while (at < content.size() && content[at] == ' ')
            ++at;
        if (at >= content.size() || content[at] != ',')
            return fail(at, "',' and a type expected");
        ++at;
        const size_t comma = content.find(',', at);
        const std::string field = content.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        std::vector<std::string> parts;
        std::istringstream words(field);
        for (std::string part; std::getline(words, part, ':');)
            parts.push_back(trim(part));
        if (parts.empty() || parts.size() > 3 || (def.type = propdeftypeof(parts[0].c_str())) < 0)
            return fail(at, "unknown type '" + trim(field) + "'");
        int* const numbers[] = { &def.editmode, &def.visibility };
        const int most[] = { PROPDEF::INDEXMODE, 3 };
        for (size_t i = 1; i < parts.size(); ++i) {
            if (!isnumber(parts[i], true) || std::atoi(parts[i].c_str()) < 0 || std::atoi(parts[i].c_str()) > most[i - 1])
                return fail(at, i == 1 ? "the edit mode is a number from 0 to 4" : "the visibility is a number from 0 to 3");
            *numbers[i - 1] = std::atoi(parts[i].c_str());
        }
        def.args = comma == std::string::npos ? std::string() : trim(content.substr(comma + 1));
        return arguments(def, comma == std::string::npos ? content.size() : comma + 1);
    }

    bool arguments(const PROPDEF& def, size_t at)
    {
        if (def.type == PROPDEF::KEYWORD || def.type == PROPDEF::KEYEDIT || def.type == PROPDEF::PACKAGE) {
            const std::string count = trim(def.args.substr(0, def.args.find(',')));
            if (!def.args.empty() && (!isnumber(count, true) || std::atoi(count.c_str()) < 0))
                return fail(at, "a keyword count expected");
        } else if ((def.type == PROPDEF::INTEGER || def.type == PROPDEF::FLOAT) && !def.args.empty()) {
            bool sign = false;
            for (const char* limit : signlimits)
                sign = sign || strcasecmp(def.args.c_str(), limit) == 0;
            const size_t comma = def.args.find(',');
            const bool integer = def.type == PROPDEF::INTEGER;
            if (!sign
                && (comma == std::string::npos || !isnumber(trim(def.args.substr(0, comma)), integer)
                    || !isnumber(trim(def.args.substr(comma + 1)), integer)))
                return fail(at, "limits are PNZ, POZ, NNZ, NOZ or a minimum and a maximum");
        }
        return true;
    }

    int fail(size_t column, const std::string& why)
    {
        if (messages)
            *messages << "line " << line << ", column " << (places[std::min(column, places.size() - 1)] + 1) << ": " << why
                      << ".\n";
        return 0;
    }

    const std::string& text;
    std::ostream* messages;
    int line = 0;
    std::vector<size_t> places { 0 }; // where each character of the line read stands as written
};

// A field that would not read back whole is quoted.
std::string field(const std::string& text)
{
    return text.find_first_of(",\"") == std::string::npos ? text : '"' + text + '"';
}

// A text written into one line: a line end would start a line of its own, and a double quote
// would end a description early.
std::string oneline(const std::string& text, bool quoted)
{
    std::string out;
    for (const char c : text) {
        if (c == '\n' || c == '\r')
            out += ' ';
        else if (c != '"' || !quoted)
            out += c;
    }
    return out;
}

} // namespace

const char* const PROPDEF::tracemodenames[4] = { "", "Normal", "Warnings", "Debug" };

const char* propdeftypename(int type)
{
    return type >= 0 && type < PROPDEF::TYPES ? typenames[type] : nullptr;
}

int propdeftypeof(const char* name)
{
    for (int type = 0; type < PROPDEF::TYPES; ++type) {
        if (name && strcasecmp(name, typenames[type]) == 0)
            return type;
    }
    return -1;
}

int PROPDEF::getkwdargs(int& count, std::string& text) const
{
    if (type != KEYWORD && type != KEYEDIT && type != PACKAGE)
        return 0;
    const size_t comma = args.find(',');
    count = std::atoi(args.c_str());
    text = comma == std::string::npos ? std::string() : args.substr(comma + 1);
    return 1;
}

void PROPDEF::setkwdargs(int count, const char* text)
{
    args = std::to_string(count) + (text && *text ? std::string(",") + text : std::string());
}

int PROPDEF::getintlimits(int& low, int& high) const
{
    double lo = 0;
    double hi = 0;
    const int limited = getfplimits(lo, hi);
    // A limit of no integer (above 0, below 0) becomes the nearest one inside it.
    low = lo <= INT_MIN ? INT_MIN : lo >= INT_MAX ? INT_MAX : static_cast<int>(std::ceil(lo));
    high = hi >= INT_MAX ? INT_MAX : hi <= INT_MIN ? INT_MIN : static_cast<int>(std::floor(hi));
    return limited;
}

int PROPDEF::getfplimits(double& low, double& high) const
{
    low = -DBL_MAX;
    high = DBL_MAX;
    if (strcasecmp(args.c_str(), "PNZ") == 0)
        low = DBL_MIN;
    else if (strcasecmp(args.c_str(), "POZ") == 0)
        low = 0;
    else if (strcasecmp(args.c_str(), "NNZ") == 0)
        high = -DBL_MIN;
    else if (strcasecmp(args.c_str(), "NOZ") == 0)
        high = 0;
    else if (std::sscanf(args.c_str(), "%lf , %lf", &low, &high) != 2) {
        low = -DBL_MAX;
        high = DBL_MAX;
        return 0;
    }
    return 1;
}

int PROPDEF::getfnargs(std::string& folder, std::string& descr, std::string& extension) const
{
    if (type != FILENAME)
        return 0;
    std::string rest = args;
    if (!rest.empty() && rest.front() == '"') {
        const size_t close = rest.find('"', 1);
        folder = rest.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        rest = close == std::string::npos ? std::string() : rest.substr(close + 1);
    } else {
        folder = rest.substr(0, rest.find(','));
        rest = rest.substr(folder.size());
    }
    rest = rest.empty() ? rest : rest.substr(1);
    const size_t slash = rest.find('/');
    descr = rest.substr(0, slash);
    extension = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
    return 1;
}

void PROPDEF::setfnargs(const char* folder, const char* descr, const char* extension, int)
{
    args = field(folder ? folder : "") + ',' + (descr ? descr : "") + '/' + (extension ? extension : "");
}

int parse_propdefs(const std::string& text, const char* defaulttype, std::vector<PROPDEF>& defs, std::ostream* messages)
{
    return PROPDEFREADER(text, messages).read(defaulttype, defs);
}

std::string format_propdefs(const std::vector<PROPDEF>& defs)
{
    std::ostringstream out;
    out << "*PROPDEFS\n";
    for (const PROPDEF& def : defs) {
        out << def.name << "=\"" << oneline(def.description, true) << "\"," << propdeftypename(def.type);
        if (def.editmode || def.visibility)
            out << ':' << def.editmode << ':' << def.visibility;
        if (!def.args.empty())
            out << ',' << oneline(def.args, false);
        out << '\n';
    }
    out << "*COMPONENT\n";
    for (const PROPDEF& def : defs) {
        if (!def.value.empty())
            out << def.name << '=' << oneline(def.value, false) << '\n';
    }
    return out.str();
}

int load_defaultdefs(std::vector<PROPDEF>& defs, std::string& error)
{
    char path[PATHBUFFER];
    if (!findpropdefs(path)) {
        error = "PROPDEFS.INI is not in any library folder";
        return 0;
    }
    std::ifstream in(toposixpath(path), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::ostringstream messages;
    if (!in.good() && !in.eof()) {
        error = "PROPDEFS.INI cannot be read";
        return 0;
    }
    if (!parse_propdefs(text, "STRING", defs, &messages)) {
        error = "PROPDEFS.INI, " + messages.str();
        return 0;
    }
    return 1;
}

int save_defaultdefs(const std::vector<PROPDEF>& defs)
{
    char path[PATHBUFFER];
    if (!findpropdefs(path))
        return 0;
    const std::string target = toposixpath(path);
    std::ifstream in(target, std::ios::binary);
    PROPTEXT kept(std::string((std::istreambuf_iterator<char>(in)), {}).c_str());
    kept.removeblock("PROPDEFS");
    kept.removeblock("COMPONENT");
    std::string bytes = kept.text ? kept.text : "";
    if (!bytes.empty() && bytes.back() != '\n')
        bytes += '\n';
    bytes += format_propdefs(defs);
    return replacefilewith(target, bytes.data(), bytes.size()) ? 1 : 0;
}
