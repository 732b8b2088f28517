#pragma once

// Whether this build runs under the address sanitizer (scripts/test --sanitize), and what tests
// tell it.

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VKT_TEST_ADDRESS_SANITIZER 1
#endif
#elif defined(__SANITIZE_ADDRESS__)
#define VKT_TEST_ADDRESS_SANITIZER 1
#endif

#ifdef VKT_TEST_ADDRESS_SANITIZER
#include <sanitizer/lsan_interface.h>
#endif

namespace vkt::test {

#ifdef VKT_TEST_ADDRESS_SANITIZER
constexpr bool addresssanitizer = true;
// While one lives, what is allocated is no leak: the tests whose runs a fault abandons on purpose
// leave what they had made half built.
using ABANDONEDALLOCATIONS = __lsan::ScopedDisabler;
#else
constexpr bool addresssanitizer = false;
struct ABANDONEDALLOCATIONS { };
#endif

} // namespace vkt::test
