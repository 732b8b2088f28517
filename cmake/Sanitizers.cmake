# The sanitizer build (scripts/test --sanitize): address and undefined-behaviour checks on every
# target, any finding ending the program so that the test fails. Needs clang.
option(VKT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer (needs clang)" OFF)

if(VKT_SANITIZE)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VKT_SANITIZE needs clang: configure with CXX=clang++ CC=clang")
  endif()
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
