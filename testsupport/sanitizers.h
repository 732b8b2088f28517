#pragma once

// Whether this build runs under the address sanitizer (scripts/test --sanitize).

namespace vkt::test {

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool addresssanitizer = true;
#else
constexpr bool addresssanitizer = false;
#endif
#elif defined(__SANITIZE_ADDRESS__)
constexpr bool addresssanitizer = true;
#else
constexpr bool addresssanitizer = false;
#endif

} // namespace vkt::test
