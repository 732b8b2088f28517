#include "shell/main/tests/vktrun.h"

#include <fstream>

#include "testsupport/command.h"

namespace vkttest {

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

RUN runvkt(const std::string& arguments, const std::string& steps, const std::filesystem::path& report,
    const char* platform, bool splash)
{
    std::filesystem::remove(report);
    const std::string line = "env QT_QPA_PLATFORM=" + std::string(platform) + " timeout 60 "
        + quoted(VKT_TEST_PROGRAM) + (splash ? " " : " -q ") + arguments + " " + quoted("{VKTPROBE " + steps + "}");
    vkt::test::COMMANDRUN run = vkt::test::runcommand(line);
    RUN result { run.exitcode, run.output, {} };
    std::ifstream in(report);
    for (std::string text; std::getline(in, text);) {
        if (text == "--") {
            result.snapshots.emplace_back();
            continue;
        }
        const size_t equals = text.find('=');
        if (!result.snapshots.empty() && equals != std::string::npos)
            result.snapshots.back().emplace(text.substr(0, equals), text.substr(equals + 1));
    }
    return result;
}

std::string value(const SNAPSHOT& snapshot, const char* key)
{
    auto found = snapshot.find(key);
    return found == snapshot.end() ? "(absent)" : found->second;
}

std::vector<std::string> boxes(const SNAPSHOT& snapshot)
{
    std::vector<std::string> texts;
    auto [first, last] = snapshot.equal_range("box");
    for (auto it = first; it != last; ++it)
        texts.push_back(it->second);
    return texts;
}

} // namespace vkttest
