#pragma once

// The product sources of a checkout as the checks of the tree's shape read them.

#include <filesystem>
#include <string>
#include <vector>

namespace vkt::tree {

// Every .h, .cpp and .c file that goes into the product, as a path relative to top with '/'
// separators, sorted. Left out: tests/, fuzz/, bench/ and screenshot/ folders, testsupport/,
// hidden folders and build folders (those holding a CMakeCache.txt).
std::vector<std::string> productsources(const std::filesystem::path& top);

// The whole file; empty when it cannot be read.
std::string readtext(const std::filesystem::path& file);

// The text with comments and string and character literals blanked (line breaks kept), so that
// words inside them are not taken for code. Raw strings are blanked as far as their delimiter.
std::string codeonly(const std::string& text);

// The targets of the text's quoted includes (#include "a/b.h"), in order.
std::vector<std::string> quotedincludes(const std::string& text);

} // namespace vkt::tree
