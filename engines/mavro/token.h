#pragma once

#include <optional>
#include <string_view>

namespace mavro {

// The next token of `line` as a view into it, empty at the end of the line. Separators before it
// (white space, ',', '=', '(' and ')') are skipped; `line` moves past the token and, with `gobble`,
// past the white space and commas after it. Stops at the NUL; never reads beyond it.
std::string_view nexttoken(const char*& line, bool gobble);

// A token read as a number with its scale suffix and ignored unit letters; nullopt when the token
// does not begin with a number or the value is not finite.
std::optional<double> tokenvalue(std::string_view token);

// A C heap copy of the text, for texts handed to callers (INPfree frees them); null when out of memory.
char* heapcopy(std::string_view text);

// Whether two names are equal without regard to ASCII case.
bool sameletters(std::string_view a, std::string_view b);

}  // namespace mavro
