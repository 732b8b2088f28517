#pragma once

// The functions of the platform layer that nothing in the product calls. The layer holds only what
// the product calls: a function enters with its first caller. A function without a caller yet
// stays only when its comment names the open issue whose work calls it ("(issue 55)"), or says it
// is a seam for tests, which tests drive the layer through.

#include <filesystem>
#include <string>
#include <vector>

namespace vkt::tree {

// The names of the functions declared at namespace scope in the text (a header or a source):
// declarations and definitions, not members, macros, types or variables.
std::vector<std::string> declaredfunctions(const std::string& text);

struct UNCALLED {
    std::string header; // where the function is declared, relative to the top
    std::string name;
};

// The functions declared in the headers below top/layer (its subfolders' too, but for those
// named in `skip`) that no product source calls: their name appears in no product source except
// where the layer declares or defines them. Functions whose comment names an issue or a seam for
// tests are left out.
std::vector<UNCALLED> uncalledfunctions(
    const std::filesystem::path& top, const std::string& layer, const std::vector<std::string>& skip);

} // namespace vkt::tree
