#include "tree/callers.h"

#include <cctype>
#include <map>
#include <regex>
#include <set>
#include <vector>

#include "tree/sources.h"

namespace vkt::tree {

namespace {

bool identifierchar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// The text with preprocessor lines (and their continuations) blanked too.
std::string withoutdirectives(const std::string& code)
{
    std::string text = code;
    size_t line = 0;
    while (line < text.size()) {
        size_t first = text.find_first_not_of(" \t", line);
        size_t end = text.find('\n', line);
        if (end == std::string::npos)
            end = text.size();
        if (first < end && text[first] == '#') {
            while (end > line && end < text.size() && text[end - 1] == '\\')
                end = text.find('\n', end + 1) == std::string::npos ? text.size() : text.find('\n', end + 1);
            for (size_t k = line; k < end; ++k)
                text[k] = ' ';
        }
        line = end + 1;
    }
    return text;
}

// The function a statement at namespace scope declares or defines ("int f(int);", "T f() {"),
// with the offset of its name in the text; empty when it declares something else.
std::string functionof(const std::string& statement)
{
    static const std::regex nonfunction(
        R"(^\s*(typedef|using|struct|class|enum|union|friend|static_assert|template\s*<[^>]*>\s*(struct|class))\b)");
    static const std::regex templatehead(R"(^\s*template\s*<[^>]*>)");
    if (std::regex_search(statement, nonfunction))
        return {};
    const std::string rest = std::regex_replace(statement, templatehead, "", std::regex_constants::format_first_only);
    const size_t parenthesis = rest.find('(');
    const size_t equals = rest.find('=');
    if (parenthesis == std::string::npos || (equals != std::string::npos && equals < parenthesis))
        return {};
    size_t end = parenthesis;
    while (end > 0 && std::isspace(static_cast<unsigned char>(rest[end - 1])))
        --end;
    size_t begin = end;
    while (begin > 0 && identifierchar(rest[begin - 1]))
        --begin;
    if (begin == end || (begin > 0 && rest[begin - 1] == ':') || std::isdigit(static_cast<unsigned char>(rest[begin])))
        return {};
    static const std::set<std::string> keywords { "operator", "return", "if", "while", "for", "switch", "sizeof",
        "decltype", "alignas", "noexcept", "throw", "new", "delete" };
    std::string name = rest.substr(begin, end - begin);
    return keywords.count(name) ? std::string() : name;
}

struct DECLARATION {
    std::string name;
    size_t at; // where its statement starts in the text
};

// Statements at namespace scope: those ended by ';' or opening a body, outside class, function
// and initialiser bodies; `extern "C"` and namespace blocks are looked through.
std::vector<DECLARATION> declarations(const std::string& text)
{
    const std::string code = withoutdirectives(codeonly(text));
    static const std::regex lookthrough(R"((extern\s*|namespace(\s+[A-Za-z_][\w:]*)?\s*)$)");
    std::vector<DECLARATION> found;
    std::vector<bool> transparent; // per open brace: whether it is looked through
    size_t start = 0;
    auto atnamespacescope = [&transparent] {
        for (bool open : transparent)
            if (!open)
                return false;
        return true;
    };
    auto take = [&](size_t end) {
        const std::string statement = code.substr(start, end - start);
        if (std::string name = functionof(statement); !name.empty())
            found.push_back({ name, code.find_first_not_of(" \t\n", start) });
    };
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '{') {
            const bool through = std::regex_search(code.substr(start, i - start), lookthrough);
            if (atnamespacescope() && !through)
                take(i);
            transparent.push_back(through);
            start = i + 1;
        } else if (c == '}') {
            if (!transparent.empty())
                transparent.pop_back();
            start = i + 1;
        } else if (c == ';') {
            if (atnamespacescope())
                take(i);
            start = i + 1;
        }
    }
    return found;
}

// The comment that goes with the statement starting at `at`, its lines joined by single blanks:
// the comment lines right above it and the comment at the end of the statement's line.
std::string commentof(const std::string& text, size_t at)
{
    std::vector<std::string> lines;
    const size_t lineend = text.find('\n', at);
    const std::string ownline = text.substr(at, lineend == std::string::npos ? std::string::npos : lineend - at);
    if (size_t slashes = ownline.find("//"); slashes != std::string::npos)
        lines.push_back(ownline.substr(slashes + 2));
    size_t linestart = text.rfind('\n', at);
    while (linestart != std::string::npos && linestart > 0) {
        const size_t previous = text.rfind('\n', linestart - 1);
        const size_t from = previous == std::string::npos ? 0 : previous + 1;
        const std::string line = text.substr(from, linestart - from);
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line.compare(first, 2, "//") != 0)
            break;
        lines.insert(lines.begin(), line.substr(first + 2));
        linestart = previous;
    }
    std::string comment;
    for (const std::string& line : lines) {
        const size_t first = line.find_first_not_of(' ');
        if (first != std::string::npos)
            comment += (comment.empty() ? "" : " ") + line.substr(first);
    }
    return comment;
}

bool excused(const std::string& comment)
{
    static const std::regex issue(R"(\(issues? \d+)");
    return std::regex_search(comment, issue) || comment.find("seam for tests") != std::string::npos;
}

} // namespace

std::vector<std::string> declaredfunctions(const std::string& text)
{
    std::vector<std::string> names;
    for (const DECLARATION& declaration : declarations(text))
        names.push_back(declaration.name);
    return names;
}

std::vector<UNCALLED> uncalledfunctions(
    const std::filesystem::path& top, const std::string& layer, const std::vector<std::string>& skip)
{
    auto inlayer = [&](const std::string& file) {
        if (!file.starts_with(layer))
            return false;
        for (const std::string& folder : skip)
            if (file.starts_with(folder))
                return false;
        return true;
    };
    std::map<std::string, std::string> declaredin; // the layer's functions and their headers
    std::map<std::string, int> own; // declarations and definitions of each in the layer
    std::map<std::string, int> uses; // the name's words in all product sources
    for (const std::string& file : productsources(top)) {
        const std::string text = readtext(top / file);
        if (inlayer(file)) {
            for (const DECLARATION& declaration : declarations(text)) {
                ++own[declaration.name];
                if (file.ends_with(".h") && !excused(commentof(text, declaration.at)))
                    declaredin.emplace(declaration.name, file);
            }
        }
        const std::string code = codeonly(text);
        for (size_t i = 0; i < code.size();) {
            if (!identifierchar(code[i]) || (i > 0 && identifierchar(code[i - 1]))) {
                ++i;
                continue;
            }
            size_t end = i;
            while (end < code.size() && identifierchar(code[end]))
                ++end;
            ++uses[code.substr(i, end - i)];
            i = end;
        }
    }
    std::vector<UNCALLED> uncalled;
    for (const auto& [name, header] : declaredin)
        if (uses[name] <= own[name])
            uncalled.push_back({ header, name });
    return uncalled;
}

} // namespace vkt::tree
