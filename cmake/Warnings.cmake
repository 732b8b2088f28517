# Warnings every target of the suite is built with; kept clean.
add_library(vkt_warnings INTERFACE)
target_compile_options(vkt_warnings INTERFACE
  -Wall -Wextra -Wnon-virtual-dtor -Woverloaded-virtual -Wno-unused-parameter
  $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>)
