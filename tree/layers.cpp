#include "tree/layers.h"

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "tree/sources.h"

namespace vkt::tree {

namespace {

// The deepest folder of the order that holds path; empty when none does.
std::string folderof(const std::vector<std::string>& order, const std::string& path)
{
    std::string best;
    for (const std::string& folder : order)
        if (path.starts_with(folder) && folder.size() > best.size())
            best = folder;
    return best;
}

bool listssubfolders(const std::vector<std::string>& order, const std::string& folder)
{
    return std::any_of(order.begin(), order.end(),
        [&folder](const std::string& other) { return other.size() > folder.size() && other.starts_with(folder); });
}

struct INCLUDE {
    std::string file;
    std::string target;
};

// The path of folders from `from` to `to` along the includes, "a/ -> b/ -> c/"; empty when there
// is none.
std::string pathbetween(const std::map<std::string, std::set<std::string>>& edges, const std::string& from,
    const std::string& to)
{
    std::map<std::string, std::string> cameFrom { { from, "" } };
    std::vector<std::string> frontier { from };
    while (!frontier.empty()) {
        std::vector<std::string> next;
        for (const std::string& folder : frontier) {
            const auto found = edges.find(folder);
            if (found == edges.end())
                continue;
            for (const std::string& target : found->second) {
                if (cameFrom.count(target))
                    continue;
                cameFrom[target] = folder;
                if (target == to) {
                    std::string path = to;
                    for (std::string at = folder; !at.empty(); at = cameFrom[at])
                        path = at + " -> " + path;
                    return path;
                }
                next.push_back(target);
            }
        }
        frontier = std::move(next);
    }
    return {};
}

} // namespace

std::vector<std::string> readlayerorder(const std::string& readme)
{
    static const std::regex folder(R"(([A-Za-z0-9_.-]+/)+)");
    std::vector<std::string> order;
    std::istringstream lines(readme);
    std::string line;
    bool inlayout = false;
    while (std::getline(lines, line)) {
        if (line.starts_with("## ")) {
            inlayout = line == "## Layout";
            continue;
        }
        if (!inlayout || !line.starts_with("|") || line.starts_with("|---") || line.starts_with("| folder |"))
            continue;
        const size_t cellend = line.find('|', 1);
        const std::string cell = line.substr(1, cellend == std::string::npos ? std::string::npos : cellend - 1);
        for (auto match = std::sregex_iterator(cell.begin(), cell.end(), folder); match != std::sregex_iterator(); ++match)
            order.push_back(match->str());
    }
    return order;
}

std::vector<LAYERFAULT> layerfaults(const std::filesystem::path& top)
{
    const std::vector<std::string> order = readlayerorder(readtext(top / "README.md"));
    if (order.empty())
        return { { "README.md", "", "has no layout section to read the layer order from" } };
    std::map<std::string, size_t> rank;
    for (size_t i = 0; i < order.size(); ++i)
        rank.emplace(order[i], i);

    std::vector<LAYERFAULT> faults;
    std::vector<INCLUDE> includes;
    std::set<std::string> unlisted;
    for (const std::string& file : productsources(top)) {
        const std::string folder = folderof(order, file);
        const std::string parent = file.substr(0, file.rfind('/') + 1);
        if (folder.empty() || (parent != folder && listssubfolders(order, folder))) {
            if (unlisted.insert(parent).second)
                faults.push_back({ file, "", "its folder " + parent + " is not in the layer order of README.md" });
            continue;
        }
        for (const std::string& target : quotedincludes(readtext(top / file)))
            includes.push_back({ file, target });
    }

    std::map<std::string, std::set<std::string>> edges;
    for (const INCLUDE& include : includes) {
        const std::string from = folderof(order, include.file);
        const std::string to = folderof(order, include.target);
        if (!to.empty() && to != from)
            edges[from].insert(to);
    }
    for (const INCLUDE& include : includes) {
        const std::string from = folderof(order, include.file);
        const std::string to = folderof(order, include.target);
        if (to.empty() || to == from || rank[to] < rank[from])
            continue;
        std::string reason = "points up the order: " + to + " comes after " + from;
        if (const std::string cycle = pathbetween(edges, to, from); !cycle.empty())
            reason += ", and closes the cycle " + from + " -> " + cycle;
        faults.push_back({ include.file, include.target, reason });
    }
    return faults;
}

} // namespace vkt::tree
