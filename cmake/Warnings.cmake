# Warnings every target of the suite is built with; kept clean.
add_library(vkt_warnings INTERFACE)
target_compile_options(vkt_warnings INTERFACE
  -Wall -Wextra -Wnon-virtual-dtor -Woverloaded-virtual -Wno-unused-parameter
  $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>)

# Linked last by the test programs that use a precompiled header: with the headers precompiled,
# gcc 12 no longer keeps its false array-bounds and overflow reports about std::string's inlined
# copies inside the library headers.
add_library(vkt_pch_warnings INTERFACE)
target_compile_options(vkt_pch_warnings INTERFACE
  $<$<CXX_COMPILER_ID:GNU>:-Wno-array-bounds> $<$<CXX_COMPILER_ID:GNU>:-Wno-stringop-overflow>)
