#pragma once

// The layer order of the tree's folders and the includes that break it. The order is written once,
// as the rows of the table in README.md's layout section, lowest first. A source belongs to the
// deepest folder of the order that holds it; it may include what its own folder holds and what
// the folders before it hold. An include of a later folder points up the order; it is a fault, and
// the report says when it also closes a cycle between folders. A folder of product sources that is
// not in the order, where its parent lists other subfolders of its own, is a fault too, so that a
// new folder takes its place in the order when it is made.

#include <filesystem>
#include <string>
#include <vector>

namespace vkt::tree {

// The folders of the layout table (each ending in '/'), lowest first: a row's first cell may name
// several ("cmake/, scripts/"), which follow one another in the order. Empty when the README has
// no layout section.
std::vector<std::string> readlayerorder(const std::string& readme);

struct LAYERFAULT {
    std::string file; // the source, relative to the top
    std::string include; // what it includes; empty for a folder missing from the order
    std::string reason;
};

// Every fault of the product sources below top against the order in top/README.md.
std::vector<LAYERFAULT> layerfaults(const std::filesystem::path& top);

} // namespace vkt::tree
