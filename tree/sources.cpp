#include "tree/sources.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <regex>
#include <sstream>

namespace vkt::tree {

namespace {

bool leftout(const std::filesystem::path& folder)
{
    const std::string name = folder.filename().string();
    return name.starts_with(".") || name == "tests" || name == "fuzz" || name == "bench" || name == "screenshot"
        || std::filesystem::exists(folder / "CMakeCache.txt");
}

bool issource(const std::filesystem::path& file)
{
    const std::string extension = file.extension().string();
    return extension == ".h" || extension == ".cpp" || extension == ".c";
}

} // namespace

std::vector<std::string> productsources(const std::filesystem::path& top)
{
    std::vector<std::string> sources;
    std::filesystem::recursive_directory_iterator walk(top);
    for (auto entry = walk; entry != std::filesystem::recursive_directory_iterator(); ++entry) {
        const std::filesystem::path relative = entry->path().lexically_relative(top);
        if (entry->is_directory()) {
            if (leftout(entry->path()) || relative == "testsupport")
                entry.disable_recursion_pending();
            continue;
        }
        if (entry->is_regular_file() && issource(entry->path()) && relative.has_parent_path())
            sources.push_back(relative.generic_string());
    }
    std::sort(sources.begin(), sources.end());
    return sources;
}

std::string readtext(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string codeonly(const std::string& text)
{
    std::string code = text;
    size_t i = 0;
    auto blank = [&code](size_t from, size_t to) {
        for (size_t k = from; k < to && k < code.size(); ++k)
            if (code[k] != '\n')
                code[k] = ' ';
    };
    while (i < code.size()) {
        const char c = code[i];
        const char next = i + 1 < code.size() ? code[i + 1] : '\0';
        if (c == '/' && next == '/') {
            const size_t end = code.find('\n', i);
            blank(i, end);
            i = end == std::string::npos ? code.size() : end;
        } else if (c == '/' && next == '*') {
            const size_t end = code.find("*/", i + 2);
            const size_t stop = end == std::string::npos ? code.size() : end + 2;
            blank(i, stop);
            i = stop;
        } else if (c == 'R' && next == '"' && (i == 0 || !(std::isalnum(static_cast<unsigned char>(code[i - 1])) || code[i - 1] == '_'))) {
            const size_t open = code.find('(', i + 2);
            if (open == std::string::npos)
                break;
            const std::string closing = ")" + code.substr(i + 2, open - i - 2) + "\"";
            const size_t end = code.find(closing, open);
            const size_t stop = end == std::string::npos ? code.size() : end + closing.size();
            blank(i, stop);
            i = stop;
        } else if (c == '"' || c == '\'') {
            size_t k = i + 1;
            while (k < code.size() && code[k] != c && code[k] != '\n')
                k += code[k] == '\\' ? 2 : 1;
            blank(i, k + 1);
            i = k + 1;
        } else {
            ++i;
        }
    }
    return code;
}

std::vector<std::string> quotedincludes(const std::string& text)
{
    static const std::regex include(R"re(^[ \t]*#[ \t]*include[ \t]*"([^"]+)")re", std::regex::multiline);
    std::vector<std::string> targets;
    for (auto match = std::sregex_iterator(text.begin(), text.end(), include); match != std::sregex_iterator(); ++match)
        targets.push_back((*match)[1].str());
    return targets;
}

} // namespace vkt::tree
