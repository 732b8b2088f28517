# Warnings every target of the suite is built with; kept clean.
add_library(vkt_warnings INTERFACE)
target_compile_options(vkt_warnings INTERFACE
  -Wall -Wextra -Wshadow=local -Wnon-virtual-dtor -Woverloaded-virtual -Wno-unused-parameter)
