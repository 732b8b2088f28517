#include "core/containers/proplist.h"
#include "core/text/proptext.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

// Golden cases of the rewrite passes. A case file is a script in the form of a unified diff:
// ' ' an input line the edit copies, '-' an input line it drops or replaces, '+' a line it
// writes. The input is the ' ' and '-' lines, the expected text the ' ' and '+' lines, so each
// input line is accounted for exactly once. "@ op|arg|..." lines give the edits, applied in order
// ("<null>" a null argument, "\n" a line feed in an argument); "@ defsection|NAME" names the
// default section; "!noeol" says the input's last line has no line feed; '#' lines are notes.
// In text lines "<CR>" stands for a carriage return and "<SP>" for a blank.

namespace {

const std::filesystem::path goldenFolder = std::filesystem::path(VKT_TEST_SOURCE_DIR) / "fixtures/proptext";

std::string replaceall(std::string s, const std::string& from, const std::string& to)
{
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

struct GOLDEN {
    std::string input;
    std::string expected;
    std::vector<std::vector<std::optional<std::string>>> edits;
};

GOLDEN readgolden(const std::filesystem::path& path)
{
    GOLDEN golden;
    std::ifstream file(path);
    bool noeol = false;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line == "!noeol") {
            noeol = true;
            continue;
        }
        if (line.rfind("@ ", 0) == 0) {
            std::vector<std::optional<std::string>> args;
            std::stringstream fields(line.substr(2));
            std::string field;
            while (std::getline(fields, field, '|'))
                args.push_back(
                    field == "<null>" ? std::nullopt : std::optional(replaceall(field, "\\n", "\n")));
            if (line.back() == '|')
                args.emplace_back("");
            golden.edits.push_back(args);
            continue;
        }
        std::string text = replaceall(replaceall(line.substr(1), "<CR>", "\r"), "<SP>", " ") + "\n";
        if (line[0] != '+')
            golden.input += text;
        if (line[0] != '-')
            golden.expected += text;
    }
    if (noeol && !golden.input.empty())
        golden.input.pop_back();
    return golden;
}

const char* arg(const std::vector<std::optional<std::string>>& args, size_t i)
{
    return i < args.size() && args[i] ? args[i]->c_str() : nullptr;
}

void applyedit(PROPTEXT& text, const std::vector<std::optional<std::string>>& args)
{
    const std::string op = arg(args, 0);
    auto number = [&args](size_t i) { return static_cast<uint16_t>(std::atoi(arg(args, i))); };
    if (op == "defsection") {
        std::strcpy(text.defsection, arg(args, 1));
    } else if (op == "add") {
        text.add(arg(args, 1), arg(args, 2), arg(args, 3), number(4));
    } else if (op == "remove") {
        text.remove(arg(args, 1), arg(args, 2));
    } else if (op == "rename") {
        text.rename(arg(args, 1), arg(args, 2), arg(args, 3));
    } else if (op == "hide") {
        text.hide(arg(args, 1), arg(args, 2), number(3));
    } else if (op == "setprops") {
        PROPLIST list(arg(args, 2));
        text.setprops(arg(args, 1), list, number(3), number(4));
    } else if (op == "putblock") {
        text.putblock(arg(args, 1), arg(args, 2));
    } else if (op == "removeblock") {
        text.removeblock(arg(args, 1));
    } else if (op == "renameblock") {
        text.renameblock(arg(args, 1), arg(args, 2));
    } else if (op == "cleanblock") {
        text.cleanblock(arg(args, 1));
    } else {
        FAIL() << "unknown edit " << op;
    }
}

std::vector<std::string> goldennames()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(goldenFolder))
        if (entry.path().extension() == ".golden")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class PROPTEXTGOLDEN : public testing::TestWithParam<std::string> { };

} // namespace

TEST_P(PROPTEXTGOLDEN, EveryStoredLineIsCopiedReplacedOrDroppedOnce)
{
    GOLDEN golden = readgolden(goldenFolder / (GetParam() + ".golden"));
    ASSERT_FALSE(golden.edits.empty());
    PROPTEXT text(golden.input.c_str());
    for (const auto& edit : golden.edits)
        applyedit(text, edit);
    EXPECT_EQ(std::string(text.text ? text.text : "<null>"), golden.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, PROPTEXTGOLDEN, testing::ValuesIn(goldennames()),
    [](const testing::TestParamInfo<std::string>& param) { return param.param; });
